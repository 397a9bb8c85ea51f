// SPDX-License-Identifier: MIT
#include "browser/library_file_dialogs.h"

#include <QFileDialog>
#include <QSaveFile>
#include <exception>

#include "browser/texts.h"
#include "controls/msg_box.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/library_import.h"
#include "templates/library_owner.h"

namespace browser {

using templates::exportLibrary;
using templates::importLibrary;
using templates::ImportOptions;
using templates::ImportResult;
using templates::LibraryRefusal;
using templates::ParsedLibrary;
using templates::readLibraryFile;

namespace {

ImportOptions below(const QString& folder, bool checkOnly) {
    ImportOptions options;
    options.below = folder;
    options.checkOnly = checkOnly;
    return options;
}

constexpr int kWarning = controls::vbOKOnly + controls::vbExclamation;

void tellRefused(const std::vector<LibraryRefusal>& refusals) {
    QStringList lines;
    for (const LibraryRefusal& r : refusals) {
        if (lines.size() == kRefusedLinesShown) {
            lines << controls::fill(kMoreRefusedLines,
                                    {QString::number(refusals.size() - lines.size())});
            break;
        }
        lines << (r.line > 0 ? controls::fill(kRefusedLine, {QString::number(r.line), r.message})
                             : r.message);
    }
    controls::tell(kMsgImportRefused, kWarning, {lines.join(u'\n')});
}

}  // namespace

bool exportFolderDialog(QWidget* parent, jet::Connection& library, const QString& folder,
                        const QString& name) {
    const QString file = QFileDialog::getSaveFileName(parent, kExportCaption.toString(), name,
                                                      kLibraryFileFilter.toString());
    if (file.isEmpty()) {
        return false;
    }
    try {
        const QByteArray bytes = exportLibrary(library, folder).toUtf8();
        QSaveFile saved(file);
        if (!saved.open(QIODevice::WriteOnly) || saved.write(bytes) != bytes.size() ||
            !saved.commit()) {
            controls::tell(kMsgExportFailed, kWarning, {saved.errorString()});
            return false;
        }
    } catch (const std::exception& e) {
        controls::tell(kMsgExportFailed, kWarning, {QString::fromStdString(e.what())});
        return false;
    }
    return true;
}

std::optional<QString> importIntoFolderDialog(QWidget* parent,
                                              templates::LibraryConnection& library,
                                              const QString& folder) {
    const QString file = QFileDialog::getOpenFileName(parent, kImportCaption.toString(), {},
                                                      kLibraryFileFilter.toString());
    if (file.isEmpty()) {
        return std::nullopt;
    }
    const ParsedLibrary parsed = readLibraryFile(file);
    if (!parsed.refusals.empty()) {
        // The editor's refusals of the lines that were read are told with them.
        std::vector<LibraryRefusal> refusals = parsed.refusals;
        if (!parsed.refusedWhole) {
            try {
                const ImportResult checked =
                    importLibrary(library, parsed.lines, below(folder, true));
                refusals.insert(refusals.end(), checked.refusals.begin(), checked.refusals.end());
                std::stable_sort(refusals.begin(), refusals.end(),
                                 [](const auto& a, const auto& b) { return a.line < b.line; });
            } catch (const std::exception&) {
                // The refusals read so far are reason enough.
            }
        }
        tellRefused(refusals);
        return std::nullopt;
    }
    try {
        const ImportResult result = importLibrary(library, parsed.lines, below(folder, false));
        if (!result.refusals.empty()) {
            tellRefused(result.refusals);
            return std::nullopt;
        }
        return result.firstFolder.isEmpty() ? std::nullopt : std::optional(result.firstFolder);
    } catch (const jet::Error& e) {
        // The engine's reason in the user's words; the library is as it was.
        controls::tell(controls::Message{QString::fromUtf8(jet::reasonInJapanese(e.kind())),
                                         controls::vbExclamation});
        return std::nullopt;
    } catch (const std::exception& e) {
        controls::tell(
            controls::Message{QString::fromStdString(e.what()), controls::vbExclamation});
        return std::nullopt;
    }
}

}  // namespace browser
