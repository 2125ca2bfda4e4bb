// One HTTP GET of a web page, its body as bytes. The caller never sees an
// error: a failure is the empty result, a broken transfer a shorter one.
#pragma once

#include <cstdint>

#include "base/value.h"

// Blocks the calling thread for at most about fetch::kDeadlineMs. Null or
// empty address: the empty result without touching the network.
Bytes FetchWebPage(TextValue address);
// The same, ended within budget_ms from the call (connection, request and body).
Bytes FetchWebPageWithin(TextValue address, uint32_t budget_ms);
