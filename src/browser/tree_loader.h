// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include <QString>

#include "controls/keyed_tree.h"
#include "jet/error.h"
#include "templates/tree_plan.h"

namespace jet {
class Connection;
}

namespace browser {

// What a load does with a row it cannot show, and the deepest level below the root.
using templates::kMaxTreeDepth;
using templates::LoadErrors;

class TreeLoadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
    // A load the engine stopped: its kind, for a window to name in the user's words.
    TreeLoadError(const std::string& what, jet::ErrorKind kind)
        : std::runtime_error(what), m_engineKind(kind) {}
    std::optional<jet::ErrorKind> engineKind() const { return m_engineKind; }

  private:
    std::optional<jet::ErrorKind> m_engineKind;
};

// Rebuilds `tree` from TEMP_FIELD on `connection`: the root "全部の項目", then every
// folder (by parent, then number), then every field (by parent, position, number), each
// as the last child of its parent, the parent expanded; a node's search text is its
// FIELD_ID (a find matches it, the tree does not show it). Drawing is off while it loads;
// afterwards the tree shows its top. Throws TreeLoadError under LoadErrors::kStop.
void loadTemplateTree(controls::KeyedTree& tree, jet::Connection& connection, LoadErrors errors);

// Empties `tree` and shows the root alone, as for an empty library.
void loadRootAlone(controls::KeyedTree& tree);

// Opens its own connection on `connectionString`, loads, and closes it again.
void loadTemplateTree(controls::KeyedTree& tree, const QString& connectionString,
                      LoadErrors errors);

// The look of a folder node: font size 10, not bold, blue, a closed folder, an open one
// while expanded.
controls::KeyedTree::NodeLook folderLook();
// The look of a template field node: font size 10, not bold, dark green, image "f1" ("f2"
// for a fixed template field).
enum class FieldMark { kFree, kFixed };
controls::KeyedTree::NodeLook fieldLook(FieldMark mark = FieldMark::kFree);

// The kind of a node by the node model: the root has key "0"; field nodes show "f1"/"f2".
bool isFieldNode(const controls::KeyedTree& tree, const QString& key);

}  // namespace browser
