// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "templates/library_owner.h"

namespace component {

// Batch mode: the wizard's opening, grid rules, checks, builder and closing, run without
// its window. Each field line (cells tab-separated: ID, name, attribute label, size, IME
// label, mail kind, FAX kind) is added as "項目追加" adds a row and typed in cell by cell;
// then OK runs. A list cell that takes none of its entries is refused with the window's
// message, and after the last line the wizard closes as Cancel does instead of OK.
// Messages go to standard error, one line each.
struct BatchJob {
    QString database;  // path and password as fromHostBytes() holds them
    QString password;
    templates::LibraryOwner library;  // the template library
    QStringList fieldLines;
    // Messages name the field file's lines: its name as given, and the line of each field
    // line in it (none: the field lines are lines 1, 2, ...).
    std::string fieldFile;
    std::vector<int> fieldLineNumbers;
    bool answerYes = false;  // the answer to the mail question
    // A dry run: instead of building, OK's statements go here, one a line; the product
    // database is read but never written, and a missing one is not made.
    std::ostream* dryRun = nullptr;
    // Asked before each line and before OK: true closes the wizard as Cancel does.
    std::function<bool()> stopRequested;
};

enum class BatchResult : int {
    kBuilt = 0,       // the build succeeded and the wizard closed (dry run: checks passed)
    kRefused = 1,     // a check refused, the question was declined, or the build failed
    kOpenFailed = 3,  // the wizard could not open
};

BatchResult runBatch(const BatchJob& job);

// The field lines of a batch file: empty lines and lines beginning with '#' left out. With
// `numbers`, the line of each in the file (from 1) goes there.
QStringList fieldLines(const QString& fileText, std::vector<int>* numbers = nullptr);

// The text of a field file in `encoding` (an iconv name: UTF-8, CP932, EUC-JP, ...), a
// leading byte order mark dropped. Throws std::runtime_error naming the first line that
// is not valid in that encoding, or the encoding when it is unknown.
QString fieldFileText(const std::string& bytes, const std::string& encoding);

}  // namespace component
