// SPDX-License-Identifier: MIT
// rv_jetread FILE: reads the Jet 4 file FILE with the mdbtools library, read-only, and
// writes its tables, columns and rows to standard output as stream.h describes them.
//
// It runs as a child of the program that asked, so that a damaged or hostile file can at
// worst end this process. It trusts the library no further than it must: every length the
// file states is checked against the page it stands on before bytes are copied, and what
// it cannot read it reports as a failure rather than passing on a value it is unsure of.
// Exit status: 0 when the whole stream was written, 1 after a failure frame, 2 for usage.

// The library's header wraps the system headers it includes in extern "C", GLib's C++
// parts among them: they come first, on their own.
#include <glib.h>
#include <iconv.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mdbtools.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/jetfile/stream.h"

namespace {

using jetfile::FrameWriter;
using jetfile::JetType;

constexpr int kOffsetMask = 0x1fff;
constexpr std::size_t kFlushBytes = 256 * 1024;
// A memo of a Jet 4 file holds at most 1 GiB; what we carry is far smaller.
constexpr std::uint32_t kMaxMemoBytes = 32u * 1024 * 1024;

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void writeAll(std::string& buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::_Exit(1);  // the caller has gone
        }
        done += static_cast<std::size_t>(n);
    }
    buffer.clear();
}

bool propertyIsYes(const MdbColumn* col, const char* name) {
    const char* v = mdb_col_get_prop(col, name);
    return v && (v[0] == 'y' || v[0] == 'Y' || v[0] == '1' || v[0] == 't' || v[0] == 'T');
}

// UCS-2 (possibly in the file's compressed form) as UTF-8.
std::string utf8Of(MdbHandle* mdb, const std::string& stored) {
    if (stored.empty()) {
        return {};
    }
    // Each stored byte gives at most two bytes of UTF-8 (compressed text), each pair at most
    // three; a little room on top for the library's terminating zero.
    std::string out(stored.size() * 2 + 16, '\0');
    const int n = mdb_unicode2ascii(mdb, stored.data(), stored.size(), out.data(), out.size());
    if (n < 0 || static_cast<std::size_t>(n) >= out.size()) {
        throw Failure("a text that cannot be decoded");
    }
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// The bytes of the long-value row `pgRow` (page << 8 | row).
std::string longValueRow(MdbHandle* mdb, std::uint32_t pgRow) {
    void* buf = nullptr;
    int start = 0;
    size_t len = 0;
    if ((pgRow >> 8) == 0 ||
        mdb_find_pg_row(mdb, static_cast<int>(pgRow), &buf, &start, &len) != 0 || start < 0 ||
        static_cast<std::size_t>(start) + len > static_cast<std::size_t>(MDB_PGSIZE)) {
        throw Failure("a memo whose page cannot be read");
    }
    return std::string(static_cast<const char*>(buf) + start, len);
}

std::uint32_t u32At(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

// A memo field: 12 bytes of header (length and flags, then where its pages are), then,
// when it is stored in the row, the text itself.
std::string memoText(MdbHandle* mdb, const std::string& field) {
    if (field.size() < MDB_MEMO_OVERHEAD) {
        throw Failure("a memo without its header");
    }
    const std::uint32_t header = u32At(field, 0);
    const std::uint32_t length = header & 0x3fffffff;
    if (length > kMaxMemoBytes) {
        throw Failure("a memo of " + std::to_string(length) + " bytes");
    }
    const std::uint32_t pgRow = u32At(field, 4);
    std::string stored;
    if (header & 0x80000000u) {  // in the row
        stored = field.substr(MDB_MEMO_OVERHEAD);
    } else if (header & 0x40000000u) {  // one long-value row
        stored = longValueRow(mdb, pgRow);
    } else {  // a chain of long-value rows, each naming the next
        std::uint32_t next = pgRow;
        while (next != 0) {
            const std::string part = longValueRow(mdb, next);
            if (part.size() < 4 || stored.size() + part.size() - 4 > length) {
                throw Failure("a memo whose pages do not add up to its length");
            }
            next = u32At(part, 0);
            stored.append(part, 4);
        }
    }
    if (stored.size() != length) {
        throw Failure("a memo of " + std::to_string(stored.size()) + " bytes where " +
                      std::to_string(length) + " are stated");
    }
    return utf8Of(mdb, stored);
}

std::int64_t littleEndian(const std::string& bytes, bool isSigned) {
    std::uint64_t v = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    }
    if (isSigned && !bytes.empty() && (bytes.back() & 0x80)) {
        v |= ~std::uint64_t{0} << (8 * bytes.size());
    }
    return static_cast<std::int64_t>(v);
}

struct OpenTable {
    MdbTableDef* def = nullptr;
    jetfile::Table table;
};

jetfile::Table describe(MdbTableDef* def, bool jet4) {
    jetfile::Table t;
    t.name = def->name;
    t.rowCount = def->num_rows;
    for (unsigned i = 0; i < def->num_cols; ++i) {
        const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, i));
        jetfile::Column c;
        c.name = col->name;
        c.type = static_cast<std::uint8_t>(col->col_type);
        c.size = col->col_size;
        if (col->col_type == MDB_TEXT && jet4) {
            c.size /= 2;  // stored as two bytes a character
        }
        c.required = propertyIsYes(col, "Required");
        c.allowZeroLength = propertyIsYes(col, "AllowZeroLength");
        c.autoNumber = col->is_long_auto != 0;
        t.columns.push_back(std::move(c));
    }
    return t;
}

