#include "settings/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/Rounding.h"

namespace app {

double LeadingNumber(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact.push_back(c);
    }
    std::size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number.push_back(compact[i++]);
    const auto digit = [&](std::size_t at) {
        return at < compact.size() && std::isdigit(static_cast<unsigned char>(compact[at])) != 0;
    };
    bool any = false;
    while (digit(i)) {
        number.push_back(compact[i++]);
        any = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number.push_back(compact[i++]);
        while (digit(i)) {
            number.push_back(compact[i++]);
            any = true;
        }
    }
    if (!any) return 0.0;
    if (i < compact.size() &&
        (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent.push_back(compact[j++]);
        if (digit(j)) {
            while (digit(j)) exponent.push_back(compact[j++]);
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::optional<std::int16_t> LeadingInt16(std::string_view text) {
    const double rounded = core::RoundHalfEven(LeadingNumber(text));
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace app
