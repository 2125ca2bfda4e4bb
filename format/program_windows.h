// The program's own window descriptions, compiled into the executable, and
// the one table that every window and control lookup uses.
#pragma once

#include "format/window_descriptions.h"

ByteView ProgramWindowBlock();
// Reads the block once, at start, before any window is loaded; a damaged
// block ends the program with the fatal report.
void ReadProgramWindows(HandlerTable handlers);
WindowDescriptionTable& ProgramWindows();
