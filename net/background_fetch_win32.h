// One page fetched on a worker thread while the UI thread goes on, its answer
// handed back as bytes. The worker touches no window and no value the UI
// thread holds; one fetch per process.
#pragma once

#include <cstdint>

#include "base/value.h"

// Starts fetching address, to end within budget_ms from now; false when no
// worker could be started (the caller then fetches itself).
bool StartBackgroundFetch(TextValue address, uint32_t budget_ms);
bool BackgroundFetchStarted();
// The body, waiting at most wait_ms for it; the empty result when it has not
// come by then (the worker still ends within its own budget).
Bytes TakeBackgroundFetch(uint32_t wait_ms);
