// Fonts of the controls, made from stored LOGFONTA records, and the one place
// that calls CreateFontIndirectW for the components. Does not share fonts: each
// control owns the one it made; only the readable default GUI font is kept.
#pragma once

#include <windows.h>

#include "components/handles_win32.h"
#include "components/property_values.h"

// The stored font with the control replacements: default character set,
// precisions 0, proof quality, pitch and family 0; the face is GBK. A face that
// is empty or not installed is asked for by script (CreateReadableFont).
FontHandle CreateControlFont(const LogFontA& stored);
// The stored font as stored (face in GBK), made by CreateReadableFont.
FontHandle CreateStoredFont(const LogFontA& stored);
// Every font is made here: where the face is empty or not installed, the GB2312
// character set is asked for instead, so the system picks a face with Chinese
// glyphs rather than one for its own code page.
FontHandle CreateReadableFont(LOGFONTW lf);
// Whether the system has a font family of that name; asked once per face.
bool FaceInstalled(const wchar_t* face);
// The default GUI font, or where it has no Chinese glyphs the same font asked
// for with the GB2312 character set (made once, kept for the process).
HFONT DefaultGuiFont();
// The font a control draws with: its own, or the default GUI font.
inline HFONT FontOrDefault(const FontHandle& own) { return own ? own.get() : DefaultGuiFont(); }

// The default GUI font as a stored record (face in GBK).
LogFontA DefaultGuiLogFont();
// Writes a whole font (sub -1) or one field (0 to 6) into `font`; a control
// without a font of its own starts from the default GUI font. False for a
// sub-index outside -1..6 (nothing changes then).
bool WriteFontProperty(StoredFont* font, int32_t sub, const PropertyIn& in);
// Reads a whole font or one field; a control without its own font reads the
// default GUI font.
bool ReadFontProperty(const StoredFont& font, int32_t sub, PropertyOut* out);
