#pragma once

// Moving template entries in the browser's tree: what a drop of one node on another means,
// the statements that carry it out, the tree's scrolling while a node is dragged over its
// edges, and the keyboard's moves of a field among its neighbours.
//
// The tree itself never moves a node: the table is changed and the tree is loaded again.

#include <QString>

#include <optional>

#include "controls/keyed_tree.h"

namespace templates {

class TemplateStore;

// What a drop of `moved` on `target` does, decided by the nodes' keys and texts.
enum class DropVerdict {
    kNothing,  // no target, the same text (the node itself included), or the root dragged
    kRefused,  // a folder of the moved node's name lies above the target
    kMove,     // the entry is moved (possibly by no statement at all) and the tree reloads
};
DropVerdict judgeDrop(const controls::KeyedTree::Node* moved,
                      const controls::KeyedTree::Node* target);

// Where a moved entry goes: before the field `key`, in that field's folder `parent`; or at
// the end of the folder (or root) `key`.
struct DropTarget {
    QString key;
    QString parent;
    bool isField = false;
};
DropTarget dropTargetOf(const controls::KeyedTree::Node* target);

// Sends the statements of one move of entry `moved`: before a field, room is made at its
// position and the entry takes it; into a folder, the entry takes the folder's highest
// position plus one (1 in an empty folder); either way the folder becomes its parent. A
// target without a position gets nothing sent. Throws jet::Error.
void moveEntry(TemplateStore& store, const QString& moved, const DropTarget& target);

// While a node is dragged with the pointer over `at`: the tree scrolls down one row when
// `at` is shown in the last visible row, and up one row when it is the first visible row
// (into the expanded folders above). Rows are told apart by their texts.
void scrollAtEdge(controls::KeyedTree& tree, const controls::KeyedTree::Node* at);

// The keyboard's moves of a template field within its folder: Alt+Up and Alt+Down.
enum class FieldStep { kUp, kDown };
std::optional<FieldStep> fieldStepKey(int key, Qt::KeyboardModifiers modifiers);
// The drop that moves `field` one field up (onto the field before it) or down (onto the
// field after the next one, or onto its folder when the next field is the last); none at
// the first or last field.
std::optional<DropTarget> stepTarget(const controls::KeyedTree::Node* field, FieldStep step);

}  // namespace templates
