// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QToolBar>

#include <vector>

#include "controls/image_list.h"

class QAbstractButton;
class QAction;

namespace controls {

// A toolbar whose buttons are addressed by index, from 1 in the order they were added;
// separators count as buttons. Each button shows its caption under an image from the
// toolbar's image list. A click reports the button's index through buttonClick(); the
// toolbar does nothing else by itself.
//
// Buttons take the keyboard focus with Tab, so that they can be pressed without a mouse.
// An index outside 1..buttonCount() throws std::out_of_range.
class IndexedToolbar : public QToolBar {
    Q_OBJECT

  public:
    enum class ButtonStyle { kDefault, kSeparator };

    explicit IndexedToolbar(QWidget* parent = nullptr);

    void setImageList(const ImageList& images);

    // Appends a button and returns its index. toolTip also describes the button to screen
    // readers.
    int addButton(ButtonStyle style, const QString& caption = {}, const QString& imageKey = {},
                  const QString& toolTip = {});
    int buttonCount() const { return static_cast<int>(m_buttons.size()); }

    QString caption(int index) const;
    bool isSeparator(int index) const;
    void setButtonEnabled(int index, bool enabled);
    bool isButtonEnabled(int index) const;
    // The widget of a button, nullptr for a separator.
    QAbstractButton* buttonWidget(int index) const;

  Q_SIGNALS:
    void buttonClick(int index);

  private:
    QAction* button(int index) const;

    ImageList m_images;
    std::vector<QAction*> m_buttons;
};

}  // namespace controls
