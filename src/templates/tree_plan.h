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

// What a load does with a failing statement (the rows read before it are shown either way).
enum class LoadErrors {
    kStop,  // the failure reaches the caller (the wizard: a library it cannot read)
    kSkip,  // the load ends quietly with what it read (the template browser)
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

// A row left out because it can never be placed.
struct TreeRefusal {
    enum class Reason {
        kNoNumber,  // no number or no parent number
        kNoParent,  // no entry placed has its parent's key (an orphan, a cycle)
        kKeyTaken,  // its key is the root's or an entry's placed before
        kTooDeep,   // more than the deepest level below the root
    };
    const TreeRow* row;
    Reason reason;
};

struct TreePlan {
    std::vector<TreeEntry> entries;
    // The rows left out, the folders' before the fields'. A row of another kind than "F" or
    // "A" is left out without a word, as the tree never shows one.
    std::vector<TreeRefusal> refusals;
};

// How many rows a plan left out, and the first of them by its number (empty for a null)
// and name, for a message.
struct LeftOut {
    int count = 0;
    QString number;
    QString name;

    bool operator==(const LeftOut&) const = default;
};
LeftOut leftOut(const TreePlan& plan);

// Every folder, then every field, each below its parent, at most `maxDepth` levels below
// the root, whose key is "0". A row whose parent comes later in its query is placed once its
// parent is (a folder moved into a newer folder keeps what is below it), right after it and
// before the rows that follow; rows that can never be placed are refused. The plan points
// into `rows`.
TreePlan planTree(const TreeRows& rows, int maxDepth = kMaxTreeDepth);

}  // namespace templates
