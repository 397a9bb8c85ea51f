// SPDX-License-Identifier: MIT
#include "jet/jetfile/stream.h"

#include <cstring>

#include "jet/text_util.h"

namespace jetfile {

namespace {

// Bounds on what a catalog may announce: the file format's own limits, with room.
constexpr std::size_t kMaxTables = 32768;
constexpr std::size_t kMaxColumns = 256;
constexpr std::size_t kMaxNameBytes = 256 * 3;
constexpr std::size_t kFrameHeader = 5;

// Reads a frame's body from front to back; any read past its end is a StreamError.
class Body {
  public:
    explicit Body(std::string_view bytes) : m_bytes(bytes) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)[0]); }
    std::uint32_t u32() {
        const std::string_view b = take(4);
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) {
            v = (v << 8) | static_cast<std::uint8_t>(b[static_cast<std::size_t>(i)]);
        }
        return v;
    }
    std::uint64_t u64() {
        const std::uint64_t low = u32();
        return low | (static_cast<std::uint64_t>(u32()) << 32);
    }
    std::string_view str(std::size_t limit) {
        const std::uint32_t n = u32();
        if (n > limit) {
            throw StreamError("a text of " + std::to_string(n) + " bytes, more than " +
                              std::to_string(limit));
        }
        const std::string_view s = take(n);
        if (!isUtf8(s)) {
            throw StreamError("a text that is not UTF-8");
        }
        return s;
    }
    void end() const {
        if (m_pos != m_bytes.size()) {
            throw StreamError("a frame longer than what it holds");
        }
    }
    // The one number a frame of rows' beginning or end holds.
    static std::uint32_t number(std::string_view body) {
        Body b(body);
        const std::uint32_t n = b.u32();
        b.end();
        return n;
    }

  private:
    std::string_view take(std::size_t n) {
        if (n > m_bytes.size() - m_pos) {
            throw StreamError("a frame shorter than what it holds");
        }
        const std::string_view s = m_bytes.substr(m_pos, n);
        m_pos += n;
        return s;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// Whether a cell of `tag` may stand in a column of `type`.
bool fits(CellTag tag, std::uint8_t type) {
    if (tag == CellTag::kNull) {
        return type != static_cast<std::uint8_t>(JetType::kYesNo);  // a Yes/No is never null
    }
    switch (static_cast<JetType>(type)) {
        case JetType::kYesNo:
        case JetType::kByte:
        case JetType::kInteger:
        case JetType::kLong:
            return tag == CellTag::kInteger;
        case JetType::kSingle:
        case JetType::kDouble:
        case JetType::kDateTime:
            return tag == CellTag::kDouble;
        case JetType::kText:
        case JetType::kMemo:
            return tag == CellTag::kText;
        default:
            return tag == CellTag::kOpaque;
    }
}

// The range an integer of the column's type can hold.
bool inRange(std::int64_t v, std::uint8_t type) {
    switch (static_cast<JetType>(type)) {
        case JetType::kYesNo:
            return v == 0 || v == -1;
        case JetType::kByte:
            return v >= 0 && v <= 255;
        case JetType::kInteger:
            return v >= -32768 && v <= 32767;
        default:
            return v >= -2147483648LL && v <= 2147483647LL;
    }
}

}  // namespace

// --- writing ---------------------------------------------------------------------------

void FrameWriter::u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        u8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void FrameWriter::u64(std::uint64_t v) {
    u32(static_cast<std::uint32_t>(v));
    u32(static_cast<std::uint32_t>(v >> 32));
}

void FrameWriter::str(std::string_view s) {
    u32(static_cast<std::uint32_t>(s.size()));
    m_out.append(s);
}

void FrameWriter::begin(FrameKind kind) {
    m_frameStart = m_out.size();
    m_open = true;
    u8(static_cast<std::uint8_t>(kind));
    u32(0);  // the length, once known
}

void FrameWriter::finish() {
    const auto length = static_cast<std::uint32_t>(m_out.size() - m_frameStart - kFrameHeader);
    for (int i = 0; i < 4; ++i) {
        m_out[m_frameStart + 1 + static_cast<std::size_t>(i)] =
            static_cast<char>(static_cast<std::uint8_t>(length >> (8 * i)));
    }
    m_open = false;
}

void FrameWriter::dropOpenFrame() {
    if (m_open) {
        m_out.resize(m_frameStart);
        m_open = false;
    }
}

void FrameWriter::hello(std::uint32_t jetVersion) {
    begin(FrameKind::kHello);
    str(kStreamMagic);
    u32(jetVersion);
    finish();
}

