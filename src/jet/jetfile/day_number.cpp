// SPDX-License-Identifier: MIT
#include "jet/jetfile/day_number.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace jetfile {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Day numbers of 0100-01-01 and 9999-12-31, the years a Jet date holds.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958465;

// The civil date of a count of days since 1970-01-01 (H. Hinnant's algorithm).
void civil(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

std::optional<std::string> dayNumberText(double days) {
    if (!std::isfinite(days) || days < kFirstDay - 1 || days > kLastDay + 1) {
        return std::nullopt;
    }
    double whole = std::trunc(days);
    auto seconds =
        static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * kSecondsPerDay));
    if (seconds == kSecondsPerDay) {  // rounds up into the next day
        seconds = 0;
        whole += 1;
    }
    // 1899-12-30 is day -25569 of 1970.
    int y = 0, m = 0, d = 0;
    civil(static_cast<std::int64_t>(whole) - 25569, y, m, d);
    if (y < 100 || y > 9999) {
        return std::nullopt;
    }
    char text[32];
    if (seconds == 0) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d,
                      static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
    }
    return std::string(text);
}

}  // namespace jetfile
