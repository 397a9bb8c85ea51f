#include "templates/template_moves.h"

#include "jet/recordset.h"
#include "templates/store.h"
#include "templates/texts.h"
#include "templates/tree_loader.h"

namespace templates {

using controls::KeyedTree;
using Node = KeyedTree::Node;

namespace {

bool isRoot(const Node* node) {
    return KeyedTree::key(node) == kRootKey;
}

bool isField(const Node* node) {
    const QString image = KeyedTree::image(node);
    return image == kImageField || image == kImageFixedField;
}

// The first row's SORTBY of a position query, as text; empty without a row or a position.
QString firstPosition(const jet::Recordset& rs) {
    return rs.eof() ? QString() : QString::fromStdString(rs.field("SORTBY").toString());
}

}  // namespace

DropVerdict judgeDrop(const Node* moved, const Node* target) {
    if (moved == nullptr || target == nullptr) {
        return DropVerdict::kNothing;
    }
    const QString name = moved->text(0);
    if (name == target->text(0)) {
        return DropVerdict::kNothing;
    }
    // A folder never goes into its own subtree; the folders above the target are known by
    // their names only, so any folder of the moved node's name refuses the move.
    if (!isRoot(target)) {
        for (const Node* above = target->parent(); above != nullptr && !isRoot(above);
             above = above->parent()) {
            if (above->text(0) == name) {
                return DropVerdict::kRefused;
            }
        }
    }
    return isRoot(moved) ? DropVerdict::kNothing : DropVerdict::kMove;
}

DropTarget dropTargetOf(const Node* target) {
    DropTarget out;
    out.key = KeyedTree::key(target);
    out.isField = isField(target);
    if (target->parent() != nullptr) {
        out.parent = KeyedTree::key(target->parent());
    }
    return out;
}

void moveEntry(TemplateStore& store, const QString& moved, const DropTarget& target) {
    if (target.isField) {
        const QString position = firstPosition(store.selectPosition(target.key));
        if (position.isEmpty()) {
            return;
        }
        store.shiftPositions(target.parent, position);
        store.setPosition(position, moved);
        store.setParent(target.parent, moved);
        return;
    }
    const jet::Recordset last = store.selectPositions(target.key);
    if (last.eof()) {
        store.setFirstPosition(moved);
        store.setParent(target.key, moved);
        return;
    }
    const std::optional<std::int64_t> highest = last.field("SORTBY").toInt();
    if (!highest) {
        return;  // the folder holds only entries without a position (subfolders)
    }
    store.setPosition(QString::number(*highest + 1), moved);
    store.setParent(target.key, moved);
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
    if (field == nullptr || !isField(field)) {
        return std::nullopt;
    }
    if (step == FieldStep::kUp) {
        const Node* before = KeyedTree::previousSibling(field);
        if (before == nullptr || !isField(before)) {
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

}  // namespace templates
