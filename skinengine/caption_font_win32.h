// The engine's caption font. Kept apart from the engine's state so the Wine
// tests can make the very font the engine draws captions with.
#pragma once

#include <windows.h>

// The system's caption font at the skin's weight; where it draws no Chinese,
// the same font asked for by the GB2312 character set. Null on failure.
HFONT CreateCaptionFont(bool bold);