// The cell of column `col` whose bytes are `bytes` (copied out of the page).
void writeCell(FrameWriter& out, MdbHandle* mdb, const MdbColumn* col, const MdbField& field,
               const std::string& bytes) {
    const auto type = static_cast<JetType>(col->col_type);
    if (type == JetType::kYesNo) {
        out.integer(field.is_null ? 0 : -1);  // the value is the null mask's bit
        return;
    }
    if (field.is_null) {
        out.null();
        return;
    }
    auto fixed = [&](std::size_t size) {
        if (bytes.size() != size) {
            throw Failure(std::string("column ") + col->name + ": a value of " +
                          std::to_string(bytes.size()) + " bytes where " + std::to_string(size) +
                          " belong");
        }
    };
    switch (type) {
        case JetType::kByte:
            fixed(1);
            out.integer(littleEndian(bytes, false));
            return;
        case JetType::kInteger:
            fixed(2);
            out.integer(littleEndian(bytes, true));
            return;
        case JetType::kLong:
            fixed(4);
            out.integer(littleEndian(bytes, true));
            return;
        case JetType::kSingle: {
            fixed(4);
            float f = 0;
            std::memcpy(&f, bytes.data(), sizeof f);
            out.real(static_cast<double>(f));
            return;
        }
        case JetType::kDouble:
        case JetType::kDateTime: {
            fixed(8);
            double d = 0;
            std::memcpy(&d, bytes.data(), sizeof d);
            out.real(d);
            return;
        }
        case JetType::kText:
            out.text(utf8Of(mdb, bytes));
            return;
        case JetType::kMemo:
            out.text(memoText(mdb, bytes));
            return;
        default:
            out.opaque();
            return;
    }
}

