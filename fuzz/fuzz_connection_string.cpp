// libFuzzer target: the connection-string parser. Any text either parses or is refused
// with jet::Error; a plain path and password survive a build/parse round trip.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "jet/connection_string.h"
#include "jet/error.h"

namespace {

bool plain(std::string_view s) {
    for (char c : s) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return !s.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const jet::ConnectionString cs = jet::ConnectionString::parse(text);
        if (plain(cs.dataSource()) && (cs.password().empty() || plain(cs.password()))) {
            const jet::ConnectionString again = jet::ConnectionString::parse(
                jet::ConnectionString::build(cs.dataSource(), cs.password()));
            if (again.dataSource() != cs.dataSource() || again.password() != cs.password()) {
                __builtin_trap();
            }
        }
    } catch (const jet::Error&) {
    }
    return 0;
}
