// SPDX-License-Identifier: MIT
#pragma once

// Dates as a Jet file stores them: a day number, days since 1899-12-30, whose fraction is
// the time of day. Before that day the whole part counts back and the fraction still runs
// forward: -1.25 is 1899-12-29 06:00.

#include <optional>
#include <string>

namespace jetfile {

// "YYYY-MM-DD", or "YYYY-MM-DD HH:MM:SS" when the time of day, rounded to the second, is
// not midnight; nothing for a number that is no date of the years 100 to 9999.
std::optional<std::string> dayNumberText(double days);

}  // namespace jetfile
