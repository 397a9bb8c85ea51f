// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include <QString>

#include "controls/keyed_tree.h"
#include "jet/error.h"
#include "templates/library_owner.h"
#include "templates/tree_plan.h"

namespace jet {
class Connection;
}

namespace browser {

// What a load does with a row it cannot show, and the deepest level below the root.
using templates::kMaxTreeDepth;
using templates::LoadErrors;

// A library the load could not read (not opened, not a library, a damaged page): the
// engine's reason, and its kind for a window to name in the user's words.
class TreeLoadError : public std::runtime_error {
  public:
    TreeLoadError(const std::string& what, jet::ErrorKind kind)
        : std::runtime_error(what), m_engineKind(kind) {}
    jet::ErrorKind engineKind() const { return m_engineKind; }

  private:
    jet::ErrorKind m_engineKind;
};

// Rebuilds `tree` from TEMP_FIELD on `connection`: the root "全部の項目", then every
// folder (by parent, then number), then every field (by parent, position, number), each
// as the last child of its parent, the parent expanded; a node's search text is its
// FIELD_ID (a find matches it, the tree does not show it). Drawing is off while it loads;
// afterwards the tree shows its top. Rows that can never be placed are left out (see
// templates::planTree); returns how many. A failing statement throws TreeLoadError under
// LoadErrors::kStop, after the rows read before it are in.
templates::LeftOut loadTemplateTree(controls::KeyedTree& tree, jet::Connection& connection,
                                    LoadErrors errors);

// Empties `tree` and shows the root alone, as for an empty library.
void loadRootAlone(controls::KeyedTree& tree);

// Opens its own connection on the library `library` reads now, loads, and closes it again.
// A library that cannot be opened throws TreeLoadError.
templates::LeftOut loadTemplateTree(controls::KeyedTree& tree,
                                    const templates::LibraryOwner& library, LoadErrors errors);

// The look of a folder node: font size 10, not bold, blue, a closed folder, an open one
// while expanded.
controls::KeyedTree::NodeLook folderLook();
// The look of a template field node: font size 10, not bold, dark green, image "f1" ("f2"
// for a fixed template field).
enum class FieldMark { kFree, kFixed };
controls::KeyedTree::NodeLook fieldLook(FieldMark mark = FieldMark::kFree);

// The kind of a node by the node model: the root has key "0"; field nodes show "f1"/"f2".
bool isFieldNode(const controls::KeyedTree::Node* node);
bool isFieldNode(const controls::KeyedTree& tree, const QString& key);

}  // namespace browser
