// SPDX-License-Identifier: MIT
// libFuzzer target: the reader of stored table definitions. Any text is read without
// reading past its end, and whatever it finds can be edited: adding a column and setting
// a zero-length property give a definition that reads again, with the column in it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/schema_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using jet::detail::TableDefinition;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TableDefinition definition(text);
    const std::vector<std::string> keys = definition.columnKeys();
    for (const std::string& key : keys) {
        (void)definition.hasZeroLengthRule("T", key);
    }
    (void)definition.renamed("T jet_reload");
    if (!definition.columnsCanBeAdded()) {
        return 0;
    }
    jet::detail::ColumnDef added;
    added.name = "jet fuzz";
    added.width = 5;
    TableDefinition::ZeroLengthChanges changes{{"jet fuzz", true}};
    for (const std::string& key : keys) {
        changes[key] = false;
    }
    if (!definition.apply("T", {jet::detail::columnSql("T", added, false)}, changes)) {
        __builtin_trap();
    }
    const TableDefinition again(definition.sql());
    const std::vector<std::string> after = again.columnKeys();
    bool found = false;
    for (const std::string& key : after) {
        found = found || key == "jet fuzz";
    }
    if (!again.understood() || !found || again.hasZeroLengthRule("T", "jet fuzz")) {
        __builtin_trap();
    }
    return 0;
}
