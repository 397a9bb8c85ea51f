// SPDX-License-Identifier: MIT
#include "component/build_preview.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "component/texts.h"

namespace component {

BuildPreview::BuildPreview(const QString& statements, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BuildPreview"));
    setWindowTitle(kPreviewCaption.toString());
    statementText = new QPlainTextEdit(statements, this);
    statementText->setReadOnly(true);
    statementText->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab leaves the text for the buttons: the text takes no typing anyway.
    statementText->setTabChangesFocus(true);
    statementText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    statementText->setAccessibleName(kPreviewCaption.toString());
    statementText->moveCursor(QTextCursor::Start);
    copyButton = new QPushButton(kCaptionCopy.toString(), this);
    closeButton = new QPushButton(kCaptionClose.toString(), this);
    closeButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(closeButton);
    auto* top = new QVBoxLayout(this);
    top->addWidget(statementText, 1);
    top->addLayout(buttons);
    resize(760, 480);

    connect(copyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(statementText->toPlainText()); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace component
