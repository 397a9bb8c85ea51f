// SPDX-License-Identifier: MIT
#include "browser/tree_moves.h"

#include "browser/tree_loader.h"
#include "templates/texts.h"

namespace browser {

using controls::KeyedTree;
using Node = KeyedTree::Node;
using templates::DropTarget;
using templates::DropVerdict;

namespace {

bool isRoot(const Node* node) {
    return KeyedTree::key(node) == templates::kRootKey;
}

}  // namespace

DropVerdict judgeDrop(const Node* moved, const Node* target) {
    if (moved == nullptr || target == nullptr) {
        return DropVerdict::kNothing;
    }
    QStringList above;
    if (!isRoot(target)) {
        for (const Node* n = target->parent(); n != nullptr && !isRoot(n); n = n->parent()) {
            above << n->text(0);
        }
    }
    return templates::Library::judgeDrop({KeyedTree::key(moved), moved->text(0)},
                                         {KeyedTree::key(target), target->text(0)}, above);
}

DropTarget dropTargetOf(const Node* target) {
    DropTarget out;
    out.key = KeyedTree::key(target);
    out.isField = isFieldNode(target);
    if (target->parent() != nullptr) {
        out.parent = KeyedTree::key(target->parent());
    }
    return out;
}

void scrollAtEdge(KeyedTree& tree, const Node* at) {
    if (at == nullptr) {
        return;
    }
    const QString text = at->text(0);
    if (const Node* last = tree.visibleNode(tree.visibleCount());
        last != nullptr && last->text(0) == text) {
        tree.setFirstVisible(tree.visibleNode(2));
    }
    Node* first = tree.firstVisible();
    if (first == nullptr || first->text(0) != text) {
        return;
    }
    Node* above = KeyedTree::previousSibling(first);
    if (above == nullptr) {
        tree.setFirstVisible(first->parent());  // none at the very top
        return;
    }
    // The row just above the first one: the last row shown inside the expanded folders
    // that end there.
    while (above != nullptr && above->isExpanded()) {
        const Node* child = KeyedTree::firstChild(above);
        above = child != nullptr ? KeyedTree::lastSibling(child) : nullptr;
    }
    tree.setFirstVisible(above);
}

std::optional<FieldStep> fieldStepKey(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & ~Qt::KeypadModifier) != Qt::AltModifier) {
        return std::nullopt;
    }
    if (key == Qt::Key_Up) {
        return FieldStep::kUp;
    }
    if (key == Qt::Key_Down) {
        return FieldStep::kDown;
    }
    return std::nullopt;
}

std::optional<DropTarget> stepTarget(const Node* field, FieldStep step) {
    if (field == nullptr || !isFieldNode(field)) {
        return std::nullopt;
    }
    if (step == FieldStep::kUp) {
        const Node* before = KeyedTree::previousSibling(field);
        if (before == nullptr || !isFieldNode(before)) {
            return std::nullopt;  // folders come first: this is the first field
        }
        return dropTargetOf(before);
    }
    const Node* next = KeyedTree::nextSibling(field);
    if (next == nullptr) {
        return std::nullopt;
    }
    if (const Node* afterNext = KeyedTree::nextSibling(next)) {
        return dropTargetOf(afterNext);
    }
    if (field->parent() == nullptr) {
        return std::nullopt;
    }
    return dropTargetOf(field->parent());
}

}  // namespace browser
