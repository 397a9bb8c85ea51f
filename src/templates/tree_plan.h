// SPDX-License-Identifier: MIT
#pragma once

// The template tree as values: which TEMP_FIELD rows become nodes, below which parent and
// how deep, and why a row is refused. A window only adds the planned nodes.

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace templates {

// What a load does with a row whose node cannot be added (it has no number or parent
// number, its parent is not in the tree yet, its key is taken, or it would lie more than
// kMaxTreeDepth levels below the root) or with a failing statement.
enum class LoadErrors {
    kStop,  // the first failure ends the load and reaches the caller (the wizard)
    kSkip,  // the row is left out and the load goes on (the template browser)
};

// The deepest level a node may have below the root; a row deeper down cannot be shown.
inline constexpr int kMaxTreeDepth = 1000;

// One TEMP_FIELD row as the tree reads it.
struct TreeRow {
    std::optional<QString> number;  // FIELD_NO as text, the node's key; none for a null
    std::optional<QString> parent;  // P_FIELD_NO as text; none for a null
    std::string kind;               // a row shows only with exactly "F" or "A"
    std::string name;               // FIELD_NAME as stored
    std::optional<std::string> fieldId;
    bool fixed = false;  // DIS_ALT_FLG is 1
};

// The rows of the two tree queries, in the order they give them.
struct TreeRows {
    std::vector<TreeRow> folders;  // kind F, by parent, then number
    std::vector<TreeRow> fields;   // kind A, by parent, position, number
};

// Reads the tree's rows from TEMP_FIELD into `rows`; throws jet::Error, and the rows read
// until then stay.
void readTreeRows(jet::Connection& connection, TreeRows& rows);

// A row that becomes a node, in the order the nodes are added.
struct TreeEntry {
    const TreeRow* row;
    int parent;  // the index of the parent's entry; -1 for the root
    int depth;   // levels below the root, from 1
    bool field;
};

struct TreePlan {
    std::vector<TreeEntry> entries;
    // Why each refused row is left out, in row order ("template library: entry N (NAME)
    // under P: REASON"); under LoadErrors::kStop the first one ends the plan. A row of
    // another kind is left out without a word.
    std::vector<std::string> refusals;
};

// Every folder, then every field, each below its parent, at most `maxDepth` levels below
// the root, whose key is "0". The plan points into `rows`.
TreePlan planTree(const TreeRows& rows, LoadErrors errors, int maxDepth = kMaxTreeDepth);

}  // namespace templates
