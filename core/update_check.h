// Once per start: reads the published version off the check page and, when it
// names another version than this one, announces it and opens NewVersionWindow.
// Needs MainWindow loaded; leaves its traces in two of its label captions.
#pragma once

#include "base/value.h"

// The compiled check page: an http address on a .example host.
extern const char kCheckPageAddress[];

// Sends the check's request on a worker thread as soon as the process can,
// so the answer comes while the start window is made.
void StartUpdateFetch();
// Takes that answer (or fetches, when no worker started), waiting at most
// until 2.7 s after the process started, so that MainWindow, shown after it,
// is on screen within 3 s; then reads it.
void UpdateCheck();
// The same check against another page, fetched here with the whole 2.7 s
// budget counted from the call; the tests point it at their own local server.
void UpdateCheckAt(TextValue check_page_address);
