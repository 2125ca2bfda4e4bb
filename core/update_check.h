// Once per start: reads the published version off the check page and, when it
// names another version than this one, announces it and opens NewVersionWindow.
// Needs MainWindow loaded; leaves its traces in two of its label captions.
#pragma once

#include "base/value.h"

// The compiled check page: an http address on a .example host.
extern const char kCheckPageAddress[];

void UpdateCheck();
// The same check against another page; UpdateCheck passes kCheckPageAddress,
// the tests a page on their own local server.
void UpdateCheckAt(TextValue check_page_address);
