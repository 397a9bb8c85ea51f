// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

namespace controls {
class FlexGridModel;
}

namespace wizard {

// Keeps the create command's refusals visible while the user works: each data row that OK
// would refuse carries a note (a mark in its heading) with the very message OK would show
// for it, and loses it once the row passes. Changes of the grid's cells or rows are taken in
// together once control returns to the event loop; no message box is ever shown.
class LiveChecks : public QObject {
    Q_OBJECT

  public:
    explicit LiveChecks(controls::FlexGridModel& fg1, QObject* parent = nullptr);

    // Brings every row's note up to date now.
    void update();
    // The most fields the database holds: a file's until told (a server's holds fewer).
    void setMostFields(int mostFields);

  private:
    controls::FlexGridModel& m_fg1;
    QTimer m_pending;
    int m_mostFields;
};

}  // namespace wizard
