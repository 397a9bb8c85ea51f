// Aids for working faster in the wizard that leave its layout as it is: undo and redo of the
// grid's commands, marks on the rows OK would refuse, and the preview of a build.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>
#include <memory>

#include "component/build_preview.h"
#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/flex_grid.h"
#include "wizard/grid_history.h"
#include "wizard/live_checks.h"

namespace component {

void rv_makeDBForm::connectWorkingAids() {
    new wizard::LiveChecks(*fg1->gridModel(), this);

    // The history keeps the selection as values; the grid's view is mapped to them and back.
    m_history = std::make_unique<wizard::GridHistory>(*fg1->gridModel(), [this] {
        return wizard::GridSelection{fg1->selectedRows(), fg1->currentRow(), fg1->currentCol()};
    });
    const auto key = [this](QKeyCombination keys, void (rv_makeDBForm::*action)()) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this, action);
    };
    key(Qt::CTRL | Qt::Key_Z, &rv_makeDBForm::undo);
    key(Qt::CTRL | Qt::Key_Y, &rv_makeDBForm::redo);
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z, &rv_makeDBForm::redo);

    auto* preview = new QAction(kPreviewCaption.toString(), fg1);
    preview->setShortcut(QKeySequence(Qt::Key_F9));
    preview->setShortcutContext(Qt::WindowShortcut);
    connect(preview, &QAction::triggered, this, [this] { showBuildPreview(); });
    fg1->addAction(preview);
    fg1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void rv_makeDBForm::showBuildPreview() {
    QStringList lines;
    for (const std::string& statement : buildStatements(m_status, *fg1->gridModel())) {
        lines << QString::fromStdString(statement);
    }
    BuildPreview preview(lines.join(u'\n'), this);
    preview.exec();
}

namespace {

// A cell editor of the grid has the keys: its own undo goes first.
bool editingCell(const QWidget* fg1) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != fg1 && fg1->isAncestorOf(focus);
}

}  // namespace

void rv_makeDBForm::undo() {
    if (!editingCell(fg1)) {
        restoreSelection([this] { return m_history->undo(); });
    }
}

void rv_makeDBForm::redo() {
    if (!editingCell(fg1)) {
        restoreSelection([this] { return m_history->redo(); });
    }
}

void rv_makeDBForm::restoreSelection(
    const std::function<std::optional<wizard::GridSelection>()>& step) {
    std::optional<wizard::GridSelection> selection;
    {
        // The grid's events wait until the rows are whole again.
        const QSignalBlocker quiet(fg1);
        selection = step();
        if (selection) {
            fg1->setSelectedRows(selection->rows);
        }
    }
    // Moving the current cell back runs the current-cell change as any move does.
    if (selection && selection->currentRow > 0 && selection->currentRow < fg1->rows()) {
        fg1->setCurrentCell(selection->currentRow, selection->currentCol);
    }
}

void rv_makeDBForm::recorded(const std::function<void()>& command) {
    m_history->record(command);
}

void rv_makeDBForm::startHistory() {
    m_history->reset();
}

void rv_makeDBForm::settleHistory() {
    m_history->settle();
}

}  // namespace component
