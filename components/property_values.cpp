#include "components/property_values.h"

#include <cstring>

const char kDefaultFontFace[] = "\xCB\xCE\xCC\xE5";  // 宋体

namespace {

// The standard cursors in the order of the property's numbering, from 1.
constexpr int32_t kSystemCursors[] = {
    32512,  // 1 arrow
    32515,  // 2 cross
    32513,  // 3 I-beam
    32641,  // 4 icon
    32640,  // 5 size
    32643,  // 6 size NE-SW
    32645,  // 7 size N-S
    32642,  // 8 size NW-SE
    32644,  // 9 size W-E
    32516,  // 10 up arrow
    32514,  // 11 wait
    32648,  // 12 no
    32649,  // 13 hand
    32650,  // 14 arrow and hourglass
    32651,  // 15 help
    32646,  // 16 size all
};
constexpr int32_t kSystemCursorCount = sizeof kSystemCursors / sizeof kSystemCursors[0];

// The whole-font record takes a face of up to `longest` bytes, one field up to 31.
void SetFace(LogFontA* font, TextValue face, size_t longest) {
  size_t n = face ? std::strlen(face) : 0;
  if (n == 0 || n > longest) {
    face = kDefaultFontFace;
    n = std::strlen(face);
  }
  std::memset(font->lfFaceName, 0, sizeof font->lfFaceName);
  std::memcpy(font->lfFaceName, face, n);
}

int32_t FaceLength(const LogFontA& font) {
  return static_cast<int32_t>(strnlen(font.lfFaceName, sizeof font.lfFaceName));
}

int32_t Height(int64_t size) { return size <= 0 ? 0 : -static_cast<int32_t>(size > 0x7FFF ? 0x7FFF : size); }

Bytes CursorWithKind(int32_t kind, const uint8_t* rest, uint32_t rest_size) {
  Bytes out(NewByteArray(nullptr, static_cast<int32_t>(4 + rest_size)));
  auto* data = const_cast<uint8_t*>(out.data());
  std::memcpy(data, &kind, 4);
  if (rest_size) std::memcpy(data + 4, rest, rest_size);
  return out;
}

}  // namespace

int32_t NormalizeChoice(int64_t v) { return v < 0 ? 0 : static_cast<int32_t>(v); }
int32_t NormalizeBool(int64_t v) { return v != 0 ? 1 : 0; }
int32_t BoolForReading(int64_t v) { return v == 1 ? 1 : 0; }

int32_t ClampPosition(int64_t v) {
  return static_cast<int32_t>(v < -kMaxCoordinate ? -kMaxCoordinate
                                                  : (v > kMaxCoordinate ? kMaxCoordinate : v));
}
int32_t ClampSize(int64_t v) {
  return static_cast<int32_t>(v < 0 ? 0 : (v > kMaxCoordinate ? kMaxCoordinate : v));
}

bool ApplyFontValue(LogFontA* font, int32_t sub, const PropertyIn& v) {
  int64_t n = v.number;
  switch (sub) {
    case -1: {
      FontRecord whole = v.font ? *v.font : FontRecord{};
      font->lfEscapement = font->lfOrientation = whole.angle % 3600;
      font->lfWeight = whole.bold ? 700 : 0;
      font->lfItalic = whole.italic ? 1 : 0;
      font->lfUnderline = whole.underline ? 1 : 0;
      font->lfStrikeOut = whole.strikeout ? 1 : 0;
      font->lfHeight = Height(whole.size);
      SetFace(font, whole.face, 30);
      return true;
    }
    case kFontAngle:
      font->lfEscapement = font->lfOrientation = static_cast<int32_t>(n % 3600);
      return true;
    case kFontBold:
      font->lfWeight = n ? 700 : 0;
      return true;
    case kFontItalic:
      font->lfItalic = n ? 1 : 0;
      return true;
    case kFontUnderline:
      font->lfUnderline = n ? 1 : 0;
      return true;
    case kFontStrikeout:
      font->lfStrikeOut = n ? 1 : 0;
      return true;
    case kFontSize:
      font->lfHeight = Height(n);
      return true;
    case kFontFace:
      SetFace(font, v.text, 31);
      return true;
    default:
      return false;
  }
}

bool ReadFontValue(const LogFontA& font, int32_t sub, PropertyOut* out) {
  int32_t size = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  switch (sub) {
    case -1:
      out->font = {font.lfEscapement,
                   font.lfWeight >= 700,
                   font.lfItalic != 0,
                   font.lfUnderline != 0,
                   font.lfStrikeOut != 0,
                   size,
                   nullptr};
      out->text = FaceLength(font) ? Text(NewText(font.lfFaceName, FaceLength(font))) : Text();
      out->font.face = out->text.get();
      return true;
    case kFontAngle:
      out->number = font.lfEscapement;
      return true;
    case kFontBold:
      out->number = font.lfWeight >= 700;
      return true;
    case kFontItalic:
      out->number = font.lfItalic != 0;
      return true;
    case kFontUnderline:
      out->number = font.lfUnderline != 0;
      return true;
    case kFontStrikeout:
      out->number = font.lfStrikeOut != 0;
      return true;
    case kFontSize:
      out->number = size;
      return true;
    case kFontFace:
      out->text = FaceLength(font) ? Text(NewText(font.lfFaceName, FaceLength(font))) : Text();
      return true;
    default:
      return false;
  }
}

int32_t SystemCursorFromIndex(int32_t index) {
  return index >= 1 && index <= kSystemCursorCount ? kSystemCursors[index - 1] : 0;
}

int32_t IndexFromSystemCursor(int32_t id) {
  for (int32_t i = 0; i < kSystemCursorCount; ++i) {
    if (kSystemCursors[i] == id) return i + 1;
  }
  return 0;
}

Bytes TranslateCursorIn(ByteArray value) {
  int32_t n = value ? value->length : 0;
  if (n < 4) return Bytes();
  int32_t kind;
  std::memcpy(&kind, ByteArrayData(value), 4);
  if (kind == kCustomCursor)
    return CursorWithKind(kind, ByteArrayData(value) + 4, static_cast<uint32_t>(n - 4));
  int32_t id = SystemCursorFromIndex(kind);
  return id ? CursorWithKind(id, nullptr, 0) : Bytes();
}

Bytes TranslateCursorOut(ByteView stored) {
  if (stored.size < 4) return Bytes();
  int32_t kind = static_cast<int32_t>(LoadU32(stored.data));
  if (kind == kCustomCursor) return CursorWithKind(kind, stored.data + 4, stored.size - 4);
  int32_t index = IndexFromSystemCursor(kind);
  return index ? CursorWithKind(index, nullptr, 0) : Bytes();
}
