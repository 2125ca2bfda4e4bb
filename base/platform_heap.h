// What the value model needs from the platform: raw heap calls and the image's
// read-only spans. One implementation per platform; portable code calls these.
#pragma once

#include <cstddef>

void* PlatformHeapAlloc(size_t bytes);
void* PlatformHeapRealloc(void* block, size_t bytes);
void PlatformHeapFree(void* block);
// Registers every read-only span of the running image with AddConstantRange.
void PlatformRegisterImageRanges();
