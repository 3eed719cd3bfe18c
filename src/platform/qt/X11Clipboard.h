// What only the X11 clipboard offers: the clipboard manager (the owner of the
// CLIPBOARD_MANAGER selection) that keeps a program's clipboard contents
// after the program ends, and the SAVE_TARGETS request that hands them over.
// Elsewhere (Wayland, offscreen) these report false and do nothing.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// True on an X11 display.
bool IsX11();

// The window that owns the clipboard as the X server sees it (0 for none, or
// off X11). Qt's own idea of owning it can miss a change of owner.
std::uint32_t ClipboardOwnerWindow();

// True when the clipboard's owner, as the X server sees it, is a window of
// this program. Qt's own record misses an owner that took the clipboard and
// let it go again (no owner at all now). Off X11 this is Qt's record.
bool ClipboardOwnedHere();

// True on an X11 display where a clipboard manager runs.
bool ClipboardManagerRunning();

// Asks the clipboard manager to save the clipboard contents this program
// owns, and lets events run meanwhile so that the clipboard serves the
// manager's requests (large pictures in increments, which Qt's own hand-over
// at the very end of the program cannot do). Returns true when the manager
// confirmed. The whole wait ends within timeoutMs, however busy the event
// loop and however often the manager (or a clipboard history on its window)
// reads the clipboard meanwhile; without a first request from the manager
// within 300 ms it ends then.
bool HandClipboardToManager(int timeoutMs);

// Calls `lost` on a thread of its own as soon as the X server reports that
// `ownWindow` no longer owns the clipboard (another program copied, or the
// clipboard was let go), also while this program's own thread is busy, for
// example encoding a large picture for a reader. Waits on a connection of its
// own for the server's notices; nothing polls. Returns false when this cannot
// be watched (no X11, no XFixes extension, or the window does not own the
// clipboard any more); `lost` is then never called.
bool WatchClipboardOwner(std::uint32_t ownWindow, void (*lost)());

// While one lives, the X server's notices that another program took a
// selection from this program wait, and go back to Qt when it ends. Qt frees
// the data it offered as soon as it handles such a notice, and an answer to a
// reader that runs events meanwhile (a large picture encoded while the window
// answers) still reads that data: the notice is handled once the answer has
// been given. Lives on the program's thread; nests. Off X11 it does nothing.
class SelectionLossHeld {
  public:
    SelectionLossHeld();
    ~SelectionLossHeld();
    SelectionLossHeld(const SelectionLossHeld&) = delete;
    SelectionLossHeld& operator=(const SelectionLossHeld&) = delete;
    // How many notices this one holds now.
    int Held() const;

  private:
    struct Filter;
    std::unique_ptr<Filter> filter_;
};

}  // namespace platform
