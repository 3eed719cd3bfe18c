// The one error type of the JPEG encoder: a number and a description, the way
// the encoder reports every failure to its caller.
#pragma once

#include <stdexcept>
#include <string>

namespace jpeg {

// Error numbers used by the encoder.
inline constexpr int kErrValidation = 1;  // bad settings or tables
inline constexpr int kErrOverflow = 6;    // a value does not fit its field
inline constexpr int kErrOutOfMemory = 7;
inline constexpr int kErrSubscript = 9;  // no sampled picture / symbol out of range
inline constexpr int kErrDiskFull = 61;
inline constexpr int kErrFileAccess = 75;
inline constexpr int kErrPathNotFound = 76;

class JpegError : public std::runtime_error {
  public:
    JpegError(int number, const std::string& description)
        : std::runtime_error(description), number_(number), description_(description) {}

    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    int number_;
    std::string description_;
};

// Shorthands for the fixed errors.
[[noreturn]] inline void RaiseOverflow() {
    throw JpegError(kErrOverflow, "Overflow");
}
[[noreturn]] inline void RaiseSubscript() {
    throw JpegError(kErrSubscript, "Subscript out of range");
}

[[noreturn]] inline void RaiseOutOfMemory() {
    throw JpegError(kErrOutOfMemory, "Out of memory");
}

}  // namespace jpeg
