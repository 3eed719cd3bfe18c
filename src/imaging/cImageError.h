// The error cImage raises to its caller: a run-time error number and its
// description (6 = "Overflow" when a size does not fit 32 bits).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class cImageError : public std::runtime_error {
  public:
    static constexpr std::int32_t kOverflow = 6;

    cImageError(std::int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    std::int32_t Number() const { return number_; }
    std::string Description() const { return what(); }

    static cImageError Overflow() { return cImageError(kOverflow, "Overflow"); }

  private:
    std::int32_t number_;
};
