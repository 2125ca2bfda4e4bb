// Hands an address to the desktop's "open" action and returns at once;
// reports nothing, keeps nothing.
#pragma once

#include "base/value.h"

// Opened when a caller gives no address; every caller in the program gives one.
inline constexpr char kDefaultBrowserAddress[] = "http://www.velmora.example/";

void OpenInBrowser(TextValue address = kDefaultBrowserAddress);
