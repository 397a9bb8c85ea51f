// SPDX-License-Identifier: MIT
#include "controls/accessibility.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <optional>

#include "controls/keyed_tree.h"

namespace controls {

namespace {

// Qt's own Cancel as the application translates it now.
QString qtCancel() {
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

// Qt's Japanese translation, loaded once per application; nullptr when it is not installed.
QTranslator* japaneseTranslator() {
    static QPointer<QTranslator> translator;
    if (translator.isNull()) {
        auto* loaded = new QTranslator(QCoreApplication::instance());
        if (!loaded->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete loaded;
            return nullptr;
        }
        translator = loaded;
    }
    return translator;
}

// The keys of a dialog set up by setUpDialogKeys(): it sees every key the dialog's controls
// leave unhandled, and the dialog being shown and hidden.
class DialogKeys : public QObject {
  public:
    DialogKeys(QDialog& dialog, const QList<QWidget*>& tabOrder)
        : QObject(&dialog), m_first(tabOrder.isEmpty() ? nullptr : tabOrder.front()) {
        for (qsizetype i = 1; i < tabOrder.size(); ++i) {
            QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
        }
        dialog.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                // Only what no control took arrives here; the dialog would close on it.
                return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            case QEvent::Show:
                if (m_first) {
                    m_first->setFocus(Qt::ActiveWindowFocusReason);
                }
                m_texts.emplace();
                break;
            case QEvent::Hide:
                m_texts.reset();
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QPointer<QWidget> m_first;
    std::optional<JapaneseQtTexts> m_texts;
};

}  // namespace

void setUpDialogKeys(QDialog& dialog, const QList<QWidget*>& tabOrder) {
    new DialogKeys(dialog, tabOrder);
}

void reportKeyMovesAsClicks(KeyedTree& tree) {
    tree.setKeyMoves(KeyedTree::KeyMoves::AsClicks);
}

namespace {
int s_holders = 0;
bool s_installed = false;
}  // namespace

JapaneseQtTexts::JapaneseQtTexts() {
    // The first holder installs it, unless the application translates Qt's texts itself.
    if (s_holders++ > 0 || QCoreApplication::instance() == nullptr || qtCancel() != u"Cancel") {
        return;
    }
    if (QTranslator* translator = japaneseTranslator()) {
        s_installed = QCoreApplication::installTranslator(translator);
    }
}

JapaneseQtTexts::~JapaneseQtTexts() {
    if (--s_holders == 0 && s_installed) {
        QCoreApplication::removeTranslator(japaneseTranslator());
        s_installed = false;
    }
}

bool JapaneseQtTexts::active() {
    return qtCancel() == u"キャンセル";
}

}  // namespace controls
