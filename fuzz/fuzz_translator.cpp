// SPDX-License-Identifier: MIT
// libFuzzer target: the Jet-dialect translator. Any text either translates into one
// SQLite statement, and into one statement for a server (whose tables and columns are
// those of a small library), or is refused with jet::Error; split into statements, each
// piece is a part of the text, not empty, and translates or is refused the same way.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jet/error.h"
#include "jet/translator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const jet::Translation t = jet::translate(text);
        (void)t;
    } catch (const jet::Error&) {
    }
    try {
        for (const std::string_view piece : jet::splitStatements(text)) {
            if (piece.empty() || piece.data() < text.data() ||
                piece.data() + piece.size() > text.data() + text.size()) {
                __builtin_trap();
            }
            try {
                (void)jet::translate(piece);
            } catch (const jet::Error&) {
            }
        }
    } catch (const jet::Error&) {
    }
    static const jet::ServerNames names = [] {
        jet::ServerNames n;
        n.tables = {{"temp_field", "TEMP_FIELD"}, {"field", "FIELD"}};
        n.columns["temp_field"] = {
            {"field_no", "FIELD_NO"}, {"kind", "KIND"}, {"sortby", "SORTBY"}};
        n.columns["field"] = {{"field_id", "FIELD_ID"}, {"tel", "tel"}};
        n.counters["temp_field"] = "FIELD_NO";
        return n;
    }();
    try {
        const jet::Translation t = jet::translateForServer(text, names);
        (void)t;
    } catch (const jet::Error&) {
    }
    (void)jet::isValidPlainName(text);
    (void)jet::isReservedWord(text);
    return 0;
}
