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

QPixmap closedFolder() {
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    drawFolderBack(p);
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(250, 215, 110));
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
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

}  // namespace

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
