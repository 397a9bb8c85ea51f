#pragma once

#include <QString>
#include <QStringList>

namespace component {

// Batch mode: the wizard's opening, grid rules, checks, builder and closing, run without
// its window. Each field line (cells tab-separated: ID, name, attribute label, size, IME
// label, mail kind, FAX kind) is added as "項目追加" adds a row and typed in cell by cell;
// then OK runs. Messages go to standard error, one line each.
struct BatchJob {
    QString database;
    QString password;
    QString templates;  // connection string
    QStringList fieldLines;
    bool answerYes = false;  // the answer to the mail question
};

enum class BatchResult : int {
    kBuilt = 0,       // the build succeeded and the wizard closed
    kRefused = 1,     // a check refused, the question was declined, or the build failed
    kOpenFailed = 3,  // the wizard could not open
};

BatchResult runBatch(const BatchJob& job);

// The field lines of a batch file: empty lines and lines beginning with '#' left out.
QStringList fieldLines(const QString& fileText);

}  // namespace component
