#include "templates/tree_loader.h"

#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/statements.h"
#include "templates/texts.h"

namespace templates {

using controls::KeyedTree;

namespace {

QString text(const jet::Recordset& rs, const char* field) {
    return QString::fromStdString(rs.field(field).toString());
}

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

// Adds the node of one TEMP_FIELD row below its parent. Returns nullptr when the row is
// to be left out.
KeyedTree::Node* addEntry(KeyedTree& tree, const jet::Recordset& rs, LoadErrors errors) {
    const jet::Value parent = rs.field("P_FIELD_NO");
    const jet::Value number = rs.field("FIELD_NO");
    const QString name = text(rs, "FIELD_NAME");
    try {
        if (parent.isNull() || number.isNull()) {
            throw std::invalid_argument("an entry without a number or parent number");
        }
        return tree.addNode(QString::fromStdString(parent.toString()),
                            QString::fromStdString(number.toString()), name);
    } catch (const std::invalid_argument& e) {
        if (errors == LoadErrors::kSkip) {
            return nullptr;
        }
        throw TreeLoadError("template library: entry " + number.toString() + " (" +
                            name.toStdString() + ") under " + parent.toString() + ": " + e.what());
    }
}

void style(KeyedTree& tree, KeyedTree::Node* node, const QColor& color) {
    tree.setNodeFont(node, kNodeFontSize, false);
    tree.setNodeColor(node, color);
}

void load(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    tree.setImageList(controls::ImageList::templateNodeImages());
    DrawingOff drawingOff(tree);
    tree.clearNodes();

    KeyedTree::Node* root = tree.addNode({}, kRootKey.toString(), kRootText.toString());
    style(tree, root, kRootColor);
    tree.setImage(root, kImageClosed.toString());
    tree.setExpandedImage(root, kImageOpen.toString());

    for (auto rs = connection.execute(kSelectFolders); !rs.eof(); rs.moveNext()) {
        if (text(rs, "KIND") != kKindFolder) {
            continue;
        }
        KeyedTree::Node* node = addEntry(tree, rs, errors);
        if (!node) {
            continue;
        }
        style(tree, node, kFolderColor);
        tree.setImage(node, kImageClosed.toString());
        tree.setExpandedImage(node, kImageOpen.toString());
        node->parent()->setExpanded(true);
    }
    for (auto rs = connection.execute(kSelectFields); !rs.eof(); rs.moveNext()) {
        if (text(rs, "KIND") != kKindField) {
            continue;
        }
        KeyedTree::Node* node = addEntry(tree, rs, errors);
        if (!node) {
            continue;
        }
        style(tree, node, kFieldColor);
        node->parent()->setExpanded(true);
        const bool fixed = rs.field("DIS_ALT_FLG").toInt() == 1;
        tree.setImage(node, (fixed ? kImageFixedField : kImageField).toString());
    }

    // Back to the top: the root of the last node added becomes the first visible row.
    tree.setFirstVisible(KeyedTree::rootOf(tree.nodeAt(tree.nodeCount() - 1)));
    tree.setIndentationTwips(kTreeIndentTwips);
}

}  // namespace

void loadTemplateTree(KeyedTree& tree, jet::Connection& connection, LoadErrors errors) {
    if (errors == LoadErrors::kSkip) {
        try {
            load(tree, connection, errors);
        } catch (const std::exception&) {
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
