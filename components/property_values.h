// How property values cross the access entry points, and the conversions the
// entry points make by type. Portable: no <windows.h>; the Win32 half applies them.
#pragma once

#include <cstdint>

#include "base/value.h"
#include "format/property_streams.h"

enum class PropertyType : uint8_t {
  kInteger,
  kChoice,  // a negative value written becomes 0
  kBool,    // any non-zero value written becomes 1
  kDouble,  // 64 bits; also dates
  kText,    // also file names
  kColor,   // COLORREF; kNoColor is the kind's default
  kBytes,   // pictures, icons, sounds, image lists, custom data
  kCursor,  // ByteArray: cursor kind word, then a cursor file for a custom one
  kFont,    // whole as a FontRecord, or one field by sub-index
  kHidden,  // not stored, no effect; reads give zero
};

// A font passed whole (sub-index -1): seven 32-bit fields.
struct FontRecord {
  int32_t angle = 0;  // tenths of a degree
  int32_t bold = 0;   // non-zero: weight 700
  int32_t italic = 0;
  int32_t underline = 0;
  int32_t strikeout = 0;
  int32_t size = 0;  // character height in pixels
  TextValue face = nullptr;
};

enum FontField : int32_t {
  kFontAngle = 0,
  kFontBold,
  kFontItalic,
  kFontUnderline,
  kFontStrikeout,
  kFontSize,
  kFontFace,
};

// One value going in; the caller keeps ownership of what it points to.
struct PropertyIn {
  int64_t number = 0;         // integer, choice, bool, colour, double bits, one font field
  TextValue text = nullptr;   // text, or the face name when one font field is written
  ByteArray bytes = nullptr;  // picture-like data and cursors
  const FontRecord* font = nullptr;
};

// One value coming out; texts and byte arrays belong to the caller.
struct PropertyOut {
  int64_t number = 0;
  Text text;        // null for an empty text
  Bytes bytes;      // null for empty data
  FontRecord font;  // its face is `text` when a whole font is read
};

// What a kind's GetProperty did: the reader gets zero without an answer.
enum class PropertyRead { kAnswered, kNoAnswer };
inline PropertyRead Answered(bool answered) {
  return answered ? PropertyRead::kAnswered : PropertyRead::kNoAnswer;
}

// What a kind's SetProperty asks of the window: nothing more, or to re-create
// the control from its saved properties for the change to show.
enum class PropertyWrite { kApplied, kRecreate };

// A kind's plain 32-bit field, found by its index; false when the index names none.
inline bool ReadNumberField(const int32_t* field, PropertyOut* out) {
  if (field) out->number = *field;
  return field != nullptr;
}
inline bool WriteNumberField(int32_t* field, int64_t value) {
  if (field) *field = static_cast<int32_t>(value);
  return field != nullptr;
}

// Value conversions by type, applied by the entry points before a kind sees it.
int32_t NormalizeChoice(int64_t v);
int32_t NormalizeBool(int64_t v);
// Reading a bool gives 1 only for exactly 1.
int32_t BoolForReading(int64_t v);

// Common properties: positions and sizes are kept to what the system handles.
inline constexpr int32_t kMaxCoordinate = 32627;
int32_t ClampPosition(int64_t v);  // -32627..32627
int32_t ClampSize(int64_t v);      // 0..32627

// The face a font gets when none is given, or one too long: 31 bytes or more
// in a whole-font record, 32 or more written as one field ("宋体").
extern const char kDefaultFontFace[];
// Applies a whole font record, or one field (sub-index 0 to 6), to `font`.
// Returns false for a sub-index outside -1..6.
bool ApplyFontValue(LogFontA* font, int32_t sub, const PropertyIn& v);
// Reads a whole font (sub -1: font record with face into out->text) or one field.
bool ReadFontValue(const LogFontA& font, int32_t sub, PropertyOut* out);

// Standard cursors: the property's small index and the system's identifier.
// The first word of a cursor value; 0 is the kind's default, -1 a custom cursor.
inline constexpr int32_t kCustomCursor = -1;
int32_t SystemCursorFromIndex(int32_t index);  // 0 when the index names none
int32_t IndexFromSystemCursor(int32_t id);     // 0 when the identifier is not standard
// The stored MousePointer block with its first word translated; null for default.
Bytes TranslateCursorIn(ByteArray value);
Bytes TranslateCursorOut(ByteView stored);
