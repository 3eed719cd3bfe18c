// The hidden temporary files ".korvel-XXXXXX.part" that a file is written
// into before it takes its final name, on file systems that have no unnamed
// files (vfat, many network shares). A writer holds an exclusive advisory lock
// on its temporary for as long as it has it open, so a temporary whose lock
// can be taken belongs to a writer that is gone (killed, or the machine went
// down), and can be removed without disturbing a write in progress in this
// or another process.
#pragma once

#include <string>
#include <string_view>

namespace core {

// An open file descriptor, closed when the object goes.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    // Closes now; the errno value of a failed close, else 0.
    int Close();

  private:
    int fd_ = -1;
};

// True for a name the writer gives its temporaries: ".korvel-" followed by
// six letters or digits and ".part".
bool IsTemporaryName(std::string_view name);

// Creates a new temporary in `folder` (a path ending in '/') and locks it.
// On success `path` names it and the returned descriptor holds the lock; on
// failure the descriptor is invalid and `error` holds the errno value. On a
// file system without advisory locks the temporary is created unlocked; it
// is then never taken for abandoned.
UniqueFd CreateLockedTemporary(const std::string& folder, std::string& path, int& error);

// Removes the temporaries in `folder` (a path ending in '/') that no writer
// holds any more. Everything else in the folder (other names, folders, links,
// temporaries of a running writer, those of another user that cannot be
// opened) is left alone. Returns how many were removed.
int RemoveAbandonedTemporaries(const std::string& folder);

}  // namespace core
