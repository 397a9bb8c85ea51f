// SPDX-License-Identifier: MIT
#include "browser/account_add.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "browser/folder_add.h"
#include "browser/texts.h"
#include "controls/accessibility.h"
#include "controls/msg_box.h"
#include "templates/field_rules.h"
#include "templates/texts.h"
#include "vocabulary/msgbox_const.h"

namespace browser {

using namespace templates;

namespace {

constexpr int kWarning = controls::vbOKOnly + controls::vbExclamation;

// A text box and the label that names it, in one row of the frame.
QLineEdit* addTextRow(QGridLayout& grid, QLabel*& label, QStringView caption, int maxLength) {
    auto* box = new QLineEdit;
    box->setMaxLength(maxLength);
    box->setAccessibleName(caption.toString());
    label = new QLabel(caption.toString());
    label->setBuddy(box);
    grid.addWidget(label, grid.rowCount(), 0);
    grid.addWidget(box, grid.rowCount() - 1, 1);
    return box;
}

QComboBox* addListRow(QGridLayout& grid, QLabel*& label, QStringView caption) {
    auto* list = new QComboBox;
    list->setAccessibleName(caption.toString());
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    label = new QLabel(caption.toString());
    label->setBuddy(list);
    grid.addWidget(label, grid.rowCount(), 0);
    grid.addWidget(list, grid.rowCount() - 1, 1, Qt::AlignLeft);
    return list;
}

// The box takes text only from the keyboard as typed: no input method.
void switchInputMethodOff(QLineEdit& box, Qt::InputMethodHints hints) {
    box.setAttribute(Qt::WA_InputMethodEnabled, false);
    box.setInputMethodHints(hints | Qt::ImhNoPredictiveText);
}

}  // namespace

AccountAdd::AccountAdd(EditorMode mode, const TemplateEntry& entry, Commit commit, QWidget* parent)
    : QDialog(parent), m_commit(std::move(commit)) {
    setObjectName(QStringLiteral("AccountAdd"));
    setWindowTitle(kFieldAddCaption.toString());

    Frame1 = new QGroupBox(kFieldFrame.toString(), this);
    auto* grid = new QGridLayout(Frame1);
    Text1 = addTextRow(*grid, Label3, kFieldIdLabel, kFieldIdMaxLength);
    Text2 = addTextRow(*grid, Label4, kFieldNameLabel, kFieldNameMaxLength);
    Combo1 = addListRow(*grid, Label5, kFieldAttrLabel);
    Text3 = addTextRow(*grid, Label6, kFieldSizeLabel, kFieldSizeMaxLength);
    Combo2 = addListRow(*grid, Label7, kFieldImeLabel);
    switchInputMethodOff(*Text1, Qt::ImhLatinOnly);
    switchInputMethodOff(*Text3, Qt::ImhDigitsOnly);
    // Room for 31 characters of an ID, 16 full-width ones of a name, four digits.
    const QFontMetrics metrics = Text1->fontMetrics();
    Text1->setMinimumWidth(metrics.horizontalAdvance(QString(kFieldIdMaxLength, u'W')) / 2);
    Text2->setMinimumWidth(metrics.horizontalAdvance(QString(16, QChar(0x5B57))));
    Text3->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000")) + 16);
    Text3->installEventFilter(this);

    Command1 = new QPushButton(kCaptionOk.toString(), this);
    Command2 = new QPushButton(kCaptionCancel.toString(), this);
    Command1->setDefault(true);
    Command2->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Frame1);
    top->addLayout(buttons);
    controls::setUpDialogKeys(*this, {Text1, Text2, Combo1, Text3, Combo2, Command1, Command2});

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    // A change of the attribute by the program or the user, and the user picking the same
    // attribute again (which sets the IME back to ON); the rule may run twice for one pick.
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { reject(); });
    Form_Load();
    prepare(mode, entry);
}

void AccountAdd::prepare(EditorMode mode, const TemplateEntry& entry) {
    switch (mode) {
        case EditorMode::kAdd:
            refillLists();
            Text1->clear();
            Text2->clear();
            Text3->clear();
            Combo1->setCurrentIndex(0);
            Combo2->setCurrentIndex(0);
            setWindowTitle(kFieldAddCaption.toString());
            break;
        case EditorMode::kEdit: {
            FillAccountAdd(entry);
            // A fixed template field can only be looked at.
            const bool changeable = entry.fixedFlag != u"1";
            for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                               static_cast<QWidget*>(Text3), static_cast<QWidget*>(Combo1),
                               static_cast<QWidget*>(Combo2), static_cast<QWidget*>(Command1)}) {
                w->setEnabled(changeable);
            }
            setWindowTitle(kFieldEditCaption.toString());
            break;
        }
        case EditorMode::kCopy:
            FillAccountAdd(entry);
            setWindowTitle(kFieldCopyCaption.toString());
            break;
    }
}

