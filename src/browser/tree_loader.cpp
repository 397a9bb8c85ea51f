// SPDX-License-Identifier: MIT
#include "browser/tree_loader.h"

#include <QObject>
#include <chrono>
#include <exception>
#include <vector>

#include "browser/texts.h"
#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/texts.h"
#include "templates/tree_plan.h"
#include "vocabulary/host_text.h"

namespace browser {

using controls::KeyedTree;
using templates::kImageClosed;
using templates::kImageField;
using templates::kImageFixedField;
using templates::kImageOpen;
using templates::kRootKey;

namespace {

// Re-enables drawing however the load ends.
class DrawingOff {
  public:
    explicit DrawingOff(KeyedTree& tree) : m_tree(tree) { m_tree.setDrawing(false); }
    ~DrawingOff() { m_tree.setDrawing(true); }
    DrawingOff(const DrawingOff&) = delete;
    DrawingOff& operator=(const DrawingOff&) = delete;

  private:
    KeyedTree& m_tree;
};

// Adds the planned nodes, each below its parent, in one go, and expands every parent once
// every node is in: an expanded node costs the tree work on every later insertion.
void addEntries(KeyedTree& tree, const templates::TreePlan& plan) {
    const KeyedTree::NodeLook folder = folderLook();
    const KeyedTree::NodeLook field = fieldLook();
    const KeyedTree::NodeLook fixedField = fieldLook(FieldMark::kFixed);
    std::vector<KeyedTree::NewNode> planned;
    planned.reserve(plan.entries.size());
    std::vector<int> toExpand;  // entry indexes; -1 for the root
    int expanded = -2;
    for (const templates::TreeEntry& entry : plan.entries) {
        const templates::TreeRow& row = *entry.row;
        const KeyedTree::NodeLook& look = !entry.field ? folder : row.fixed ? fixedField : field;
        // A find matches the ID too, which the node does not show.
        planned.push_back({entry.parent, *row.number, QString::fromStdString(row.name),
                           row.fieldId ? QString::fromStdString(*row.fieldId) : QString(), &look});
        if (entry.parent != expanded) {
            expanded = entry.parent;
            toExpand.push_back(entry.parent);
        }
    }
    KeyedTree::Node* const root = tree.nodeAt(0);
    const std::vector<KeyedTree::Node*> nodes = tree.addNodes(root, planned);
    for (const int parent : toExpand) {
        (parent < 0 ? root : nodes[static_cast<std::size_t>(parent)])->setExpanded(true);
    }
}

void addRoot(KeyedTree& tree) {
    tree.clearNodes();
    tree.setImageList(controls::ImageList::templateNodeImages());
    const QString closed = kImageClosed.toString();
    const QString open = kImageOpen.toString();
    tree.addNode({}, kRootKey.toString(), kRootText.toString(),
                 KeyedTree::NodeLook(kNodeFontSize, false, kRootColor, closed, open));
}

[[noreturn]] void fail(const jet::Error& e) {
    throw TreeLoadError(std::string("template library: ") + e.what(), e.kind());
}

jet::Connection& opened(jet::Connection& connection, const templates::LibraryOwner& library) {
    try {
        connection.open(vocabulary::toHostBytes(library.connectionString()));
    } catch (const jet::Error& e) {
        fail(e);
    }
    return connection;
}

}  // namespace

KeyedTree::NodeLook folderLook() {
    return {kNodeFontSize, false, kFolderColor, kImageClosed.toString(), kImageOpen.toString()};
}

KeyedTree::NodeLook fieldLook(FieldMark mark) {
    return {kNodeFontSize, false, kFieldColor,
            (mark == FieldMark::kFixed ? kImageFixedField : kImageField).toString()};
}

void loadRootAlone(KeyedTree& tree) {
    addRoot(tree);
    tree.setIndentationTwips(kTreeIndentTwips);
}

std::unique_ptr<TreeRead> readTemplateTree(jet::Connection& connection) {
    auto read = std::make_unique<TreeRead>();
    try {
        templates::readTreeRows(connection, read->rows);
    } catch (const jet::Error&) {
        read->failure = std::current_exception();
    }
    read->plan = templates::planTree(read->rows);
    return read;
}

templates::LeftOut showTemplateTree(KeyedTree& tree, const TreeRead& read, LoadErrors errors) {
    {
        DrawingOff drawingOff(tree);
        addRoot(tree);
        // The rows read before a failing statement are shown all the same.
        addEntries(tree, read.plan);
        if (!read.failure || errors == LoadErrors::kSkip) {
            // Back to the top: the root of the last node added becomes the first visible row.
            tree.setFirstVisible(KeyedTree::rootOf(tree.nodeAt(tree.nodeCount() - 1)));
            tree.setIndentationTwips(kTreeIndentTwips);
        }
    }
    if (read.failure && errors == LoadErrors::kStop) {
        try {
            std::rethrow_exception(read.failure);
        } catch (const jet::Error& e) {
            fail(e);
        }
    }
    return templates::leftOut(read.plan);
}

templates::LeftOut loadTemplateTree(KeyedTree& tree, jet::Connection& connection,
                                    LoadErrors errors) {
    return showTemplateTree(tree, *readTemplateTree(connection), errors);
}

templates::LeftOut loadTemplateTree(KeyedTree& tree, const templates::LibraryOwner& library,
                                    LoadErrors errors) {
    jet::Connection connection;
    return loadTemplateTree(tree, opened(connection, library), errors);
}

TreeReader::TreeReader(const templates::LibraryOwner& library, QObject* context,
                       std::function<void()> ready) {
    opened(m_connection, library);
    m_thread = std::thread([this, context, ready = std::move(ready)] {
        try {
            m_read = readTemplateTree(m_connection);
        } catch (...) {  // out of memory: the window hears of it as of a failed read
            m_read = std::make_unique<TreeRead>();
            m_read->failure = std::current_exception();
        }
        m_done = true;
        if (!m_stopping) {
            QMetaObject::invokeMethod(context, ready, Qt::QueuedConnection);
        }
    });
}

TreeReader::~TreeReader() {
    m_stopping = true;
    // A statement interrupted between two statements would run on: asked until it ends.
    while (!m_done) {
        m_connection.interrupt();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

std::unique_ptr<TreeRead> TreeReader::take() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    return std::move(m_read);
}

bool isFieldNode(const KeyedTree::Node* node) {
    if (!node) {
        return false;
    }
    const QString image = KeyedTree::image(node);
    return image == kImageField || image == kImageFixedField;
}

bool isFieldNode(const KeyedTree& tree, const QString& key) {
    return isFieldNode(tree.node(key));
}

}  // namespace browser
