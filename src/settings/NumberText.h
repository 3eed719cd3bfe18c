// Reading a number from the start of a settings text, the way the classic
// Val() does: blanks anywhere are ignored, reading stops at the first
// character that cannot continue the number, no number gives 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace app {

double LeadingNumber(std::string_view text);

// The leading number rounded to the nearest integer (ties to even) when it
// fits a 16-bit integer; nothing otherwise.
std::optional<std::int16_t> LeadingInt16(std::string_view text);

}  // namespace app
