// SPDX-License-Identifier: MIT
#pragma once

// What the reading process sends its caller over a pipe: the file's tables and columns,
// then the rows of every table in the same order, in frames of
//
//     kind (1 byte) · length of the body (4 bytes, little-endian) · body
//
// Numbers in a body are little-endian; a text is its length (4 bytes) and its UTF-8 bytes.
// A stream reads: kHello, kTable for each table, kCatalogEnd, then for each table in turn
// kRows (its index), kRow for each row, kRowsEnd (the number sent), and last kEnd. kFailure
// (a text) may stand anywhere and ends the stream: the reader could not go on.
//
// The decoder is the caller's guard: it trusts nothing of what arrives. A frame that is too
// long, a kind out of order, a value of the wrong kind for its column, a text that is no
// UTF-8, a count that does not add up: each is a StreamError, and nothing read so far is
// to be used.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jetfile/jet_catalog.h"
#include "jet/value.h"

namespace jetfile {

class StreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class FrameKind : std::uint8_t {
    kHello = 'H',
    kTable = 'T',
    kCatalogEnd = 'C',
    kRows = 'D',
    kRow = 'R',
    kRowsEnd = 'E',
    kEnd = 'Z',
    kFailure = 'X',
};

// How one cell travels.
enum class CellTag : std::uint8_t {
    kNull = 0,
    kInteger = 1,  // 8 bytes, two's complement
    kDouble = 2,   // the 8 bytes of an IEEE double, as stored
    kText = 3,     // a text
    kOpaque = 4,   // a value of a type this side does not carry (nothing follows)
};

inline constexpr std::string_view kStreamMagic = "rv_jetread 1";
inline constexpr std::size_t kMaxFrameBytes = 64u * 1024 * 1024;

// The writing side: frames appended to a buffer, which the caller flushes.
class FrameWriter {
  public:
    void hello(std::uint32_t jetVersion);
    void table(const Table& table);
    void catalogEnd();
    void rowsBegin(std::uint32_t table);
    // A row: begin, one cell per column, end.
    void rowBegin();
    void null();
    void integer(std::int64_t value);
    void real(double value);
    void text(std::string_view utf8);
    void opaque();
    void rowEnd();
    void rowsEnd(std::uint32_t count);
    void end();
    void failure(std::string_view message);
    // Forgets a frame begun and not finished (a row the reader could not complete).
    void dropOpenFrame();

    std::string& buffer() { return m_out; }

  private:
    void begin(FrameKind kind);
    void finish();
    void u8(std::uint8_t v) { m_out.push_back(static_cast<char>(v)); }
    void u32(std::uint32_t v);
    void u64(std::uint64_t v);
    void str(std::string_view s);

    std::string m_out;
    std::size_t m_frameStart = 0;
    bool m_open = false;
};

// What the decoder has read.
struct StreamEvent {
    enum class Kind {
        kCatalog,  // every table is known: catalog() holds them
        kRow,      // `table` and `values`
        kEnd,      // the stream is complete and consistent
    };
    Kind kind = Kind::kCatalog;
    std::size_t table = 0;
    std::vector<jet::Value> values;
};

class StreamDecoder {
  public:
    // Appends bytes as they arrive.
    void feed(const char* data, std::size_t size);
    // The next event the bytes fed so far complete, or nothing until more arrive. Throws
    // StreamError for anything out of shape, and for a failure the reader reported.
    std::optional<StreamEvent> next();
    // After the last bytes: throws unless the stream was complete.
    void finish() const;

    const JetCatalog& catalog() const { return m_catalog; }
    bool complete() const { return m_state == State::kDone; }

  private:
    enum class State { kHello, kTables, kRowsBegin, kRows, kDone };
    void readHello(std::string_view body);
    void readTable(std::string_view body);
    std::vector<jet::Value> readRow(std::string_view body) const;

    std::string m_in;
    std::size_t m_pos = 0;
    State m_state = State::kHello;
    JetCatalog m_catalog;
    std::size_t m_table = 0;
    std::uint64_t m_rowsRead = 0;
};

// True when `bytes` is UTF-8 without overlong forms, surrogates or values past U+10FFFF.
bool isUtf8(std::string_view bytes);

}  // namespace jetfile
