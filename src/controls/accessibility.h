// SPDX-License-Identifier: MIT
#pragma once

// What every window of the component does for a person at the keyboard and for a screen
// reader, in one call each. A window calls these after its controls exist:
//
//   controls::setUpDialogKeys(*this, {fg1, Command8, Command3, ..., Command1});
//   controls::reportKeyMovesAsClicks(*SSTree1);
//   SSTree1->setAccessibleName(...);   // item views have no caption to be named by
//
// What Qt already does and needs no call: a button is named by its caption without "&"
// and exposes its access key (Alt+letter) as its key binding; a message box is announced
// as an alert with its title and text; a text box with a buddy label is named by the label.
// The controls themselves see to the rest: a FlexGrid lets Tab leave it and does not show
// its hidden columns to screen readers; a KeyedTree scrolls sideways rather than cut a name.

#include <QList>

class QDialog;
class QWidget;

namespace controls {

class KeyedTree;

// Gives a dialog the keyboard of the system's own dialogs:
// - Escape never closes it (the system binds no key to Escape in its windows). An open cell,
//   list or label editor still takes Escape and cancels its edit; the close box still closes.
// - Tab and Shift+Tab walk `tabOrder` from first to last and round again (a FlexGrid takes
//   Ctrl+Tab and Ctrl+Shift+Tab as well); focusable controls left out come after the list.
// - The dialog opens with the focus on the first control of `tabOrder`.
// - While the dialog is shown, Qt's own texts (standard buttons, the context menus of text
//   boxes) are Japanese, as JapaneseQtTexts says.
void setUpDialogKeys(QDialog& dialog, const QList<QWidget*>& tabOrder);

// Makes a key that moves the tree's current node (arrows, Home/End, Page Up/Down, typing the
// start of a name) report nodeClick for the new current node, so that what a click on a node
// enables, a key enables too. Space toggles the current node's selection (Ctrl+arrows move
// without selecting, so several nodes are chosen with Ctrl+arrows and Space).
void reportKeyMovesAsClicks(KeyedTree& tree);

// While alive, Qt's own texts ("キャンセル" on a standard Cancel button, the context menu of a
// text box) come from Qt's Japanese translation (qtbase_ja, Debian's qt6-translations-l10n),
// installed on the application. An application that already translates Qt's texts itself is
// left as it is, and one made by the component gets the same treatment as a host's: the
// translation is removed again when the last holder goes, so the host's windows are
// unchanged afterwards. Holders may overlap in any order; use them on the GUI thread.
class JapaneseQtTexts {
  public:
    JapaneseQtTexts();
    ~JapaneseQtTexts();
    JapaneseQtTexts(const JapaneseQtTexts&) = delete;
    JapaneseQtTexts& operator=(const JapaneseQtTexts&) = delete;

    // Qt's texts are Japanese now, by this holder or an earlier one (false when the
    // translation is not installed on this system, or the application translates Qt into
    // another language).
    static bool active();
};

}  // namespace controls
