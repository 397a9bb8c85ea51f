// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace jet {

// Puts values[0] in the place of every "%1" of `text`, values[1] in the place of every
// "%2", and so on up to "%9", in one pass from left to right: what a value brings in is
// never looked at again, so a value that itself holds "%2" arrives unchanged. A
// placeholder without a value, and any other '%', stays as it is.
inline std::string fill(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(text.size() + 16 * values.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(text[i + 1] - '1');
            if (index < values.size()) {
                out.append(values.begin()[index]);
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace jet
