// SPDX-License-Identifier: MIT
#include "controls/indexed_toolbar.h"

#include <QAbstractButton>
#include <QAction>

#include <stdexcept>
#include <string>

namespace controls {

namespace {
constexpr int kImageSize = 16;
constexpr int kImageKeyRole = Qt::UserRole;
}  // namespace

IndexedToolbar::IndexedToolbar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(kImageSize, kImageSize));
}

void IndexedToolbar::setImageList(const ImageList& images) {
    m_images = images;
    for (QAction* action : m_buttons) {
        action->setIcon(m_images.icon(action->data().toString()));
    }
}

int IndexedToolbar::addButton(ButtonStyle style, const QString& caption, const QString& imageKey,
                              const QString& toolTip) {
    QAction* action = nullptr;
    if (style == ButtonStyle::kSeparator) {
        action = addSeparator();
    } else {
        action = addAction(m_images.icon(imageKey), caption);
        action->setData(imageKey);
        action->setToolTip(toolTip.isEmpty() ? caption : toolTip);
    }
    m_buttons.push_back(action);
    const int index = buttonCount();
    if (QAbstractButton* widget = buttonWidget(index)) {
        widget->setFocusPolicy(Qt::TabFocus);
        widget->setAccessibleDescription(toolTip);
        connect(action, &QAction::triggered, this, [this, index] { Q_EMIT buttonClick(index); });
    }
    return index;
}

QAction* IndexedToolbar::button(int index) const {
    if (index < 1 || index > buttonCount()) {
        throw std::out_of_range("no toolbar button " + std::to_string(index));
    }
    return m_buttons[static_cast<std::size_t>(index - 1)];
}

QString IndexedToolbar::caption(int index) const {
    return button(index)->text();
}

bool IndexedToolbar::isSeparator(int index) const {
    return button(index)->isSeparator();
}

void IndexedToolbar::setButtonEnabled(int index, bool enabled) {
    button(index)->setEnabled(enabled);
}

bool IndexedToolbar::isButtonEnabled(int index) const {
    return button(index)->isEnabled();
}

QAbstractButton* IndexedToolbar::buttonWidget(int index) const {
    QAction* action = button(index);
    return action->isSeparator() ? nullptr
                                 : qobject_cast<QAbstractButton*>(widgetForAction(action));
}

}  // namespace controls
