// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "component/wizard_life.h"
#include "templates/library_owner.h"

class QLabel;
class QPushButton;

namespace controls {
class FlexGrid;
class KeyedTree;
class TreeFindLine;
}  // namespace controls

namespace browser {
class TreeReader;
}  // namespace browser

namespace wizard {
class GridHistory;
class LiveChecks;
struct GridSelection;
}  // namespace wizard

namespace component {

// The database creation wizard "データベース作成ウイザード". One instance per process
// (see CreateDBSql::showMakeDBForm); the host's three strings are set before it opens.
//
// Opening (Form_Load) sets up the grid, loads the template tree from basconnStr, then
// either loads the fields of the existing product database at basFilePath or creates an
// empty database file there protected by basPass. Closing deletes that file again unless
// it holds the product schema (dbExists).
class rv_makeDBForm : public QDialog {
    Q_OBJECT

  public:
    explicit rv_makeDBForm(QWidget* parent = nullptr);
    ~rv_makeDBForm() override;

    QString basFilePath;
    QString basconnStr;
    QString basPass;
    QString basNodeKey;

    // The opening. The library's owner is made from basconnStr; a template library that
    // cannot be opened is thrown to the caller before anything else happens; every later
    // failure shows "データベースがエラーです" and makes the wizard close itself when it is
    // activated. The tree's rows are read on a thread of their own while the window opens
    // (showTree() puts them in).
    void Form_Load();
    // Puts the rows read since Form_Load into the tree, waiting for them if need be; runs by
    // itself once they are read, and does nothing once the tree is shown. Entries the tree
    // cannot place are only left out, told once. A library that fails while it is read
    // closes the window, and the failure goes to the caller (throwOpeningFailure()).
    void showTree();
    // After the window closed: throws the failure that closed it while its tree was read
    // (browser::TreeLoadError), as the opening does for a library it cannot open.
    void throwOpeningFailure() const;

    // Rebuilds the template tree from the library `library` reads, on a connection of its
    // own; returns the entries left out. Throws browser::TreeLoadError.
    templates::LeftOut createTree(const templates::LibraryOwner& library);
    // createTree with the wizard's library after the template browser closed; a failure
    // is shown.
    void reloadTree();

    // The template library: made by Form_Load from basconnStr; the tree, "<< 使用" and the
    // browser ("設定") all read and write what it names, and the browser hands it back.
    const templates::LibraryOwner& library() const { return m_library; }
    void setLibrary(const templates::LibraryOwner& library) { m_library = library; }

    bool dbExists() const { return m_status.dbExists; }
    bool openFailed() const { return m_status.openFailed; }
    bool buildFailed() const { return m_status.buildFailed; }
    const QString& curFieldID() const { return m_status.curFieldID; }

    controls::FlexGrid* fg1;
    controls::KeyedTree* SSTree1;
    QLabel* Label1;
    QPushButton* Command1;  // キャンセル(C)
    QPushButton* Command2;  // OK(O)
    QPushButton* Command3;  // 上へ(&U)
    QPushButton* Command4;  // << 使用(&A)
    QPushButton* Command5;  // 削除(&R) >>
    QPushButton* Command6;  // 下へ(&D)
    QPushButton* Command7;  // 設定
    QPushButton* Command8;  // 項目追加

    void done(int result) override;

    // Grid and row commands (rv_makedb_form_grid.cpp).
    void Command3_Click();  // up
    void Command4_Click();  // copy the selected templates into the grid
    void Command5_Click();  // remove
    void Command6_Click();  // down
    void Command7_Click();  // template browser
    void Command8_Click();  // add a row
    void fg1_AfterEdit(int row, int col);
    void fg1_AfterRowColChange(int oldRow, int oldCol, int newRow, int newCol);
    void fg1_KeyPressEdit(int row, int col, int& key);

    // The create command (rv_makedb_form_create.cpp).
    void Command2_Click();
    // Sees every statement (and transaction marker) of a build; for tests and tracing.
    std::function<void(std::string_view)> statementObserver;

    // Working aids (rv_makedb_form_aids.cpp). F9 or the grid's context menu: the statements
    // OK would send, in a read-only window.
    void showBuildPreview();
    // Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z: the grid's commands undone and redone whole.
    void undo();
    void redo();
    // Ctrl+C or "コピー": the selected rows to the clipboard as tab-separated lines. Ctrl+V or
    // "貼り付け": the clipboard's rows typed in after the selected row, one step of undo.
    void copyRows();
    void pasteRows();
    // "項目ファイルの読み込み...": a field file's lines pasted in, as batch mode reads them
    // (`encoding` an iconv name).
    void openFieldFile();
    void addFieldFile(const QString& path, const QString& encoding);

  protected:
    bool event(QEvent* e) override;
    // The tree key guard: cut, copy and paste never reach SSTree1. Enter on selected
    // template fields imports them.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void connectGridCommands();
    void connectWorkingAids();
    void enableRowCommands(bool enabled);
    void Form_Activate();
    void Form_Unload();
    void Command1_Click();

    // Runs a command over the grid's rows as one step of undo.
    void recorded(const std::function<void()>& command);
    // Undo starts from the grid as the opening left it.
    void startHistory();
    // What the grid's rules changed on a move of the current cell belongs to no step.
    void settleHistory();
    // Runs an undo or redo `step` and maps the selection it brings back onto the grid.
    void restoreSelection(const std::function<std::optional<wizard::GridSelection>()>& step);

    WizardStatus m_status;
    templates::LibraryOwner m_library;
    std::unique_ptr<wizard::GridHistory> m_history;
    wizard::LiveChecks* m_liveChecks = nullptr;
    bool m_closing = false;
    // The tree's rows being read while the window opens; gone once they are shown.
    std::unique_ptr<browser::TreeReader> m_treeReader;
    std::exception_ptr m_openingFailure;
    // Under the tree, open while finding (Ctrl+F).
    controls::TreeFindLine* m_findLine = nullptr;
};

}  // namespace component
