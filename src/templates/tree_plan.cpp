// SPDX-License-Identifier: MIT
#include "templates/tree_plan.h"

#include <QHash>

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

std::string text(const std::optional<QString>& key) {
    return key ? key->toStdString() : std::string();
}

// Places rows one by one below the entries placed before them. Rows come grouped by
// parent, so a parent is looked up once for each group.
class Planner {
  public:
    Planner(TreePlan& plan, LoadErrors errors, int maxDepth, std::size_t rows)
        : m_plan(plan), m_errors(errors), m_maxDepth(maxDepth) {
        m_placed.reserve(static_cast<qsizetype>(rows) + 1);
        m_placed.insert(kRootKey.toString(), -1);
        m_plan.entries.reserve(rows);
    }

    // Whether the plan goes on after `row`.
    bool place(const TreeRow& row, bool field) {
        if (!row.number || !row.parent) {
            return refuse(row, "an entry without a number or parent number");
        }
        if (m_parentKey == nullptr || *m_parentKey != *row.parent) {
            const auto found = m_placed.constFind(*row.parent);
            if (found == m_placed.cend()) {
                m_parentKey = nullptr;
                return refuse(row, "no node has the key '" + text(row.parent) + "'");
            }
            m_parentKey = &*row.parent;
            m_parent = *found;
            m_parentDepth = m_parent < 0 ? 0 : m_plan.entries[m_parent].depth;
        }
        if (m_parentDepth >= m_maxDepth) {
            return refuse(row,
                          "more than " + std::to_string(m_maxDepth) + " levels below the root");
        }
        // One look-up both refuses a taken key and keeps the place for the new entry.
        const qsizetype before = m_placed.size();
        int& place = m_placed[*row.number];
        if (m_placed.size() == before) {
            return refuse(row, "a node already has the key '" + text(row.number) + "'");
        }
        place = static_cast<int>(m_plan.entries.size());
        m_plan.entries.push_back({&row, m_parent, m_parentDepth + 1, field});
        return true;
    }

  private:
    bool refuse(const TreeRow& row, const std::string& reason) {
        m_plan.refusals.push_back("template library: entry " + text(row.number) + " (" + row.name +
                                  ") under " + text(row.parent) + ": " + reason);
        return m_errors == LoadErrors::kSkip;
    }

    TreePlan& m_plan;
    LoadErrors m_errors;
    int m_maxDepth;
    QHash<QString, int> m_placed;          // entry index by key; -1 for the root
    const QString* m_parentKey = nullptr;  // the parent of the row before, once placed
    int m_parent = -1;
    int m_parentDepth = 0;
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

TreePlan planTree(const TreeRows& rows, LoadErrors errors, int maxDepth) {
    TreePlan plan;
    Planner planner(plan, errors, maxDepth, rows.folders.size() + rows.fields.size());
    for (const TreeRow& row : rows.folders) {
        if (isKind(row, kKindFolder) && !planner.place(row, false)) {
            return plan;
        }
    }
    for (const TreeRow& row : rows.fields) {
        if (isKind(row, kKindField) && !planner.place(row, true)) {
            return plan;
        }
    }
    return plan;
}

}  // namespace templates
