// Where the program runs from: the executable's directory, taken by its wide
// name and kept as GBK like every other path, and made the current directory.
#pragma once

// Records the directory part of module_path (a full path as the platform
// gives it) and enters it. A directory GBK cannot spell, even by its short
// name, is entered but recorded as unusable (see RunDirectoryUsable).
void EnterRunDirectory(const wchar_t* module_path);
// The same for this process's executable.
void EnterRunDirectory();
