// The parts of one page fetch that need no network: how much to read at a
// time, what of the address is sent, and the fetch's bounds. Portable.
#pragma once

#include <cstdint>

namespace fetch {

constexpr int32_t kDefaultChunkSize = 10240;
constexpr int32_t kMaxChunkSize = 102400;
// A larger body stops here instead of exhausting the heap.
constexpr int32_t kBodyCap = 4 * 1024 * 1024;
// The whole fetch, from the call to the last byte, ends by then.
constexpr uint32_t kDeadlineMs = 10000;

}  // namespace fetch

// The read size for a response whose Content-Length header reads `stated`
// (null when the header is absent): its leading decimal number plus 1, at most
// kMaxChunkSize; kDefaultChunkSize when that number is not positive.
int32_t ChunkSizeFor(const char* stated);

// Ends the object at its first '#': a fragment is never sent.
void CutFragment(char* object);