void streamRows(FrameWriter& out, MdbHandle* mdb, MdbTableDef* def, std::uint32_t index) {
    out.rowsBegin(index);
    mdb_rewind_table(def);
    std::vector<MdbField> fields(def->num_cols + 1);
    std::vector<std::string> bytes(def->num_cols);
    std::uint32_t count = 0;
    while (mdb_fetch_row(def)) {
        // mdb_fetch_row leaves the row's page in pg_buf; the row is the one before cur_row.
        int start = 0;
        size_t size = 0;
        if (def->cur_row == 0 ||
            mdb_find_row(mdb, static_cast<int>(def->cur_row - 1), &start, &size) != 0) {
            throw Failure(std::string("table ") + def->name + ": a row that cannot be found again");
        }
        start &= kOffsetMask;
        if (size == 0 ||
            static_cast<std::size_t>(start) + size > static_cast<std::size_t>(MDB_PGSIZE)) {
            throw Failure(std::string("table ") + def->name + ": a row past its page");
        }
        const int cracked = mdb_crack_row(def, start, static_cast<int>(size), fields.data());
        if (cracked < 0) {
            throw Failure(std::string("table ") + def->name + ": a row out of shape");
        }
        // Copy every value out of the page first: following a memo reads other pages.
        std::vector<const MdbField*> byColumn(def->num_cols, nullptr);
        for (unsigned i = 0; i < def->num_cols; ++i) {
            const MdbField& f = fields[i];
            if (f.colnum < 0 || static_cast<unsigned>(f.colnum) >= def->num_cols ||
                byColumn[static_cast<std::size_t>(f.colnum)]) {
                throw Failure(std::string("table ") + def->name + ": a row out of shape");
            }
            byColumn[static_cast<std::size_t>(f.colnum)] = &f;
            std::string& b = bytes[static_cast<std::size_t>(f.colnum)];
            b.clear();
            if (!f.is_null && f.siz > 0) {
                if (f.start < 0 || f.start + f.siz > MDB_PGSIZE) {
                    throw Failure(std::string("table ") + def->name + ": a value past its page");
                }
                b.assign(reinterpret_cast<const char*>(mdb->pg_buf) + f.start,
                         static_cast<std::size_t>(f.siz));
            }
        }
        out.rowBegin();
        for (unsigned c = 0; c < def->num_cols; ++c) {
            const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, c));
            writeCell(out, mdb, col, *byColumn[c], bytes[c]);
        }
        out.rowEnd();
        ++count;
        if (out.buffer().size() >= kFlushBytes) {
            writeAll(out.buffer());
        }
    }
    out.rowsEnd(count);
}

int run(const char* path) {
    FrameWriter out;
    // A Jet 4 file is a whole number of pages: one that is not was cut short, and the
    // library would read its last page as if it were whole.
    struct stat st {};
    if (::stat(path, &st) == 0 && st.st_size % MDB_PGSIZE != 0) {
        out.failure("the file ends inside a page: it was cut short");
        writeAll(out.buffer());
        return 1;
    }
    MdbHandle* mdb = mdb_open(path, MDB_NOFLAGS);
    if (!mdb) {
        out.failure("not a Jet database, or it cannot be read");
        writeAll(out.buffer());
        return 1;
    }
    std::vector<OpenTable> tables;
    try {
        if (mdb->f->jet_version != MDB_VER_JET4) {
            throw Failure(mdb->f->jet_version == MDB_VER_JET3
                              ? "a Jet 3 file (Access 97); only Jet 4 files are read"
                              : "an Access 2007 or later file; only Jet 4 files are read");
        }
        out.hello(mdb->f->jet_version);
        GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE);
        if (!catalog) {
            throw Failure("a catalog that cannot be read");
        }
        for (unsigned i = 0; i < catalog->len; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
            if (!mdb_is_user_table(entry)) {
                continue;
            }
            MdbTableDef* def = mdb_read_table(entry);
            if (!def || !mdb_read_columns(def)) {
                throw Failure(std::string("table ") + entry->object_name +
                              ": its definition cannot be read");
            }
            tables.push_back({def, describe(def, true)});
            out.table(tables.back().table);
        }
        out.catalogEnd();
        writeAll(out.buffer());
        for (std::size_t i = 0; i < tables.size(); ++i) {
            streamRows(out, mdb, tables[i].def, static_cast<std::uint32_t>(i));
        }
        out.end();
        writeAll(out.buffer());
    } catch (const std::exception& e) {
        out.dropOpenFrame();
        out.failure(e.what());
        writeAll(out.buffer());
        return 1;
    }
    for (OpenTable& t : tables) {
        mdb_free_tabledef(t.def);
    }
    mdb_close(mdb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: rv_jetread FILE\n", stderr);
        return 2;
    }
    return run(argv[1]);
}
