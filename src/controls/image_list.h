// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace controls {

// Images under string keys, as a tree takes them for its nodes.
class ImageList {
  public:
    void add(const QString& key, const QIcon& icon) { m_icons.insert(key, icon); }
    bool contains(const QString& key) const { return m_icons.contains(key); }
    // The image under key, or a null icon for an unknown or empty key.
    QIcon icon(const QString& key) const { return m_icons.value(key); }
    qsizetype count() const { return m_icons.size(); }

    // The four 16x16 images of the template tree: "close" (closed folder), "open" (open folder),
    // "f1" (template field) and "f2" (fixed template field, a field with a lock).
    static ImageList templateNodeImages();

    // The 16x16 images of the template browser's toolbar: "folder-add", "folder-edit",
    // "folder-delete", "field-add", "field-edit", "field-delete", "copy" (two pages) and
    // "close-window" (an open door).
    static ImageList browserToolbarImages();

  private:
    QHash<QString, QIcon> m_icons;
};

}  // namespace controls
