// The text between two marker words, as the update check reads a version from
// a page. Portable: no <windows.h>.
#pragma once

#include "base/value.h"

// What follows the first `start` in `source` up to the first `end` after it;
// markers match with ASCII letters in any case and never inside a GBK
// character. Empty (may be null) when a marker is empty or not found. Null
// arguments count as the empty text; none is changed.
Text ExtractBetween(TextValue source, TextValue start, TextValue end);

// Whether a text found between the markers can be a published version: 1 to
// 32 bytes, no control bytes, every byte part of a valid GBK character.
bool IsVersionText(TextValue t);
