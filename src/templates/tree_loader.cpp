#include "templates/tree_loader.h"

#include <cstdint>
#include <variant>

#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/store.h"
#include "templates/texts.h"

namespace templates {

using controls::KeyedTree;

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
          fixed(rs.fieldIndex("DIS_ALT_FLG")) {}
    int number;
    int parent;
    int kind;
    int name;
    int fixed;
};

QString text(const jet::Recordset& rs, int column) {
    return QString::fromStdString(rs.field(column).toString());
}

// An entry number as a node key: its decimal text.
QString keyText(const jet::Value& number) {
    if (number.isInteger()) {
        return QString::number(std::get<std::int64_t>(number.storage()));
    }
    return QString::fromStdString(number.toString());
}

// Adds the node of one TEMP_FIELD row below its parent, and expands the parent; under
// LoadErrors::kSkip a row whose node cannot be added is left out.
class EntryAdder {
  public:
    EntryAdder(KeyedTree& tree, LoadErrors errors) : m_tree(tree), m_errors(errors) {}

    void add(const jet::Recordset& rs, const Columns& columns, const KeyedTree::NodeLook& look) {
        const jet::Value parent = rs.field(columns.parent);
        const jet::Value number = rs.field(columns.number);
        KeyedTree::Node* node = nullptr;
        try {
            if (parent.isNull() || number.isNull()) {
                throw std::invalid_argument("an entry without a number or parent number");
            }
            node = m_tree.addNode(keyText(parent), keyText(number), text(rs, columns.name), look);
        } catch (const std::invalid_argument& e) {
            if (m_errors == LoadErrors::kSkip) {
                return;
            }
            throw TreeLoadError("template library: entry " + number.toString() + " (" +
                                rs.field(columns.name).toString() + ") under " + parent.toString() +
                                ": " + e.what());
        }
        // Rows come grouped by parent: one expansion per group is enough.
        if (node->parent() != m_expanded) {
            m_expanded = node->parent();
            m_expanded->setExpanded(true);
        }
    }

  private:
    KeyedTree& m_tree;
    LoadErrors m_errors;
    KeyedTree::Node* m_expanded = nullptr;
};

void load(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    DrawingOff drawingOff(tree);
    // Emptied before the images are given, which would otherwise be put on every node of
    // the previous load first.
    tree.clearNodes();
    tree.setImageList(controls::ImageList::templateNodeImages());

    const QString closed = kImageClosed.toString();
    const QString open = kImageOpen.toString();
    tree.addNode({}, kRootKey.toString(), kRootText.toString(),
                 KeyedTree::NodeLook(kNodeFontSize, false, kRootColor, closed, open));

    TemplateStore store(connection);
    EntryAdder adder(tree, errors);
    const KeyedTree::NodeLook folder = folderLook();
    {
        jet::Recordset rs = store.selectFolders();
        const Columns columns(rs);
        for (; !rs.eof(); rs.moveNext()) {
            if (text(rs, columns.kind) == kKindFolder) {
                adder.add(rs, columns, folder);
            }
        }
    }
    const KeyedTree::NodeLook field(kNodeFontSize, false, kFieldColor, kImageField.toString());
    const KeyedTree::NodeLook fixedField(kNodeFontSize, false, kFieldColor,
                                         kImageFixedField.toString());
    {
        jet::Recordset rs = store.selectFields();
        const Columns columns(rs);
        for (; !rs.eof(); rs.moveNext()) {
            if (text(rs, columns.kind) == kKindField) {
                const bool fixed = rs.field(columns.fixed).toInt() == 1;
                adder.add(rs, columns, fixed ? fixedField : field);
            }
        }
    }

    // Back to the top: the root of the last node added becomes the first visible row.
    tree.setFirstVisible(KeyedTree::rootOf(tree.nodeAt(tree.nodeCount() - 1)));
    tree.setIndentationTwips(kTreeIndentTwips);
}

}  // namespace

KeyedTree::NodeLook folderLook() {
    return {kNodeFontSize, false, kFolderColor, kImageClosed.toString(), kImageOpen.toString()};
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
        throw TreeLoadError(std::string("template library: ") + e.what());
    }
}

void loadTemplateTree(KeyedTree& tree, const QString& connectionString, LoadErrors errors) {
    jet::Connection connection;
    try {
        connection.open(connectionString.toStdString());
    } catch (const jet::Error& e) {
        throw TreeLoadError(std::string("template library: ") + e.what());
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

}  // namespace templates
