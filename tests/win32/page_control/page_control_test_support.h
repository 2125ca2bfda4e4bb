// Shared by the PageControl Wine tests: the program's descriptions read once,
// with test handlers bound to TabPager's events, and what they saw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/window_descriptions.h"

using Events = std::vector<std::string>;
// What the bound handlers saw, in order ("changing 2", "changed", "clicked 1", "button clicked").
Events TakeEvents();
// The changing handler's answer; false cancels the change.
extern bool g_allow_change;

// Reads the program's windows once and binds the test handlers to TabPager,
// which the program itself binds none of, and to ViewButton3's click.
void PrepareDescriptions();
ControlRecord* TabPagerRecord();
