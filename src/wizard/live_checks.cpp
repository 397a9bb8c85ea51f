// SPDX-License-Identifier: MIT
#include "wizard/live_checks.h"

#include <vector>

#include "controls/flex_grid_model.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"

namespace wizard {

LiveChecks::LiveChecks(controls::FlexGridModel& fg1, QObject* parent)
    : QObject(parent), m_fg1(fg1), m_mostFields(productdb::maxFields()) {
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &LiveChecks::update);
    const auto later = [this] { m_pending.start(); };
    using Model = controls::FlexGridModel;
    connect(&fg1, &Model::dataChanged, this, later);
    connect(&fg1, &Model::rowsInserted, this, later);
    connect(&fg1, &Model::rowsRemoved, this, later);
    connect(&fg1, &Model::rowsMoved, this, later);
    connect(&fg1, &Model::layoutChanged, this, later);
    connect(&fg1, &Model::modelReset, this, later);
}

void LiveChecks::update() {
    m_pending.stop();
    const int rows = m_fg1.gridRows();
    std::vector<QString> notes(static_cast<std::size_t>(rows));
    for (const RowRefusal& refused : refusedRows(m_fg1, m_mostFields)) {
        notes[static_cast<std::size_t>(refused.row)] = refused.message.prompt();
    }
    for (int r = 1; r < rows; ++r) {
        m_fg1.setRowNote(r, notes[static_cast<std::size_t>(r)]);
    }
}

void LiveChecks::setMostFields(int mostFields) {
    if (mostFields != m_mostFields) {
        m_mostFields = mostFields;
        m_pending.start();
    }
}

}  // namespace wizard
