// SPDX-License-Identifier: MIT
// libFuzzer target: the template tree's plan over hostile libraries. The input is decoded
// into TEMP_FIELD rows with small entry numbers, so that cycles, orphans, children before
// their parents and taken keys are frequent, with invalid kinds, long and invalid UTF-8
// names and chains of folders around the deepest level (which the input sets low: the
// real one, 1,000 levels, is the unit test's). The plan must end; it places each row below
// a parent placed before it, never deeper than the limit, each key once, and refuses every
// other row of its kind once, for a reason that holds given what was placed. When bits 0-2
// and 6-7 of the mode byte are clear, up to 16 rows also go through a library file:
// inserted, and read back as the loader reads them.
//
// Input: a mode byte (bits 3-5: the deepest level, 1 to 8), then records. A record begins
// with a byte h:
//   h == 0xff: a chain of folders, each inside the one before, one level short of the
//             deepest to two past it: a parent byte, then a shape byte: 0x80 lists the
//             chain from its deepest folder up, 0x40 numbers it one higher (so that two
//             chains overlap), 0x03 the length past the shortest.
//   otherwise one row: h & 0x01 the fields' query (else the folders'), (h >> 1) & 7 the
//             kind, h & 0x10 no number, h & 0x20 no parent, h & 0x40 fixed; then a
//             number byte and a parent byte (see number(); a number byte from 128 also
//             gives the row an ID), and a name length byte: below 128 that many bytes of
//             the input, else 32 * (length & 0x7f) bytes of one input byte.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <QHashFunctions>

#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "templates/tree_plan.h"

namespace {

using templates::TreePlan;
using templates::TreeRow;
using templates::TreeRows;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_tree_plan: %s\n", what);
    std::abort();
}

void expect(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

// The first number of a chain of folders.
constexpr int kChainStart = 100;

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_at >= m_size; }
    std::uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Entry numbers are small, so that rows meet; from 232 they name the folders of chains.
QString number(std::uint8_t byte) {
    return QString::number(byte < 232 ? byte % 24 : kChainStart + (byte - 232));
}

// A chain of folders around the deepest level, each inside the one before.
void decodeChain(Input& in, int maxDepth, TreeRows& rows) {
    const QString parent = number(in.next());
    const std::uint8_t shape = in.next();
    const int first = kChainStart + (shape & 0x40 ? 1 : 0);
    const int length = maxDepth - 1 + (shape & 3);
    const std::size_t at = rows.folders.size();
    for (int i = 0; i < length; ++i) {
        rows.folders.push_back({QString::number(first + i),
                                i == 0 ? parent : QString::number(first + i - 1), "F",
                                "c" + std::to_string(i), std::nullopt, false});
    }
    if (shape & 0x80) {
        std::reverse(rows.folders.begin() + static_cast<std::ptrdiff_t>(at), rows.folders.end());
    }
}

void decodeRow(Input& in, std::uint8_t h, TreeRows& rows) {
    static const char* const kinds[] = {"F", "A", "F", "A", "f", "a", "", "FA"};
    const std::uint8_t n = in.next();
    const std::uint8_t p = in.next();
    TreeRow row;
    if (!(h & 0x10)) {
        row.number = number(n);
    }
    if (!(h & 0x20)) {
        row.parent = number(p);
    }
    row.kind = kinds[(h >> 1) & 7];
    row.fixed = (h & 0x40) != 0;
    const std::uint8_t length = in.next();
    if (length < 0x80) {
        for (int i = 0; i < length && !in.empty(); ++i) {
            row.name.push_back(static_cast<char>(in.next()));
        }
    } else {
        row.name.assign(32 * std::size_t(length & 0x7f), static_cast<char>(in.next()));
    }
    if (n >= 128) {
        row.fieldId = "ID" + std::to_string(n);
    }
    (h & 0x01 ? rows.fields : rows.folders).push_back(std::move(row));
}

TreeRows decode(Input& in, int maxDepth) {
    TreeRows rows;
    while (!in.empty()) {
        const std::uint8_t h = in.next();
        if (h == 0xff) {
            decodeChain(in, maxDepth, rows);
        } else {
            decodeRow(in, h, rows);
        }
    }
    return rows;
}

struct KeyHash {
    std::size_t operator()(const QString& key) const { return qHash(key); }
};

bool shows(const TreeRow& row, bool field) {
    return row.kind == (field ? "A" : "F");
}

void checkShape(const TreePlan& plan, int maxDepth) {
    std::unordered_set<QString, KeyHash> keys{QStringLiteral("0")};
    for (std::size_t i = 0; i < plan.entries.size(); ++i) {
        const templates::TreeEntry& entry = plan.entries[i];
        expect(entry.row->number && entry.row->parent, "an entry without a number or parent");
        expect(shows(*entry.row, entry.field), "an entry of another kind");
        expect(entry.parent < static_cast<int>(i), "a parent placed after its child");
        if (entry.parent < 0) {
            expect(*entry.row->parent == u"0" && entry.depth == 1, "a wrong top-level entry");
        } else {
            const templates::TreeEntry& parent = plan.entries[entry.parent];
            expect(*parent.row->number == *entry.row->parent, "an entry below another parent");
            expect(entry.depth == parent.depth + 1, "a wrong depth");
        }
        expect(entry.depth <= maxDepth, "an entry below the deepest level");
        expect(keys.insert(*entry.row->number).second, "a key placed twice");
    }
}

