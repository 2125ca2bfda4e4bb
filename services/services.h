// The runtime services the application's handlers are written with. Each
// reports failure only through its result and never raises an error.
// Text services are portable; file, clipboard and message services call Windows.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "base/value.h"

// The executable's directory without a trailing "\", as recorded at start.
Text GetRunDirectory();
Text JoinTexts(std::initializer_list<TextValue> parts);
int CompareText(TextValue a, TextValue b);
int32_t TextLength(TextValue s);
Text TextLeft(TextValue s, int32_t n);
Text TextRight(TextValue s, int32_t n);
// 1-based byte position of t in s, or -1; never matches inside a GBK character.
int32_t FindText(TextValue s, TextValue t, bool ignore_case);
Text BytesToText(ByteArray b);
int32_t ByteArrayLength(ByteArray b);

bool WriteBytesToFile(TextValue path, std::initializer_list<ByteArray> parts);
bool RemoveFile(TextValue path);
bool SetFileAttributeBits(TextValue path, int32_t bits);
bool FileExists(TextValue path);
// Whether the file at path holds exactly these bytes; false when it cannot be read.
bool FileHoldsBytes(TextValue path, ByteArray bytes);
// Puts the bytes at path whole or not at all: written under a temporary name
// beside it, then renamed over it (a hidden or read-only file there is
// replaced; one held open by anybody is not). False, with nothing left behind
// and the old file as it was, when it cannot.
bool ReplaceFileWhole(TextValue path, ByteArray bytes, const char* temp_prefix);
bool SetClipboardText(TextValue text);
// Index of the button pressed: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6.
int ShowMessage(TextValue message, int32_t style);
int ShowMessage(TextValue message, int32_t style, TextValue title);

// Recording the run directory at start: the directory part of the module path,
// split at the last separator that is not the second byte of a double-byte
// character under is_lead (the file system's code page).
using LeadBytePredicate = bool (*)(unsigned char);
int32_t DirectoryPartLength(TextValue module_path, LeadBytePredicate is_lead);
// usable is false when the directory's name has no GBK spelling: the text
// recorded then names no real place.
void RecordRunDirectory(TextValue module_path, LeadBytePredicate is_lead, bool usable = true);
// False when the run directory cannot be named in GBK (nor by its short name):
// nothing is written beside the program and it starts unskinned.
bool RunDirectoryUsable();
bool IsGbkLeadByte(unsigned char c);
