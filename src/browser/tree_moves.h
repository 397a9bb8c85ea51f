// SPDX-License-Identifier: MIT
#pragma once

// The tree's side of moving template entries in the browser: the values of a drop read
// from its nodes, the tree's scrolling while a node is dragged over its edges, and the
// keyboard's moves of a field among its neighbours. What a drop means and the statements
// that carry it out are the library's (templates::Library); the tree itself never moves a
// node: the table is changed and the tree is loaded again.

#include <optional>

#include "controls/keyed_tree.h"
#include "templates/library.h"

namespace browser {

// What a drop of `moved` on `target` does, judged by the nodes' texts; nothing without
// either node.
templates::DropVerdict judgeDrop(const controls::KeyedTree::Node* moved,
                                 const controls::KeyedTree::Node* target);

// Where an entry dropped on `target` goes.
templates::DropTarget dropTargetOf(const controls::KeyedTree::Node* target);

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
std::optional<templates::DropTarget> stepTarget(const controls::KeyedTree::Node* field,
                                                FieldStep step);

}  // namespace browser
