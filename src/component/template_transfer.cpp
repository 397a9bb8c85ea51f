// SPDX-License-Identifier: MIT
#include "component/template_transfer.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "component/batch_build.h"
#include "component/create_db_sql.h"
#include "jet/error.h"
#include "templates/library_import.h"
#include "templates/library_owner.h"
#include "templates/library_place.h"
#include "templates/texts.h"

namespace component {

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

// Lists refusals as "rv_makedb: FILE:LINE: MESSAGE" (the file as a whole without a line).
void tell(std::ostream& err, const std::string& file,
          const std::vector<templates::LibraryRefusal>& refusals) {
    for (const templates::LibraryRefusal& r : refusals) {
        err << "rv_makedb: " << file;
        if (r.line > 0) {
            err << ":" << r.line;
        }
        err << ": " << text(r.message) << "\n";
    }
}

bool readAll(const std::string& file, std::string& bytes) {
    if (file == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The entries of FILE: a library database or library file as the browser reads them,
// standard input and other encodings as --fields reads its file.
templates::ParsedLibrary readSource(const TemplateImportJob& job) {
    if (job.file != "-" && job.encoding.empty()) {
        return templates::readLibraryFile(QFile::decodeName(job.file.c_str()));
    }
    std::string bytes;
    if (!readAll(job.file, bytes)) {
        return templates::ParsedLibrary::refused({0, templates::kFileUnreadable.toString()});
    }
    QString fileText;
    try {
        fileText = fieldFileText(bytes, job.encoding.empty() ? "UTF-8" : job.encoding);
    } catch (const std::runtime_error& e) {
        return templates::ParsedLibrary::refused({0, QString::fromStdString(e.what())});
    }
    if (fileText.contains(QChar(0))) {
        return templates::ParsedLibrary::refused({0, templates::kFileBinary.toString()});
    }
    return templates::parseLibraryText(fileText);
}

}  // namespace

std::string templateLibraryHelp() {
    using Source = templates::LibraryPlace::Source;
    const templates::DataFolders folders = CreateDBSql::dataFolders();
    const templates::LibraryPlace place = templates::findLibrary(folders);
    const std::string changes = text(templates::libraryForChanges(place.path, folders));
    std::string why;
    switch (place.source) {
        case Source::kBuildTree:
            why = "(beside the component: the build tree)";
            break;
        case Source::kUserData:
            why = "(your own, from $XDG_DATA_HOME)";
            break;
        case Source::kSharedData:
        case Source::kInstalled:
            why = std::string(place.source == Source::kSharedData ? "(shared, from $XDG_DATA_DIRS"
                                                                  : "(installed") +
                  "; never written: changes go to " + changes + ")";
            break;
        case Source::kMissing:
            why = "(missing: none of the folders above holds one)";
            break;
    }
    return "Here: " + text(place.path) + "\n      " + why + "\n";
}

TransferStatus exportTemplates(const templates::LibraryOwner& library, const std::string& file,
                               std::ostream& out, std::ostream& err) {
    QByteArray bytes;
    try {
        templates::LibraryConnection connection(library);
        bytes = templates::exportLibrary(connection.connection()).toUtf8();
    } catch (const jet::Error& e) {
        err << "rv_makedb: template library: " << e.what() << "\n";
        return TransferStatus::kLibraryFailed;
    }
    if (file == "-") {
        out.write(bytes.constData(), bytes.size());
        out.flush();
        if (!out) {
            err << "rv_makedb: cannot write to standard output\n";
            return TransferStatus::kUnusableFile;
        }
        return TransferStatus::kDone;
    }
    QSaveFile saved(QFile::decodeName(file.c_str()));
    if (!saved.open(QIODevice::WriteOnly) || saved.write(bytes) != bytes.size() ||
        !saved.commit()) {
        err << "rv_makedb: cannot write " << file << ": " << text(saved.errorString()) << "\n";
        return TransferStatus::kUnusableFile;
    }
    return TransferStatus::kDone;
}

TransferStatus importTemplates(const templates::LibraryOwner& owner, const TemplateImportJob& job,
                               std::ostream& out, std::ostream& err) {
    templates::ImportOptions options;
    options.skipExisting = job.skipExisting;
    if (!templates::parseLibraryPath(QString::fromStdString(job.into), options.into)) {
        err << "rv_makedb: --into " << job.into
            << ": a folder path begins with \"/\" (\"/住所/自宅\")\n";
        return TransferStatus::kUnusableFile;
    }
    const templates::ParsedLibrary parsed = readSource(job);
    if (parsed.refusedWhole) {
        tell(err, job.file, parsed.refusals);
        return TransferStatus::kUnusableFile;
    }

    // Checked before anything is written: a refused import never makes the user's copy.
    templates::ImportResult result;
    std::vector<templates::LibraryRefusal> refusals = parsed.refusals;
    QString into;
    try {
        templates::LibraryConnection library(owner);
        options.checkOnly = !refusals.empty();
        result = templates::importLibrary(library, parsed.lines, options);
        refusals.insert(refusals.end(), result.refusals.begin(), result.refusals.end());
        std::stable_sort(refusals.begin(), refusals.end(),
                         [](const auto& a, const auto& b) { return a.line < b.line; });
        if (!refusals.empty()) {
            tell(err, job.file, refusals);
            return TransferStatus::kRefused;
        }
        into = library.owner().path();
    } catch (const std::exception& e) {
        err << "rv_makedb: template library: " << e.what() << "\n";
        return TransferStatus::kLibraryFailed;
    }
    auto count = [](int n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    out << "rv_makedb: imported " << count(result.folders, "folder") << " and "
        << count(result.fields, "field") << " into " << text(into);
    if (job.skipExisting) {
        out << "; " << result.skipped << " skipped (ID already in the library)";
    }
    out << "\n";
    return TransferStatus::kDone;
}

}  // namespace component
