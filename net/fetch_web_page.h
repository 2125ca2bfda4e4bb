// One HTTP GET of a web page, its body as bytes. The caller never sees an
// error: a failure is the empty result, a broken transfer a shorter one.
#pragma once

#include "base/value.h"

// Blocks the calling thread for at most about fetch::kDeadlineMs. Null or
// empty address: the empty result without touching the network.
Bytes FetchWebPage(TextValue address);
