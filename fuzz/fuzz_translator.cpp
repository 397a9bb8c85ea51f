// SPDX-License-Identifier: MIT
// libFuzzer target: the Jet-dialect translator. Any text either translates into one
// SQLite statement or is refused with jet::Error.

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
    (void)jet::isValidPlainName(text);
    (void)jet::isReservedWord(text);
    return 0;
}
