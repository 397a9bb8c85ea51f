// SPDX-License-Identifier: MIT
#pragma once

// The tables and columns of a Jet file, as its catalog describes them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jetfile {

// Column types, numbered as the file numbers them.
enum class JetType : std::uint8_t {
    kYesNo = 0x01,
    kByte = 0x02,
    kInteger = 0x03,  // 16 bits
    kLong = 0x04,     // 32 bits
    kCurrency = 0x05,
    kSingle = 0x06,
    kDouble = 0x07,
    kDateTime = 0x08,
    kBinary = 0x09,
    kText = 0x0a,
    kOle = 0x0b,
    kMemo = 0x0c,
    kGuid = 0x0f,
    kNumeric = 0x10,
    kComplex = 0x12,
};

// The type's name as the file's own tools show it ("Long Integer"), or its number.
std::string typeName(std::uint8_t type);

struct Column {
    std::string name;
    std::uint8_t type = 0;  // a JetType, or another number the file holds
    int size = 0;           // a text column's width in characters; else the stored size
    bool required = false;
    bool allowZeroLength = false;
    bool autoNumber = false;

    bool is(JetType t) const { return type == static_cast<std::uint8_t>(t); }
};

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::uint32_t rowCount = 0;  // as the table's definition states it
};

struct JetCatalog {
    std::uint32_t jetVersion = 0;  // 0 Jet 3, 1 Jet 4
    std::vector<Table> tables;     // the file's own (system tables are left out)

    // The table of that name, ignoring case.
    const Table* find(std::string_view name) const;
    std::optional<std::size_t> indexOf(std::string_view name) const;
};

// The column of that name, ignoring case; -1 when none.
int columnIndex(const Table& table, std::string_view name);

}  // namespace jetfile