void AccountAdd::FillAccountAdd(const TemplateEntry& row) {
    refillLists();
    // A column is filled in when it holds something; each box runs its own check on it.
    if (!row.fieldId.isEmpty()) {
        Text1->setText(row.fieldId);
        basFIELDIDCopy = row.fieldId;
    }
    if (!row.name.isEmpty()) {
        Text2->setText(row.name);
    }
    if (!row.attr.isEmpty()) {
        Combo1->setCurrentIndex(Combo1->findText(MsgBox_Const::getATTRLabel(row.attr)));
    }
    if (!row.size.isEmpty()) {
        Text3->setText(row.size);
    }
    if (!row.ime.isEmpty()) {
        Combo2->setCurrentIndex(Combo2->findText(MsgBox_Const::getONOFF(row.ime)));
    }
}

QString AccountAdd::getATTR(const QString& ATTR) {
    return MsgBox_Const::getATTR(ATTR);
}

void AccountAdd::refillLists() {
    // Programmed, not picked: the attribute rule does not run.
    const QSignalBlocker attributes(Combo1);
    Combo1->clear();
    Combo2->clear();
    for (const vocabulary::Attribute& attribute : vocabulary::kAttributes) {
        Combo1->addItem(attribute.label.toString());
    }
    Combo1->setCurrentIndex(-1);
    addImeEntries();
}

void AccountAdd::addImeEntries() {
    Combo2->addItem(vocabulary::kImeOn.label.toString(), 1);
    Combo2->addItem(vocabulary::kImeOff.label.toString(), 0);
    Combo2->setCurrentIndex(-1);
}

void AccountAdd::Form_Load() {
    Combo1_Click();
}

void AccountAdd::Combo1_Click() {
    const vocabulary::Attribute* attribute = MsgBox_Const::attributeOfLabel(Combo1->currentText());
    const bool size = attribute != nullptr && attribute->takesSize;
    const bool ime = attribute != nullptr && attribute->takesIme;
    if (!size) {
        Text3->clear();
    }
    Text3->setEnabled(size);
    Combo2->clear();
    Combo2->setEnabled(ime);
    if (ime) {
        addImeEntries();
        Combo2->setCurrentIndex(0);
    }
}

void AccountAdd::Text1_Change() {
    const QString text = Text1->text();
    const FilteredFieldId kept = filterFieldId(text);
    if (kept.text.size() == text.size()) {
        return;
    }
    if (kept.refused) {
        controls::tell(kMsgRefusedIdCharacters, kWarning);
    }
    // The cursor stays behind the character it followed.
    const auto cursor = filterFieldId(QStringView(text).left(Text1->cursorPosition())).text.size();
    Text1->setText(kept.text);
    Text1->setCursorPosition(static_cast<int>(cursor));
}

void AccountAdd::Text2_Change() {
    dropApostrophes(*Text2);
}

bool AccountAdd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text3 && event->type() == QEvent::KeyPress &&
        !Text3_KeyPress(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool AccountAdd::Text3_KeyPress(const QKeyEvent& key) {
    if (sizeKeyPasses(key.key(), key.modifiers(), key.text())) {
        return true;
    }
    controls::tell(kMsgDigitsOnly, kWarning);
    return false;
}

void AccountAdd::Text3_Change() {
    if (sizeOutOfRange(Text3->text())) {
        Text3->clear();
        controls::tell(kMsgSizeOutOfRange, kWarning);
    }
}

void AccountAdd::Command1_Click() {
    const FieldDraft draft{
        Text1->text(), Text2->text(), getATTR(Combo1->currentText()), Text3->text(),
        Combo2->currentIndex() >= 0 ? Combo2->currentData().toString() : QString()};
    if (const std::optional<FieldRefusal> refused = Library::formRefusal(draft)) {
        controls::tell(*refused == FieldRefusal::kIncomplete ? kMsgEnterText : kMsgReservedFieldId,
                       controls::vbOKOnly);
        return;
    }
    if (m_commit && !m_commit(draft)) {
        return;
    }
    accept();
}

}  // namespace browser
