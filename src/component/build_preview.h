// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace component {

// "作成内容の確認": the statements OK would send, one a line, to read and copy; nothing
// in it can be changed.
class BuildPreview : public QDialog {
    Q_OBJECT

  public:
    BuildPreview(const QString& statements, QWidget* parent = nullptr);

    QPlainTextEdit* statementText;
    QPushButton* copyButton;  // puts the whole text on the clipboard
    QPushButton* closeButton;
};

}  // namespace component
