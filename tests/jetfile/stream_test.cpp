// SPDX-License-Identifier: MIT
// The caller's side of the reader's stream: what it takes, and what it refuses.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "jet/jetfile/day_number.h"
#include "jet/jetfile/stream.h"

namespace {

using jetfile::Column;
using jetfile::FrameWriter;
using jetfile::JetType;
using jetfile::StreamDecoder;
using jetfile::StreamEvent;
using jetfile::Table;

Column column(const char* name, JetType type, int size = 0) {
    Column c;
    c.name = name;
    c.type = static_cast<std::uint8_t>(type);
    c.size = size;
    return c;
}

// One table T of a Long, a Text(10), a Double and a Yes/No column, stating `rows` rows.
Table table(std::uint32_t rows = 1) {
    Table t;
    t.name = "T";
    t.rowCount = rows;
    t.columns = {column("N", JetType::kLong), column("S", JetType::kText, 10),
                 column("D", JetType::kDouble), column("B", JetType::kYesNo)};
    return t;
}

// A stream of table(rows) whose rows `row` writes; `tail` writes what comes after them.
std::string stream(std::uint32_t rows, const std::function<void(FrameWriter&)>& row,
                   bool complete = true) {
    FrameWriter w;
    w.hello(1);
    w.table(table(rows));
    w.catalogEnd();
    w.rowsBegin(0);
    for (std::uint32_t i = 0; i < rows; ++i) {
        w.rowBegin();
        row(w);
        w.rowEnd();
    }
    if (complete) {
        w.rowsEnd(rows);
        w.end();
    }
    return w.buffer();
}

// A cell as a stream writes it: a null, an integer, a double or a text.
struct Cell {
    Cell(std::nullptr_t) : write([](FrameWriter& w) { w.null(); }) {}
    Cell(std::int64_t v) : write([v](FrameWriter& w) { w.integer(v); }) {}
    Cell(int v) : Cell(std::int64_t{v}) {}
    Cell(double v) : write([v](FrameWriter& w) { w.real(v); }) {}
    Cell(const char* v) : write([t = std::string(v)](FrameWriter& w) { w.text(t); }) {}
    std::function<void(FrameWriter&)> write;
};

// A row writing exactly `cells`, whatever the columns.
std::function<void(FrameWriter&)> row(std::vector<Cell> cells) {
    return [cells](FrameWriter& w) {
        for (const Cell& c : cells) {
            c.write(w);
        }
    };
}

const auto goodRow = row({7, "日本語", -0.0, -1});

// Everything the decoder makes of `bytes`, fed in pieces of `piece` bytes.
std::vector<StreamEvent> decode(const std::string& bytes, std::size_t piece = 3) {
    StreamDecoder d;
    std::vector<StreamEvent> events;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        d.feed(bytes.data() + at, std::min(piece, bytes.size() - at));
        while (std::optional<StreamEvent> e = d.next()) {
            events.push_back(std::move(*e));
        }
    }
    d.finish();
    return events;
}

TEST(JetStream, CarriesValuesAsWritten) {
    const std::vector<StreamEvent> events =
        decode(stream(2, row({nullptr, "", std::numeric_limits<double>::denorm_min(), 0})));
    ASSERT_EQ(events.size(), 4u);  // catalog, two rows, end
    const std::vector<jet::Value>& row = events[1].values;
    EXPECT_TRUE(row[0].isNull());
    EXPECT_TRUE(row[1].isText());  // an empty text, not a null
    EXPECT_EQ(std::get<double>(row[2].storage()), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(events.back().kind, StreamEvent::Kind::kEnd);

    const std::vector<StreamEvent> one = decode(stream(1, goodRow), 1);
    EXPECT_TRUE(std::signbit(std::get<double>(one[1].values[2].storage())));
    EXPECT_EQ(one[1].values[1].toString(), "日本語");
}

// Every way a stream can be out of shape is a StreamError, never a value.
TEST(JetStream, RefusesWhatIsOutOfShape) {
    const std::string good = stream(1, goodRow);
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string longFrame = good;
    longFrame[1] = '\xff';  // the greeting's length
    longFrame[4] = '\x7f';
    const std::vector<Case> cases = {
        {"nothing at all", ""},
        {"cut in a frame", good.substr(0, good.size() - 3)},
        {"without its end", stream(1, goodRow, false)},
        {"bytes after the end", good + "Z"},
        {"a frame too long", longFrame},
        {"text that is no UTF-8", stream(1, row({1, "\xc3\x28", 1.0, 0}))},
        {"a text where a number belongs", stream(1, row({"1", "", 1.0, 0}))},
        {"a null Yes/No", stream(1, row({1, "", 1.0, nullptr}))},
        {"a Yes/No that is neither", stream(1, row({1, "", 1.0, 1}))},
        {"a Long past 32 bits", stream(1, row({std::int64_t{1} << 40, "", 1.0, 0}))},
        {"a row with a cell too few", stream(1, row({1, "", 1.0}))},
        {"a row with a cell too many", stream(1, row({7, "日本語", -0.0, -1, nullptr}))},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(decode(c.bytes), jetfile::StreamError) << c.what;
    }

    // Fewer rows than the table states, and a count that does not add up.
    FrameWriter w;
    w.hello(1);
    w.table(table(2));
    w.catalogEnd();
    w.rowsBegin(0);
    w.rowBegin();
    goodRow(w);
    w.rowEnd();
    w.rowsEnd(1);
    w.end();
    EXPECT_THROW(decode(w.buffer()), jetfile::StreamError);

    // The reader's own failure is the message.
    FrameWriter failing;
    failing.hello(1);
    failing.failure("a memo whose page cannot be read");
    try {
        decode(failing.buffer());
        ADD_FAILURE();
    } catch (const jetfile::StreamError& e) {
        EXPECT_STREQ(e.what(), "a memo whose page cannot be read");
    }
}

TEST(JetStream, DayNumbersAreDatesToTheSecond) {
    const struct {
        double days;
        const char* text;
    } cases[] = {
        {0, "1899-12-30"},
        {1, "1899-12-31"},
        {-1.25, "1899-12-29 06:00:00"},  // before day 0 the fraction still runs forward
        {-0.5, "1899-12-30 12:00:00"},
        {24245.711319444443, "1966-05-18 17:04:18"},
        {36526.999999999, "2000-01-02"},  // rounds into the next day
        {2958465.9999884259, "9999-12-31 23:59:59"},
        {-657434, "0100-01-01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jetfile::dayNumberText(c.days).value_or("<none>"), c.text) << c.days;
    }
    for (double no : {-657435.0, 2958466.0, std::nan(""), 1e300}) {
        EXPECT_FALSE(jetfile::dayNumberText(no)) << no;
    }
}

}  // namespace
