// SPDX-License-Identifier: MIT
#include "value.h"

#include <charconv>
#include <cmath>

namespace jet {

std::string Value::toString() const {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const {
            char buf[64];
            auto res = std::to_chars(buf, buf + sizeof buf, v);
            return std::string(buf, res.ptr);
        }
        std::string operator()(const std::string& v) const { return v; }
    };
    return std::visit(Visitor{}, m_v);
}

std::optional<std::int64_t> Value::toInt() const {
    if (auto* i = std::get_if<std::int64_t>(&m_v)) {
        return *i;
    }
    if (auto* d = std::get_if<double>(&m_v)) {
        if (std::isfinite(*d)) {
            return static_cast<std::int64_t>(std::llround(*d));
        }
        return std::nullopt;
    }
    if (auto* s = std::get_if<std::string>(&m_v)) {
        std::int64_t out = 0;
        const char* first = s->data();
        const char* last = s->data() + s->size();
        if (first != last && *first == '+') {
            ++first;
        }
        auto res = std::from_chars(first, last, out);
        if (res.ec == std::errc() && res.ptr == last && first != last) {
            return out;
        }
    }
    return std::nullopt;
}

}  // namespace jet
