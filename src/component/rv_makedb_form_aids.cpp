// SPDX-License-Identifier: MIT
// Aids for working faster in the wizard that leave its layout as it is: undo and redo of the
// grid's commands, marks on the rows OK would refuse, and the preview of a build.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeySequence>
#include <QShortcut>
#include <QSignalBlocker>
#include <memory>

#include "component/batch_build.h"
#include "component/build_preview.h"
#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "wizard/grid_history.h"
#include "wizard/live_checks.h"
#include "wizard/row_paste.h"

namespace component {

using namespace Qt::Literals::StringLiterals;

void rv_makeDBForm::connectWorkingAids() {
    m_liveChecks = new wizard::LiveChecks(*fg1->gridModel(), this);

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

    // Copy and paste of rows, and a field file read in, in the grid's context menu; the keys
    // are the grid's own while no cell editor is open.
    const auto action = [this](QStringView caption, QKeySequence keys,
                               void (rv_makeDBForm::*run)()) {
        auto* a = new QAction(caption.toString(), fg1);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, run);
        fg1->addAction(a);
    };
    action(kMenuCopyRows, QKeySequence::Copy, &rv_makeDBForm::copyRows);
    action(kMenuPasteRows, QKeySequence::Paste, &rv_makeDBForm::pasteRows);
    action(kMenuOpenFieldFile, {}, &rv_makeDBForm::openFieldFile);

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
    if (!selection) {
        return;
    }
    if (selection->currentRow > 0 && selection->currentRow < fg1->rows()) {
        fg1->setCurrentCell(selection->currentRow, selection->currentCol);
    }
    // The current cell may have stayed where the rows left it while the grid was quiet: the
    // current-cell change runs for it all the same, so that its editability, the IME list and
    // the buttons are what the same command done by hand leaves.
    fg1_AfterRowColChange(-1, -1, fg1->currentRow(), fg1->currentCol());
}

void rv_makeDBForm::copyRows() {
    const QList<int> rows = fg1->selectedRows();
    if (!rows.isEmpty()) {
        QGuiApplication::clipboard()->setText(wizard::rowsText(*fg1->gridModel(), rows));
    }
}

namespace {

// Pastes `lines` after the selected row as one step, then shows each warning once and the
// first list cell refused (every refused row is marked).
void paste(rv_makeDBForm& form, const QList<QStringList>& lines,
           const std::function<void(const std::function<void()>&)>& recorded) {
    wizard::PastedRows pasted;
    recorded([&] {
        pasted = wizard::pasteRows(*form.fg1->gridModel(), form.fg1->firstSelectedRow(), lines);
        if (!pasted.rows.isEmpty()) {
            form.fg1->setSelectedRows(pasted.rows);
        }
    });
    for (const controls::Message& warning : pasted.warnings) {
        controls::tell(warning);
    }
    if (!pasted.refusals.isEmpty()) {
        controls::tell(pasted.refusals.front());
    }
}

}  // namespace

void rv_makeDBForm::pasteRows() {
    try {
        paste(*this, wizard::parseRows(QGuiApplication::clipboard()->text()),
              [this](const std::function<void()>& command) { recorded(command); });
    } catch (const std::exception& e) {
        controls::tell(
            controls::Message{QString::fromStdString(e.what()), controls::vbExclamation});
    }
}

void rv_makeDBForm::openFieldFile() {
    const QString path = QFileDialog::getOpenFileName(this, kMenuOpenFieldFile.toString(), {},
                                                      kFieldFileFilter.toString());
    if (path.isEmpty()) {
        return;
    }
    bool ok = false;
    const QString encoding = QInputDialog::getItem(
        this, kFieldFileEncodingTitle.toString(), kFieldFileEncodingLabel.toString(),
        {u"UTF-8"_s, u"CP932"_s, u"EUC-JP"_s}, 0, true, &ok);
    if (ok) {
        addFieldFile(path, encoding);
    }
}

void rv_makeDBForm::addFieldFile(const QString& path, const QString& encoding) {
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw std::runtime_error(file.errorString().toStdString());
        }
        const QByteArray bytes = file.readAll();
        const QString text = fieldFileText(bytes.toStdString(),
                                           encoding.isEmpty() ? "UTF-8" : encoding.toStdString());
        QList<QStringList> lines;
        for (const QString& line : fieldLines(text)) {
            lines << line.split(u'\t');
        }
        paste(*this, lines, [this](const std::function<void()>& command) { recorded(command); });
    } catch (const std::exception& e) {
        controls::tell(controls::Message{path + u": "_s + QString::fromStdString(e.what()),
                                         controls::vbExclamation});
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