void FrameWriter::table(const Table& table) {
    begin(FrameKind::kTable);
    str(table.name);
    u32(table.rowCount);
    u32(static_cast<std::uint32_t>(table.columns.size()));
    for (const Column& c : table.columns) {
        str(c.name);
        u8(c.type);
        u32(static_cast<std::uint32_t>(c.size));
        u8(static_cast<std::uint8_t>((c.required ? 1 : 0) | (c.allowZeroLength ? 2 : 0) |
                                     (c.autoNumber ? 4 : 0)));
    }
    finish();
}

void FrameWriter::catalogEnd() {
    begin(FrameKind::kCatalogEnd);
    finish();
}

void FrameWriter::rowsBegin(std::uint32_t table) {
    begin(FrameKind::kRows);
    u32(table);
    finish();
}

void FrameWriter::rowBegin() {
    begin(FrameKind::kRow);
}

void FrameWriter::null() {
    u8(static_cast<std::uint8_t>(CellTag::kNull));
}

void FrameWriter::integer(std::int64_t value) {
    u8(static_cast<std::uint8_t>(CellTag::kInteger));
    u64(static_cast<std::uint64_t>(value));
}

void FrameWriter::real(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    u8(static_cast<std::uint8_t>(CellTag::kDouble));
    u64(bits);
}

void FrameWriter::text(std::string_view utf8) {
    u8(static_cast<std::uint8_t>(CellTag::kText));
    str(utf8);
}

void FrameWriter::opaque() {
    u8(static_cast<std::uint8_t>(CellTag::kOpaque));
}

void FrameWriter::rowEnd() {
    finish();
}

void FrameWriter::rowsEnd(std::uint32_t count) {
    begin(FrameKind::kRowsEnd);
    u32(count);
    finish();
}

void FrameWriter::end() {
    begin(FrameKind::kEnd);
    finish();
}

void FrameWriter::failure(std::string_view message) {
    begin(FrameKind::kFailure);
    str(message);
    finish();
}

// --- reading ---------------------------------------------------------------------------

void StreamDecoder::feed(const char* data, std::size_t size) {
    if (m_pos > 0 && m_pos == m_in.size()) {
        m_in.clear();
        m_pos = 0;
    } else if (m_pos > (1u << 20)) {
        m_in.erase(0, m_pos);
        m_pos = 0;
    }
    m_in.append(data, size);
}

std::optional<StreamEvent> StreamDecoder::next() {
    while (true) {
        if (m_in.size() - m_pos < kFrameHeader) {
            return std::nullopt;
        }
        Body header(std::string_view(m_in).substr(m_pos, kFrameHeader));
        const auto kind = static_cast<FrameKind>(header.u8());
        const std::uint32_t length = header.u32();
        if (length > kMaxFrameBytes) {
            throw StreamError("a frame of " + std::to_string(length) + " bytes");
        }
        if (m_in.size() - m_pos - kFrameHeader < length) {
            return std::nullopt;
        }
        const std::string_view body(m_in.data() + m_pos + kFrameHeader, length);
        m_pos += kFrameHeader + length;

        if (kind == FrameKind::kFailure) {
            Body b(body);
            const std::string message(b.str(4096));
            throw StreamError(message);
        }
        switch (m_state) {
            case State::kHello:
                if (kind != FrameKind::kHello) {
                    throw StreamError("no greeting");
                }
                readHello(body);
                m_state = State::kTables;
                continue;
            case State::kTables:
                if (kind == FrameKind::kTable) {
                    readTable(body);
                    continue;
                }
                if (kind != FrameKind::kCatalogEnd || !body.empty()) {
                    throw StreamError("a catalog without its end");
                }
                m_state = State::kRowsBegin;
                return StreamEvent{StreamEvent::Kind::kCatalog, 0, {}};
            case State::kRowsBegin: {
                if (kind == FrameKind::kEnd && body.empty() && m_table == m_catalog.tables.size()) {
                    m_state = State::kDone;
                    return StreamEvent{StreamEvent::Kind::kEnd, 0, {}};
                }
                if (kind != FrameKind::kRows) {
                    throw StreamError("rows where a table's rows should begin");
                }
                const std::uint32_t index = Body::number(body);
                if (index != m_table || index >= m_catalog.tables.size()) {
                    throw StreamError("the rows of table " + std::to_string(index) +
                                      " out of order");
                }
                m_rowsRead = 0;
                m_state = State::kRows;
                continue;
            }
            case State::kRows: {
                if (kind == FrameKind::kRow) {
                    StreamEvent e{StreamEvent::Kind::kRow, m_table, readRow(body)};
                    ++m_rowsRead;
                    return e;
                }
                if (kind != FrameKind::kRowsEnd) {
                    throw StreamError("a table's rows without their end");
                }
                const std::uint32_t count = Body::number(body);
                const Table& t = m_catalog.tables[m_table];
                if (count != m_rowsRead || count != t.rowCount) {
                    throw StreamError("table " + t.name + ": " + std::to_string(t.rowCount) +
                                      " rows stated, " + std::to_string(m_rowsRead) + " read");
                }
                ++m_table;
                m_state = State::kRowsBegin;
                continue;
            }
            case State::kDone:
                throw StreamError("bytes after the end");
        }
    }
}

