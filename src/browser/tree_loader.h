// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include <QString>

#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/library_owner.h"
#include "templates/tree_plan.h"

class QObject;

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

// A library's tree as read, apart from any window: the rows, their plan (which points into
// the rows), and the failure that ended the reading early, if one did.
struct TreeRead {
    templates::TreeRows rows;
    templates::TreePlan plan;
    std::exception_ptr failure;  // mostly a jet::Error; empty when every row was read
};

// Reads the tree's rows from `connection` and plans them; touches no widget, so any thread
// may call it. A failing statement is kept in the result with the rows read before it.
std::unique_ptr<TreeRead> readTemplateTree(jet::Connection& connection);

// Rebuilds `tree` from a read as loadTemplateTree() does from the library; under
// LoadErrors::kStop the read's failure throws after its rows are in (TreeLoadError for the
// engine's).
templates::LeftOut showTemplateTree(controls::KeyedTree& tree, const TreeRead& read,
                                    LoadErrors errors);

// Reads a library's tree on a thread of its own, so that a window opens without waiting for
// the rows of a large library: what it shows first costs what its controls cost. The
// library is opened on the caller's thread (one that cannot be opened throws TreeLoadError
// there, as a load does); once every row is read, `ready` runs on the thread of `context`.
class TreeReader {
  public:
    TreeReader(const templates::LibraryOwner& library, QObject* context,
               std::function<void()> ready);
    // Stops a reading still under way and waits for its thread; `ready` is not run then.
    ~TreeReader();
    TreeReader(const TreeReader&) = delete;
    TreeReader& operator=(const TreeReader&) = delete;

    // Waits until every row is read and hands the read over; nullptr the second time.
    std::unique_ptr<TreeRead> take();

  private:
    jet::Connection m_connection;
    std::unique_ptr<TreeRead> m_read;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

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