void check(const TreeRows& rows, int maxDepth) {
    const TreePlan plan = templates::planTree(rows, maxDepth);
    checkShape(plan, maxDepth);
    // Every row of its query's kind is placed or refused, once.
    std::size_t candidates = 0;
    for (const bool field : {false, true}) {
        for (const TreeRow& row : field ? rows.fields : rows.folders) {
            candidates += shows(row, field) ? 1 : 0;
        }
    }
    expect(plan.entries.size() + plan.refusals.size() == candidates,
           "a row neither placed nor refused, or both");
    // A refused row could never be placed, given what was.
    std::unordered_map<QString, const templates::TreeEntry*, KeyHash> placed;
    for (const templates::TreeEntry& entry : plan.entries) {
        placed[*entry.row->number] = &entry;
    }
    for (const templates::TreeRefusal& refusal : plan.refusals) {
        const TreeRow& row = *refusal.row;
        using Reason = templates::TreeRefusal::Reason;
        if (refusal.reason == Reason::kNoNumber) {
            expect(!row.number || !row.parent, "a row with both numbers refused as without");
            continue;
        }
        expect(row.number && row.parent, "a row without a number refused otherwise");
        const bool field = shows(row, true);
        const auto parent = placed.find(*row.parent);
        const bool parentShown =
            *row.parent == u"0" || (parent != placed.end() && (field || !parent->second->field));
        switch (refusal.reason) {
            case Reason::kNoParent:
                expect(!parentShown, "a row refused though its parent is placed");
                break;
            case Reason::kKeyTaken:
                expect(*row.number == u"0" || placed.count(*row.number), "a free key refused");
                break;
            case Reason::kTooDeep:
                expect(parentShown && (*row.parent == u"0" ? 0 : parent->second->depth) >= maxDepth,
                       "a row refused as too deep that is not");
                break;
            default:
                fail("an unknown reason");
        }
    }
}

// A scratch copy of the shipped library, open for the whole run.
class Library {
  public:
    Library() {
        const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe");
        const std::filesystem::path base = bin.parent_path() / "base.mdb";
        std::string dir = (std::filesystem::temp_directory_path() / "fuzz_tree_plan.XXXXXX");
        if (!std::filesystem::exists(base) || ::mkdtemp(dir.data()) == nullptr) {
            fail("needs base.mdb beside the program and a temporary folder");
        }
        m_dir = dir;
        std::filesystem::copy_file(base, m_dir / "t.mdb");
        m_connection.open(jet::ConnectionString::forFile((m_dir / "t.mdb").string()));
        m_connection.execute("delete * from TEMP_FIELD");  // each input brings all its rows
    }
    ~Library() {
        m_connection.close();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Fills TEMP_FIELD with the rows it takes and reads the tree's rows back.
    TreeRows roundTrip(const TreeRows& rows) {
        // In a transaction rolled back after the reading: no input writes to the disk, and
        // every input meets the same file.
        m_connection.beginTrans();
        std::size_t shown = 0;
        int position = 0;
        for (const bool field : {false, true}) {
            for (const TreeRow& row : field ? rows.fields : rows.folders) {
                if (row.name.size() > 400) {
                    continue;  // the file takes 100 characters at most
                }
                try {
                    m_connection.execute(insert(row, ++position % 7));
                    // The file's queries pick a row by its kind, whichever list it was in.
                    shown += shows(row, false) || shows(row, true) ? 1 : 0;
                } catch (const jet::Error&) {
                    // A taken number, a name too long or not text: the file refuses it.
                }
            }
        }
        TreeRows back;
        templates::readTreeRows(m_connection, back);
        m_connection.rollbackTrans();
        std::size_t read = 0;
        for (const bool field : {false, true}) {
            for (const TreeRow& row : field ? back.fields : back.folders) {
                read += shows(row, field) ? 1 : 0;
            }
        }
        expect(read == shown, "the rows read back are not the rows taken");
        return back;
    }

  private:
    static std::string quoted(const std::string& text) {
        std::string out = "'";
        for (const char c : text) {
            out += c;
            if (c == '\'') {
                out += c;
            }
        }
        return out + "'";
    }
    static std::string insert(const TreeRow& row, int position) {
        auto orNull = [](const std::optional<QString>& key) {
            return key ? key->toStdString() : std::string("NULL");
        };
        return "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,SORTBY,"
               "DIS_ALT_FLG) VALUES(" +
               orNull(row.number) + "," + orNull(row.parent) + "," + quoted(row.kind) + "," +
               (row.fieldId ? quoted(*row.fieldId) : "NULL") + "," + quoted(row.name) + "," +
               std::to_string(position) + "," + (row.fixed ? "'1'" : "''") + ")";
    }

    std::filesystem::path m_dir;
    jet::Connection m_connection;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t mode = in.next();
    const int maxDepth = 1 + (mode >> 3) % 8;
    const TreeRows rows = decode(in, maxDepth);
    check(rows, maxDepth);
    if ((mode & 0xc7) == 0 && rows.folders.size() + rows.fields.size() <= 16) {
        static Library library;
        check(library.roundTrip(rows), maxDepth);
    }
    return 0;
}