void StreamDecoder::finish() const {
    if (m_state != State::kDone) {
        throw StreamError("the stream ended early");
    }
    if (m_pos != m_in.size()) {
        throw StreamError("bytes after the end");
    }
}

void StreamDecoder::readHello(std::string_view body) {
    Body b(body);
    if (b.str(64) != kStreamMagic) {
        throw StreamError("a greeting of another kind");
    }
    m_catalog.jetVersion = b.u32();
    b.end();
}

void StreamDecoder::readTable(std::string_view body) {
    if (m_catalog.tables.size() >= kMaxTables) {
        throw StreamError("too many tables");
    }
    Body b(body);
    Table t;
    t.name = std::string(b.str(kMaxNameBytes));
    t.rowCount = b.u32();
    const std::uint32_t columns = b.u32();
    if (t.name.empty() || columns == 0 || columns > kMaxColumns) {
        throw StreamError("a table without a name or with " + std::to_string(columns) + " columns");
    }
    if (m_catalog.find(t.name)) {
        throw StreamError("table " + t.name + " twice");
    }
    for (std::uint32_t i = 0; i < columns; ++i) {
        Column c;
        c.name = std::string(b.str(kMaxNameBytes));
        c.type = b.u8();
        const std::uint32_t size = b.u32();
        const std::uint8_t flags = b.u8();
        if (c.name.empty() || size > 0xFFFF || flags > 7 || columnIndex(t, c.name) >= 0) {
            throw StreamError("table " + t.name + ": a column out of shape");
        }
        c.size = static_cast<int>(size);
        c.required = (flags & 1) != 0;
        c.allowZeroLength = (flags & 2) != 0;
        c.autoNumber = (flags & 4) != 0;
        t.columns.push_back(std::move(c));
    }
    b.end();
    m_catalog.tables.push_back(std::move(t));
}

std::vector<jet::Value> StreamDecoder::readRow(std::string_view body) const {
    const Table& t = m_catalog.tables[m_table];
    if (m_rowsRead >= t.rowCount) {
        throw StreamError("table " + t.name + ": more rows than stated");
    }
    Body b(body);
    std::vector<jet::Value> values;
    values.reserve(t.columns.size());
    for (const Column& c : t.columns) {
        const auto tag = static_cast<CellTag>(b.u8());
        if (!fits(tag, c.type)) {
            throw StreamError("table " + t.name + ", column " + c.name +
                              ": a value of another type");
        }
        switch (tag) {
            case CellTag::kNull:
            case CellTag::kOpaque:
                values.emplace_back();
                break;
            case CellTag::kInteger: {
                const auto v = static_cast<std::int64_t>(b.u64());
                if (!inRange(v, c.type)) {
                    throw StreamError("table " + t.name + ", column " + c.name +
                                      ": a number out of its type's range");
                }
                values.emplace_back(jet::Value::Storage(v));
                break;
            }
            case CellTag::kDouble: {
                const std::uint64_t bits = b.u64();
                double d = 0;
                std::memcpy(&d, &bits, sizeof d);
                values.emplace_back(jet::Value::Storage(d));
                break;
            }
            case CellTag::kText:
                values.emplace_back(jet::Value::Storage(std::string(b.str(kMaxFrameBytes))));
                break;
        }
    }
    b.end();
    return values;
}

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        std::uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra)) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// --- the catalog -----------------------------------------------------------------------

std::string typeName(std::uint8_t type) {
    switch (static_cast<JetType>(type)) {
        case JetType::kYesNo:
            return "Yes/No";
        case JetType::kByte:
            return "Byte";
        case JetType::kInteger:
            return "Integer";
        case JetType::kLong:
            return "Long Integer";
        case JetType::kCurrency:
            return "Currency";
        case JetType::kSingle:
            return "Single";
        case JetType::kDouble:
            return "Double";
        case JetType::kDateTime:
            return "Date/Time";
        case JetType::kBinary:
            return "Binary";
        case JetType::kText:
            return "Text";
        case JetType::kOle:
            return "OLE Object";
        case JetType::kMemo:
            return "Memo";
        case JetType::kGuid:
            return "Replication ID";
        case JetType::kNumeric:
            return "Decimal";
        case JetType::kComplex:
            return "Complex";
    }
    return "type " + std::to_string(type);
}

int columnIndex(const Table& table, std::string_view name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (jet::detail::iequals(table.columns[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const Table* JetCatalog::find(std::string_view name) const {
    const std::optional<std::size_t> i = indexOf(name);
    return i ? &tables[*i] : nullptr;
}

std::optional<std::size_t> JetCatalog::indexOf(std::string_view name) const {
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (jet::detail::iequals(tables[i].name, name)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace jetfile
