// SPDX-License-Identifier: MIT
#include "templates/tree_plan.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <utility>

#include "jet/connection.h"
#include "templates/store.h"
#include "templates/texts.h"

namespace templates {

namespace {

// The columns the tree reads, looked up once per query.
struct Columns {
    explicit Columns(const jet::Recordset& rs)
        : number(rs.fieldIndex("FIELD_NO")),
          parent(rs.fieldIndex("P_FIELD_NO")),
          kind(rs.fieldIndex("KIND")),
          name(rs.fieldIndex("FIELD_NAME")),
          id(rs.fieldIndex("FIELD_ID")),
          fixed(rs.fieldIndex("DIS_ALT_FLG")) {}
    int number;
    int parent;
    int kind;
    int name;
    int id;
    int fixed;
};

std::optional<QString> keyText(const jet::Value& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    return QString::fromStdString(value.toString());
}

void readRows(jet::Recordset rs, std::vector<TreeRow>& rows) {
    const Columns columns(rs);
    for (; !rs.eof(); rs.moveNext()) {
        const jet::Value id = rs.field(columns.id);
        rows.push_back({keyText(rs.field(columns.number)), keyText(rs.field(columns.parent)),
                        rs.field(columns.kind).toString(), rs.field(columns.name).toString(),
                        id.isNull() ? std::nullopt : std::optional(id.toString()),
                        rs.field(columns.fixed).toInt() == 1});
    }
}

using Reason = TreeRefusal::Reason;

// Places rows one by one below the entries placed before them; a row whose parent is not
// placed yet waits for it. Rows come grouped by parent, so a parent is looked up once for
// each group.
class Planner {
  public:
    Planner(TreePlan& plan, int maxDepth, std::size_t rows) : m_plan(plan), m_maxDepth(maxDepth) {
        m_placed.reserve(static_cast<qsizetype>(rows) + 1);
        m_placed.insert(kRootKey.toString(), -1);
        m_plan.entries.reserve(rows);
    }

    void place(const TreeRow& row, bool field) {
        if (!row.number || !row.parent) {
            m_plan.refusals.push_back({&row, Reason::kNoNumber});
            return;
        }
        if (m_parentKey == nullptr || *m_parentKey != *row.parent) {
            const auto found = m_placed.constFind(*row.parent);
            m_parentKey = &*row.parent;
            m_parent = found == m_placed.cend() ? kWaiting : *found;
        }
        if (m_parent == kWaiting) {
            m_waiting[*row.parent].push_back(&row);
            return;
        }
        add(row, m_parent, field);
    }

    // The end of a query: the rows still waiting can never be placed, in row order.
    void finish() {
        std::vector<const TreeRow*> left;
        for (const std::vector<const TreeRow*>& rows : std::as_const(m_waiting)) {
            left.insert(left.end(), rows.begin(), rows.end());
        }
        std::sort(left.begin(), left.end(), std::less<const TreeRow*>());
        for (const TreeRow* row : left) {
            m_plan.refusals.push_back({row, Reason::kNoParent});
        }
        m_waiting.clear();
        m_parentKey = nullptr;
    }

  private:
    static constexpr int kWaiting = -2;

    // Adds `row` below the entry `parent`, and then the rows that waited for it.
    void add(const TreeRow& first, int firstParent, bool field) {
        std::vector<std::pair<const TreeRow*, int>> todo{{&first, firstParent}};
        while (!todo.empty()) {
            const auto [row, parent] = todo.back();
            todo.pop_back();
            const int depth = (parent < 0 ? 0 : m_plan.entries[parent].depth) + 1;
            if (depth > m_maxDepth) {
                m_plan.refusals.push_back({row, Reason::kTooDeep});
                continue;
            }
            // One look-up both refuses a taken key and keeps the place for the new entry.
            const qsizetype before = m_placed.size();
            int& place = m_placed[*row->number];
            if (m_placed.size() == before) {
                m_plan.refusals.push_back({row, Reason::kKeyTaken});
                continue;
            }
            const int index = static_cast<int>(m_plan.entries.size());
            place = index;
            m_plan.entries.push_back({row, parent, depth, field});
            if (m_waiting.isEmpty()) {
                continue;
            }
            if (const auto waiting = m_waiting.find(*row->number); waiting != m_waiting.end()) {
                // In their order: the first ends up on top.
                const std::vector<const TreeRow*> children = std::move(*waiting);
                m_waiting.erase(waiting);
                for (auto child = children.rbegin(); child != children.rend(); ++child) {
                    todo.emplace_back(*child, index);
                }
            }
        }
    }

    TreePlan& m_plan;
    int m_maxDepth;
    QHash<QString, int> m_placed;                           // entry index by key; -1 for the root
    QHash<QString, std::vector<const TreeRow*>> m_waiting;  // rows by the parent they wait for
    const QString* m_parentKey = nullptr;                   // the parent of the row before
    int m_parent = -1;                                      // its entry, or kWaiting
};

bool isKind(const TreeRow& row, QStringView kind) {
    return row.kind.size() == 1 && QLatin1Char(row.kind[0]) == kind[0];
}

}  // namespace

void readTreeRows(jet::Connection& connection, TreeRows& rows) {
    TemplateStore store(connection);
    readRows(store.selectFolders(), rows.folders);
    readRows(store.selectFields(), rows.fields);
}

LeftOut leftOut(const TreePlan& plan) {
    if (plan.refusals.empty()) {
        return {};
    }
    const TreeRow& first = *plan.refusals.front().row;
    return {static_cast<int>(plan.refusals.size()), first.number.value_or(QString()),
            QString::fromStdString(first.name)};
}

TreePlan planTree(const TreeRows& rows, int maxDepth) {
    TreePlan plan;
    Planner planner(plan, maxDepth, rows.folders.size() + rows.fields.size());
    for (const TreeRow& row : rows.folders) {
        if (isKind(row, kKindFolder)) {
            planner.place(row, false);
        }
    }
    planner.finish();
    for (const TreeRow& row : rows.fields) {
        if (isKind(row, kKindField)) {
            planner.place(row, true);
        }
    }
    planner.finish();
    return plan;
}

}  // namespace templates
