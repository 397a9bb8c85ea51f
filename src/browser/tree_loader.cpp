// SPDX-License-Identifier: MIT
#include "browser/tree_loader.h"

#include <QHash>

#include <cstdint>
#include <variant>
#include <vector>

#include "browser/texts.h"
#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/store.h"
#include "templates/texts.h"
#include "vocabulary/host_text.h"

namespace browser {

using controls::KeyedTree;
using templates::kImageClosed;
using templates::kImageField;
using templates::kImageFixedField;
using templates::kImageOpen;
using templates::kKindField;
using templates::kKindFolder;
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

// The columns of a TEMP_FIELD query that the tree shows, looked up once per query.
struct Columns {
    explicit Columns(const jet::Recordset& rs)
        : number(rs.fieldIndex("FIELD_NO")),
          parent(rs.fieldIndex("P_FIELD_NO")),
          kind(rs.fieldIndex("KIND")),
          name(rs.fieldIndex("FIELD_NAME")),
          id(rs.fieldIndex("FIELD_ID")),
          fixed(rs.fieldIndex("DIS_ALT_FLG")) {}
    int number;
    int parent;
    int kind;
    int name;
    int id;
    int fixed;
};

QString text(const jet::Recordset& rs, int column) {
    return QString::fromStdString(rs.field(column).toString());
}

// Whether the row's KIND is exactly `kind` (a one-letter text).
bool isKind(const jet::Recordset& rs, const Columns& columns, QStringView kind) {
    const std::string value = rs.field(columns.kind).toString();
    return value.size() == 1 && QLatin1Char(value[0]) == kind[0];
}

// An entry number as a node key: its decimal text.
QString keyText(const jet::Value& number) {
    if (number.isInteger()) {
        return QString::number(std::get<std::int64_t>(number.storage()));
    }
    return QString::fromStdString(number.toString());
}

// Adds the node of one TEMP_FIELD row below its parent, and expands the parent; under
// LoadErrors::kSkip a row whose node cannot be added is left out. Rows come grouped by
// parent, so a parent is looked up once for each group.
class EntryAdder {
  public:
    EntryAdder(KeyedTree& tree, LoadErrors errors) : m_tree(tree), m_errors(errors) {}
    // The parents are expanded once every node is in, also when the load ends early: an
    // expanded node costs the tree work on every later insertion.
    ~EntryAdder() {
        for (KeyedTree::Node* node : m_toExpand) {
            node->setExpanded(true);
        }
    }
    EntryAdder(const EntryAdder&) = delete;
    EntryAdder& operator=(const EntryAdder&) = delete;

    void add(const jet::Recordset& rs, const Columns& columns, const KeyedTree::NodeLook& look) {
        const jet::Value parent = rs.field(columns.parent);
        const jet::Value number = rs.field(columns.number);
        try {
            if (parent.isNull() || number.isNull()) {
                throw std::invalid_argument("an entry without a number or parent number");
            }
            const bool newParent = parent.storage() != m_parentNumber.storage() || !m_parent;
            if (newParent) {
                m_parent = m_tree.node(keyText(parent));
                m_parentNumber = parent;
                if (m_parent == nullptr) {
                    throw std::invalid_argument("no node has the key '" + parent.toString() + "'");
                }
                m_parentDepth = m_depth.value(m_parent, 0);
            }
            if (m_parentDepth >= kMaxTreeDepth) {
                throw std::invalid_argument("more than " + std::to_string(kMaxTreeDepth) +
                                            " levels below the root");
            }
            KeyedTree::Node* node =
                m_tree.addNode(m_parent, keyText(number), text(rs, columns.name), look);
            m_depth.insert(node, m_parentDepth + 1);
            // A find matches the ID too, which the node does not show.
            if (const jet::Value id = rs.field(columns.id); !id.isNull()) {
                KeyedTree::setSearchText(node, QString::fromStdString(id.toString()));
            }
            if (m_parent != m_expanded) {
                m_expanded = m_parent;
                m_toExpand.push_back(m_parent);
            }
        } catch (const std::invalid_argument& e) {
            if (m_errors == LoadErrors::kSkip) {
                return;
            }
            throw TreeLoadError("template library: entry " + number.toString() + " (" +
                                rs.field(columns.name).toString() + ") under " + parent.toString() +
                                ": " + e.what());
        }
    }

  private:
    KeyedTree& m_tree;
    LoadErrors m_errors;
    KeyedTree::Node* m_parent = nullptr;  // the parent of the row before
    jet::Value m_parentNumber;
    int m_parentDepth = 0;
    QHash<const KeyedTree::Node*, int> m_depth;  // levels below the root; the root is 0
    KeyedTree::Node* m_expanded = nullptr;
    std::vector<KeyedTree::Node*> m_toExpand;
};

// Every folder, then every field, each below its parent.
void addEntries(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    templates::TemplateStore store(connection);
    EntryAdder adder(tree, errors);
    const KeyedTree::NodeLook folder = folderLook();
    {
        jet::Recordset rs = store.selectFolders();
        const Columns columns(rs);
        for (; !rs.eof(); rs.moveNext()) {
            if (isKind(rs, columns, kKindFolder)) {
                adder.add(rs, columns, folder);
            }
        }
    }
    const KeyedTree::NodeLook field = fieldLook();
    const KeyedTree::NodeLook fixedField = fieldLook(FieldMark::kFixed);
    {
        jet::Recordset rs = store.selectFields();
        const Columns columns(rs);
        for (; !rs.eof(); rs.moveNext()) {
            if (isKind(rs, columns, kKindField)) {
                const bool fixed = rs.field(columns.fixed).toInt() == 1;
                adder.add(rs, columns, fixed ? fixedField : field);
            }
        }
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

void load(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    DrawingOff drawingOff(tree);
    addRoot(tree);

    addEntries(tree, connection, errors);

    // Back to the top: the root of the last node added becomes the first visible row.
    tree.setFirstVisible(KeyedTree::rootOf(tree.nodeAt(tree.nodeCount() - 1)));
    tree.setIndentationTwips(kTreeIndentTwips);
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

void loadTemplateTree(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    if (errors == LoadErrors::kSkip) {
        try {
            load(tree, connection, errors);
        } catch (const jet::Error&) {
            // The browser shows whatever could be loaded.
        }
        return;
    }
    try {
        load(tree, connection, errors);
    } catch (const jet::Error& e) {
        throw TreeLoadError(std::string("template library: ") + e.what(), e.kind());
    }
}

void loadTemplateTree(KeyedTree& tree, const QString& connectionString, LoadErrors errors) {
    jet::Connection connection;
    try {
        connection.open(vocabulary::toHostBytes(connectionString));
    } catch (const jet::Error& e) {
        throw TreeLoadError(std::string("template library: ") + e.what(), e.kind());
    }
    loadTemplateTree(tree, connection, errors);
}

bool isFieldNode(const KeyedTree& tree, const QString& key) {
    const KeyedTree::Node* node = tree.node(key);
    if (!node) {
        return false;
    }
    const QString image = KeyedTree::image(node);
    return image == kImageField || image == kImageFixedField;
}

}  // namespace browser
