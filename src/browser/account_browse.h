// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

#include "browser/tree_moves.h"
#include "controls/image_list.h"
#include "controls/keyed_tree.h"
#include "jet/error.h"
#include "templates/library.h"
#include "templates/library_owner.h"

namespace controls {
class IndexedToolbar;
class TreeFindLine;
}  // namespace controls

namespace browser {

class AccountAdd;
class FolderAdd;

// The template browser "項目一覧": the template library as a tree (SSTree1) under a toolbar
// (Toolbar1) that adds, renames and deletes folders, deletes template fields, and opens the
// field editor to add, edit and copy them. A node's text can also be edited in place (F2, or
// a click on the selected node). Entries move by dragging their nodes onto another node, and
// a selected template field moves among its neighbours with Alt+Up and Alt+Down.
//
// The browser holds one connection, basTable, from Form_Load to Form_Unload, on the library
// its owner reads (templates::LibraryOwner); a shared library's first change moves it to the
// user's copy. Its commands ask the library (templates::Library) on that connection, then
// bring the tree up to date;
// the dialogs it opens take values and hand back a draft. A statement the engine refuses is
// shown with the engine's message, and the tree then shows what the table holds. No
// exception leaves a handler: anything unforeseen is shown as well, and the tree is loaded
// again.
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
    // Which action buttons are on: none (opened, after a deletion), for the root, for a
    // folder, for a template field.
    enum class ButtonState { kNone, kRoot, kFolder, kField };

    // `unloading` runs first when the window closes, told the library's owner as the browser
    // leaves it: the opener takes it back and reloads its own tree there.
    using Unloading = std::function<void(const templates::LibraryOwner& library)>;
    explicit AccountBrowse(Unloading unloading = {}, QWidget* parent = nullptr);
    ~AccountBrowse() override;

    // The library the window opens on (before Form_Load), and as it is now.
    void setLibrary(const templates::LibraryOwner& library) { m_library = library; }
    const templates::LibraryOwner& library() const { return m_library; }

    // Takes the library, loads the window and shows it modally; returns when it has closed.
    // A library that cannot be used is reported, and the window opens with the root alone:
    // false.
    bool showAccountForm(const templates::LibraryOwner& library);

    // Opens basTable on the library, loads the tree and turns every action button off;
    // false (after the message) when the library cannot be used (see openLibrary).
    bool Form_Load();
    // The same without a message: the engine's reason when the library cannot be opened or
    // read (no file, not a database, no TEMP_FIELD, its columns wrong, a damaged page). The
    // browser then shows the root alone and keeps every action button off until it closes.
    // Rows that cannot be placed are left out, the rest shown as usual.
    std::optional<QString> openLibrary();
    // Loads the tree from the table on basTable, opening it on the library first when it
    // is not open; rows that cannot be shown, and statements that fail, are left out.
    void connectDB();
    // The buttons for the root node: only "add folder".
    void enableButton();
    // Every action button off.
    void enableAllButton();

    // Shows a statement's failure: "ravLIN" and the engine's reason in Japanese, without an
    // icon like every message of the browser.
    static void tellFailure(const jet::Error& error);

    controls::IndexedToolbar* Toolbar1;
    controls::KeyedTree* SSTree1;
    // The toolbar's images (the tree's are the template node images, given by the loading).
    controls::ImageList ImageList2;

    // Reads here; writes through templates::Library, which moves it to the user's copy.
    templates::LibraryConnection basTable;
    // The key of the node clicked last; empty until the first click.
    QString basNodeKey;
    // The selected template field's row when a field is edited, copied or deleted.
    templates::TemplateEntry bascopyRs;
    // The node added last by a dialog.
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
    void setButtons(ButtonState state);
    // Runs one handler's work; whatever it throws is shown, and the tree shows the table
    // again.
    void guarded(const std::function<void()>& work);
    // Runs a dialog's write: its result, or false after showing what it threw. A refusal
    // of the engine keeps the tree (kKeep) or loads it again (kReload); an entry that is
    // gone, or anything unforeseen, always loads it again.
    enum class Failure { kKeep, kReload };
    bool committed(const std::function<bool()>& write, Failure failure = Failure::kKeep);
    // Shows a failure the program did not foresee, with its reason when it has one.
    static void tellUnexpected(const QString& reason);
    // The context menu of a folder and the root: "書き出し...", "読み込み...".
    void SSTree1_ContextMenu(const QPoint& pos);
    void addFolder();
    void renameFolder();
    void deleteFolder();
    void deleteField();
    // The field editor in `mode` (for edit and copy on the row of basNodeKey).
    void openFieldEditor(templates::EditorMode mode);
    // The writes behind the dialogs' OK; false (after the message) keeps the dialog open.
    bool commitField(templates::EditorMode mode, const templates::FieldDraft& draft);
    // Puts the tree back to what the table holds, every action button off.
    void reloadAfterFailure();
    // A node added by a dialog below `parent`; the tree is loaded again when the parent
    // is not shown.
    void showAdded(const QString& parent, const QString& number, const QString& name,
                   const controls::KeyedTree::NodeLook& look);

    // Moves (account_browse_moves.cpp): the tree's mouse and drag events, and the keys.
    void connectMoves();
    void SSTree1_MouseDown(const QPoint& pos);
    void SSTree1_MouseMove(Qt::MouseButtons buttons, const QPoint& pos);
    void SSTree1_DragOver(controls::KeyedTree::Node* node);
    void SSTree1_DragDrop(controls::KeyedTree::Node* node);
    // Every end of a drag: no drop target, no drag.
    void endDrag();
    // One move through the library, then the tree loaded again; a failure is shown and
    // leaves the table as it was.
    void runMove(const QString& moved, const templates::DropTarget& target);
    // Alt+Up / Alt+Down on a selected template field; the field stays selected.
    void moveSelectedField(FieldStep step);

    Unloading m_unloading;
    templates::LibraryOwner m_library;
    // The key of the node under the pointer at the last mouse-down in the tree, or empty.
    QString basDragNode;
    bool basDragging = false;
    QPoint m_pressPos;
    bool m_unloaded = false;
    bool m_usable = true;
    std::optional<jet::ErrorKind> m_refusalKind;  // why the library cannot be used
    QPointer<QDialog> m_dialog;                   // the editor open now
    // Under the tree, open while finding (Ctrl+F).
    controls::TreeFindLine* m_findLine = nullptr;
};

}  // namespace browser
