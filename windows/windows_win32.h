// Opening and closing the program's windows, and the message loop that runs
// them. Windows are named by their identifiers in the window descriptions.
#pragma once

#include <cstdint>

// Opens a window: with an owner (0 = none) that must be an open window of the
// program; an open window is restored or activated instead of made again.
// A modal window has no owner, disables the program's other windows and is
// run by a nested loop: the call returns when it has closed. True when the
// window was opened (or was open already); false, with nothing done, for a
// window that is not described, an owner that is not open, or a window that
// cannot be made.
bool LoadWindow(uint32_t window_id, uint32_t owner_window_id /*0 = none*/, bool modal);

// Asks a window to close on a later turn of the loop, after the caller has
// returned; nothing happens at once. A window that is not open is left alone.
void DestroyWindowUnit(uint32_t window_id);

// Opens the program's first window, non-modal and without owner; a window
// that cannot be opened ends the program with the fatal report.
void LoadStartWindow(uint32_t window_id);

// Runs the message loop until no window of the program is left; returns at
// once when there is none.
void RunMessageLoop();
bool MessageLoopRunning();
