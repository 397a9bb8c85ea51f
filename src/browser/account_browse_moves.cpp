// SPDX-License-Identifier: MIT
// The template browser's moves: dragging a node onto another, and Alt+Up / Alt+Down on a
// selected template field.
#include <QApplication>

#include "browser/account_browse.h"
#include "browser/texts.h"
#include "controls/msg_box.h"

namespace browser {

using controls::KeyedTree;
using templates::DropTarget;
using templates::DropVerdict;

void AccountBrowse::connectMoves() {
    connect(SSTree1, &KeyedTree::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, const QPoint& pos) {
                guarded([&] { SSTree1_MouseDown(pos); });
            });
    connect(SSTree1, &KeyedTree::mouseMove, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, const QPoint& pos) {
                guarded([&] { SSTree1_MouseMove(buttons, pos); });
            });
    connect(SSTree1, &KeyedTree::dragOver, this, [this](KeyedTree::Node* node, const QPoint&) {
        guarded([&] { SSTree1_DragOver(node); });
    });
    connect(SSTree1, &KeyedTree::dragDrop, this, [this](KeyedTree::Node* node, const QPoint&) {
        guarded([&] { SSTree1_DragDrop(node); });
        endDrag();
    });
    connect(SSTree1, &KeyedTree::dragCancelled, this, [this] { endDrag(); });
}

void AccountBrowse::SSTree1_MouseDown(const QPoint& pos) {
    const KeyedTree::Node* node = SSTree1->hitTest(pos);
    basDragNode = node != nullptr ? KeyedTree::key(node) : QString();
    m_pressPos = pos;
}

void AccountBrowse::SSTree1_MouseMove(Qt::MouseButtons buttons, const QPoint& pos) {
    if (buttons != Qt::LeftButton || basNodeKey.isEmpty() ||
        SSTree1->node(basDragNode) == nullptr) {
        return;
    }
    // A hand that shakes a little while clicking still clicks.
    if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    basDragging = true;
    SSTree1->beginDrag(SSTree1->createDragImage(SSTree1->selectedNodes().value(0)));
}

void AccountBrowse::SSTree1_DragOver(KeyedTree::Node* node) {
    if (!basDragging) {
        return;
    }
    SSTree1->setDropHighlight(node);
    scrollAtEdge(*SSTree1, node);
}

void AccountBrowse::SSTree1_DragDrop(KeyedTree::Node* /*underPointer*/) {
    // The node marked as the drop target, which after a scroll at an edge is no longer the
    // one under the pointer.
    KeyedTree::Node* node = SSTree1->dropHighlight();
    switch (judgeDrop(SSTree1->node(basDragNode), node)) {
        case DropVerdict::kRefused:
            controls::tell(kMsgCannotMoveHere, controls::vbOKOnly);
            break;
        case DropVerdict::kMove:
            runMove(basDragNode, dropTargetOf(node));
            break;
        case DropVerdict::kNothing:
            break;
    }
}

void AccountBrowse::endDrag() {
    SSTree1->setDropHighlight(nullptr);
    basDragging = false;
}

void AccountBrowse::runMove(const QString& moved, const DropTarget& target) {
    templates::Library(basTable).move(moved, target);
    connectDB();
}

void AccountBrowse::moveSelectedField(FieldStep step) {
    const QList<KeyedTree::Node*> selected = SSTree1->selectedNodes();
    if (selected.size() != 1) {
        return;
    }
    const std::optional<DropTarget> target = stepTarget(selected.front(), step);
    if (!target) {
        return;
    }
    const QString moved = KeyedTree::key(selected.front());
    runMove(moved, *target);
    if (KeyedTree::Node* again = SSTree1->node(moved)) {
        SSTree1->setCurrentItem(again);
        SSTree1->scrollToItem(again);
    }
}

}  // namespace browser
