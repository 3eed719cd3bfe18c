// Twips: the unit of window positions and sizes (and of the layout margin
// setting), 15 to the pixel at 96 dots per inch.
#pragma once

namespace core {

inline constexpr int kTwipsPerPixel = 15;

}  // namespace core
