// What only the X11 clipboard offers: the clipboard manager (the owner of the
// CLIPBOARD_MANAGER selection) that keeps a program's clipboard contents
// after the program ends, and the SAVE_TARGETS request that hands them over.
// Elsewhere (Wayland, offscreen) these report false and do nothing.
#pragma once

#include <cstdint>

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
// confirmed within timeoutMs.
bool HandClipboardToManager(int timeoutMs);

}  // namespace platform
