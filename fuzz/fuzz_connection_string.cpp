// SPDX-License-Identifier: MIT
// libFuzzer target: the connection-string parser and builder. Any text either parses or
// is refused with jet::Error, and what it parses to is built and read back unchanged;
// a text that parses is refused once it names its Data Source a second time.
// The same bytes split in two, as a path and a password, read back exactly from the
// string built of them, or are refused for a NUL character or an empty path.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "jet/connection_string.h"
#include "jet/error.h"

namespace {

using jet::ConnectionString;

void mustHold(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// parse(build(path, password)) gives back both, byte for byte.
void roundTrip(std::string_view path, std::string_view password) {
    const bool refused = path.empty() || path.find('\0') != std::string_view::npos ||
                         password.find('\0') != std::string_view::npos;
    try {
        const ConnectionString back =
            ConnectionString::parse(ConnectionString::build(path, password));
        mustHold(!refused && back.dataSource() == path && back.password() == password);
        mustHold(ConnectionString::parse(ConnectionString::forFile(path)).dataSource() == path);
    } catch (const jet::Error&) {
        mustHold(refused);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const ConnectionString cs = ConnectionString::parse(text);
        roundTrip(cs.dataSource(), cs.password());
        bool refused = false;
        try {
            ConnectionString::parse(std::string(text) + ";Data Source=other.mdb");
        } catch (const jet::Error&) {
            refused = true;
        }
        mustHold(refused);
    } catch (const jet::Error&) {
    }
    // The first byte says where the path ends and the password begins.
    if (!text.empty()) {
        const std::string_view rest = text.substr(1);
        const std::size_t cut = static_cast<unsigned char>(text[0]) % (rest.size() + 1);
        roundTrip(rest.substr(0, cut), rest.substr(cut));
    }
    return 0;
}
