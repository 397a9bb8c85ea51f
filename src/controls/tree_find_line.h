// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

#include "controls/keyed_tree.h"

namespace controls {

// Text as a find compares it: compatibility forms become their usual ones (NFKC: full-width
// letters and digits, half-width katakana), letter case is dropped, and katakana become
// hiragana. A text is found in another when its folded form is part of the other's.
QString foldForFind(QStringView text);

// A find line for a KeyedTree. The window puts it into its layout under the tree; it starts
// hidden and takes no room until Ctrl+F in the tree opens it.
//
// Typing filters the tree live: a node stays when its name or its search text contains what
// is typed (as foldForFind() compares), and so do the nodes above it, expanded. A selected
// node that the filter hides is deselected, so that what is selected is what is seen; keys,
// clicks and selection otherwise work on the filtered tree as on the whole one, also when the
// tree is changed or loaded again meanwhile (the filter follows it).
//
// Enter makes the next match after the current node (in display order, round again) the
// current and only selected node (KeyedTree::moveTo). Escape, in the line or in the tree,
// empties and hides the line and gives the focus back to the tree, which shows every node
// again, expanded as before the find; the selection, the current node and the scroll
// position are as before too, unless the selection was changed while finding: then that
// selection stays and is scrolled to.
class TreeFindLine : public QLineEdit {
    Q_OBJECT

  public:
    explicit TreeFindLine(KeyedTree& tree, QWidget* parent = nullptr);
    ~TreeFindLine() override;

    // Shows the line with the focus in it (its text selected when it is open already).
    void openFind();
    // Empties and hides the line and puts the tree back.
    void closeFind();
    bool isOpen() const { return m_open; }

    // The nodes that match what is typed, in display order (none while nothing is typed).
    QList<KeyedTree::Node*> matches() const;

  Q_SIGNALS:
    // The line was shown or hidden: a window that places its controls itself does so again.
    void openChanged(bool open);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // One node of the tree in display order: its parent's place in the list (-1 at the top)
    // and its name and search text, folded.
    struct Entry {
        KeyedTree::Node* node;
        int parent;
        QString folded;
        bool hidden;
    };

    void remember();
    void filter();
    void nextMatch();
    void restore();
    void restoreExpansion();
    // The entries of the tree as it is now, made again after any change to the tree.
    void refresh();
    void treeChanged();
    void deselectHidden();
    void setHidden(Entry& entry, bool hidden);

    // Cleared as soon as the tree goes: it usually goes before this line.
    QPointer<KeyedTree> m_tree;
    const QObject* m_treeObject;  // the same, to tell its events by
    bool m_open = false;
    std::vector<Entry> m_entries;
    bool m_stale = true;
    bool m_refilterQueued = false;
    std::vector<int> m_matches;
    // Our own changes to the tree (hiding, expanding, deselecting) are not the user's.
    bool m_applying = false;

    // The tree as it was when the line opened.
    QHash<QString, bool> m_expanded;  // by key, every node with children
    QStringList m_selected;
    QString m_current;
    QString m_firstVisible;
    bool m_selectionChanged = false;
};

}  // namespace controls
