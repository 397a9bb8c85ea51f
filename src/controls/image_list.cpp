// SPDX-License-Identifier: MIT
#include "controls/image_list.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace controls {

namespace {

constexpr int kSize = 16;

QPixmap blank() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawFolderBack(QPainter& p) {
    const QColor edge(150, 110, 20);
    p.setPen(edge);
    p.setBrush(QColor(235, 190, 80));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.5);
    back.lineTo(14.5, 5.5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
}

void drawClosedFolder(QPainter& p);

QPixmap closedFolder() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    drawClosedFolder(p);
    return pixmap;
}

QPixmap openFolder() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawFolderBack(p);
    // The front flap tilted open.
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(255, 230, 150));
    QPainterPath flap;
    flap.moveTo(3.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(13.0, 13.5);
    flap.lineTo(1.5, 13.5);
    flap.closeSubpath();
    p.drawPath(flap);
    return pixmap;
}

void drawDocument(QPainter& p) {
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
    p.setPen(QColor(0, 110, 0));
    for (int y = 6; y <= 12; y += 2) {
        p.drawLine(5, y, 11, y);
    }
}

QPixmap field() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    drawDocument(p);
    return pixmap;
}

QPixmap fixedField() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    drawDocument(p);
    // A small padlock in the lower right corner.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9.5, 6.5, 4, 5), 0, 180 * 16);
    p.setPen(QColor(120, 80, 0));
    p.setBrush(QColor(230, 170, 30));
    p.drawRect(QRectF(8.5, 9.5, 6, 5));
    return pixmap;
}

// Marks in the lower right corner, over a folder or a page: each with a white rim so that
// it stands out from what is below.
void drawPlus(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(8, 10, 8, 4);
    p.drawRect(10, 8, 4, 8);
    p.setBrush(QColor(0, 140, 0));
    p.drawRect(9, 11, 6, 2);
    p.drawRect(11, 9, 2, 6);
}

void drawPencil(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 14.5), QPointF(14.5, 8.5));
    p.setPen(QPen(QColor(60, 60, 60), 3.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(9.5, 13.5), QPointF(14.5, 8.5));
    p.setPen(QPen(QColor(240, 190, 40), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(10.0, 13.0), QPointF(14.2, 8.8));
    p.setPen(QPen(QColor(30, 30, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(QPointF(8.6, 14.4));
}

void drawCross(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 9.5), QPointF(9.5, 14.5));
    p.setPen(QPen(QColor(210, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 9.5), QPointF(9.5, 14.5));
}

// A folder or a page with a mark.
QPixmap marked(void (*base)(QPainter&), void (*mark)(QPainter&)) {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    base(p);
    mark(p);
    return pixmap;
}

void drawClosedFolder(QPainter& p) {
    drawFolderBack(p);
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(250, 215, 110));
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
}

// Two pages, one behind the other.
QPixmap copyPages() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    for (const QPointF offset : {QPointF(-2.5, -1.0), QPointF(1.5, 1.0)}) {
        p.save();
        p.translate(offset);
        p.scale(0.85, 0.85);
        p.translate(1.5, 1.0);
        drawDocument(p);
        p.restore();
    }
    return pixmap;
}

// An open door with an arrow leading out.
QPixmap exitDoor() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(QColor(90, 60, 20));
    p.setBrush(QColor(245, 240, 230));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));  // the frame
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(170, 110, 50));
    QPainterPath door;  // swung open towards the viewer
    door.moveTo(1.5, 1.5);
    door.lineTo(6.5, 3.0);
    door.lineTo(6.5, 15.5);
    door.lineTo(1.5, 14.5);
    door.closeSubpath();
    p.drawPath(door);
    p.setPen(QPen(QColor(0, 120, 0), 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(8.0, 8.5), QPointF(13.5, 8.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 120, 0));
    QPainterPath head;
    head.moveTo(15.5, 8.5);
    head.lineTo(12.0, 5.0);
    head.lineTo(12.0, 12.0);
    head.closeSubpath();
    p.drawPath(head);
    return pixmap;
}

}  // namespace

ImageList ImageList::browserToolbarImages() {
    // Drawn once per process, and kept, as the node images are.
    static const ImageList* const images = [] {
        auto* list = new ImageList;
        list->add(QStringLiteral("folder-add"), QIcon(marked(drawClosedFolder, drawPlus)));
        list->add(QStringLiteral("folder-edit"), QIcon(marked(drawClosedFolder, drawPencil)));
        list->add(QStringLiteral("folder-delete"), QIcon(marked(drawClosedFolder, drawCross)));
        list->add(QStringLiteral("field-add"), QIcon(marked(drawDocument, drawPlus)));
        list->add(QStringLiteral("field-edit"), QIcon(marked(drawDocument, drawPencil)));
        list->add(QStringLiteral("field-delete"), QIcon(marked(drawDocument, drawCross)));
        list->add(QStringLiteral("copy"), QIcon(copyPages()));
        list->add(QStringLiteral("close-window"), QIcon(exitDoor()));
        return list;
    }();
    return *images;
}

ImageList ImageList::templateNodeImages() {
    // Drawn once per process: every load of a template tree asks for them again. Never
    // destroyed, so that no pixmap outlives the application object in a static.
    static const ImageList* const images = [] {
        auto* list = new ImageList;
        list->add(QStringLiteral("close"), QIcon(closedFolder()));
        list->add(QStringLiteral("open"), QIcon(openFolder()));
        list->add(QStringLiteral("f1"), QIcon(field()));
        list->add(QStringLiteral("f2"), QIcon(fixedField()));
        return list;
    }();
    return *images;
}

}  // namespace controls
