#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "templates/store.h"
#include "templates/template_moves.h"

namespace controls {
class IndexedToolbar;
class TreeFindLine;
}  // namespace controls
namespace jet {
class Error;
}

namespace templates {

class AccountAdd;
class FolderAdd;

// The template browser "項目一覧": the template library as a tree (SSTree1) under a toolbar
// (Toolbar1) that adds, renames and deletes folders, deletes template fields, and opens the
// field editor to add, edit and copy them. A node's text can also be edited in place (F2, or
// a click on the selected node). Entries move by dragging their nodes onto another node, and
// a selected template field moves among its neighbours with Alt+Up and Alt+Down.
//
// The browser holds one connection, basTable, from Form_Load to Form_Unload; its commands
// and the dialogs it opens send all their statements through it. The dialogs read and set
// the public members below. A statement the engine refuses is shown with the engine's
// message, and the tree then shows what the table holds.
class AccountBrowse : public QDialog {
    Q_OBJECT

  public:
    // Toolbar buttons by index; 4, 8 and 10 are separators.
    enum Button : int {
        kAddFolder = 1,
        kRenameFolder = 2,
        kDeleteFolder = 3,
        kAddField = 5,
        kEditField = 6,
        kDeleteField = 7,
        kCopyField = 9,
        kClose = 11,
    };

    // `unloading` runs first when the window closes: the opener reloads its own tree there.
    explicit AccountBrowse(std::function<void()> unloading = {}, QWidget* parent = nullptr);
    ~AccountBrowse() override;

    // Stores connStr in basconnStr, loads the window and shows it modally; returns when it
    // has closed. A library that cannot be opened shows the engine's message and the
    // window does not open: false.
    bool showAccountForm(const QString& connStr);

    // Opens basTable on basconnStr, loads the tree and turns every action button off; false
    // (after the message) when the library cannot be opened.
    bool Form_Load();
    // Loads the tree from the table on basTable, opening it on DBStr first when it is not
    // open; rows that cannot be shown are left out.
    void connectDB(const QString& DBStr);
    // Clears basCanDelete when a fixed template field lies anywhere below folder P_ID.
    void CheckChild(const QString& P_ID);
    // Deletes every entry below folder P_ID, children before parents, then P_ID itself.
    void DeleteChild(const QString& P_ID);
    // The buttons for the root node: only "add folder".
    void enableButton();
    // Every action button off.
    void enableAllButton();
    // Refills the field editor's two lists, none selected (loading the editor first).
    void DefaultAccountAdd();

    // Shows a statement's failure: "ravLIN" and the engine's message.
    static void tellFailure(const jet::Error& error);

    controls::IndexedToolbar* Toolbar1;
    controls::KeyedTree* SSTree1;
    // The toolbar's images (the tree's are the template node images, given by the loading).
    controls::ImageList ImageList2;

    jet::Connection basTable;
    QString basconnStr;
    // The key of the node clicked last; empty until the first click.
    QString basNodeKey;
    // The mode of the dialog opened last: the index of its toolbar button, as text.
    QString basAU;
    // The selected template field's row (S3) when a field is edited, copied or deleted.
    TemplateEntry bascopyRs;
    // The node a dialog added last.
    controls::KeyedTree::Node* atNode = nullptr;

    void done(int result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The tree key guard: cut, copy and paste never reach SSTree1.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Resize();
    void Form_Unload();
    void Toolbar1_ButtonClick(int index);
    void SSTree1_NodeClick(controls::KeyedTree::Node* node);
    void SSTree1_AfterLabelEdit(controls::KeyedTree::Node* node, QString& newText, bool& cancel);
    void setActionButtons(const bool (&on)[7]);
    void showFolderAdd(QStringView caption, const QString& name);
    void deleteFolder();
    void deleteField();
    // bascopyRs = the row of basNodeKey; false (after the message) when it cannot be read.
    bool readSelectedRow();
    // Puts the tree back to what the table holds after a failed command.
    void reloadAfterFailure();

    // The field editor (AccountAdd), loaded afresh, prepared for the mode of basAU ("5" add,
    // "6" edit, "9" copy; for 6 and 9 bascopyRs holds the row) and shown modally.
    void showAccountAdd();
    // The field editor filled from bascopyRs.
    void FillAccountAdd();
    // The field editor while it is loaded; touching it loads it.
    AccountAdd& accountAdd();

    // Moves (account_browse_moves.cpp): the tree's mouse and drag events, and the keys.
    void connectMoves();
    void SSTree1_MouseDown(const QPoint& pos);
    void SSTree1_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void SSTree1_DragOver(controls::KeyedTree::Node* node);
    void SSTree1_DragDrop(controls::KeyedTree::Node* node);
    // Every end of a drag: no drop target, no drag.
    void endDrag();
    // The statements of one move, kept together in one transaction, then the tree loaded
    // again; a failure is shown and leaves the table as it was.
    void runMove(const QString& moved, const DropTarget& target);
    // Alt+Up / Alt+Down on a selected template field; the field stays selected.
    void moveSelectedField(FieldStep step);

    std::function<void()> m_unloading;
    // The key of the node under the pointer at the last mouse-down in the tree, or empty.
    QString basDragNode;
    bool basDragging = false;
    QPoint m_pressPos;
    bool basCanDelete = false;
    bool m_unloaded = false;
    QPointer<FolderAdd> m_folderAdd;
    QPointer<AccountAdd> m_accountAdd;
    // Under the tree, open while finding (Ctrl+F).
    controls::TreeFindLine* m_findLine = nullptr;
};

}  // namespace templates
