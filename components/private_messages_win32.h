// The program's private window messages, numbered in this one place so that
// no two collide.
#pragma once

#include <windows.h>

// Posted to a frame to close it on a later turn of the loop.
inline constexpr UINT kCloseRequestMessage = WM_APP + 0x65;
// Sent by the loader to every control, then the window, once all exist.
inline constexpr UINT kLoadCompleteMessage = WM_APP + 0x76;
// Posted by the page text view to itself: fill the text once the current message is done.
inline constexpr UINT kPageTextFillMessage = WM_APP + 0x5054;
