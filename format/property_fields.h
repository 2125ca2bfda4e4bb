// Each kind's stored fields in stream order, after the version, written once:
// the reader (property_streams.cpp), the writers (components/property_writers.cpp,
// components/page_codec.cpp), the form compiler's property table and the
// components' index names all walk these lists, so they cannot drift apart.
// VisitFields(properties, f) calls f(info, &field) for each field, the field
// const when the properties are.
#pragma once

#include <concepts>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "format/property_streams.h"

// How a field is stored; the C++ type of the field tells the reader as much,
// the form compiler needs the finer kinds.
enum class FieldType : uint8_t {
  kInt,        // 32 bits: integer, choice or bool
  kColour,     // 32-bit COLORREF
  kChar16,     // one UTF-16 unit
  kText,       // counted GBK text
  kMedia,      // counted bytes of a picture, icon or sound
  kFont,       // counted LOGFONTA, 60 bytes or none
  kRawFont,    // a LOGFONTA without a count
  kPageList,   // counted page list block
  kImageList,  // counted image-list block
  kReserved,   // words written as 0 and skipped on reading
};

struct FieldInfo {
  const char* name;  // the property's name in form sources
  int32_t index;     // property index, common ones included; 0 for reserved words
  FieldType type;
  uint32_t since;  // first stream version that stores it
};

// Reserved words between fields: how many.
struct ReservedWords {
  uint32_t count;
};
inline constexpr ReservedWords kOneWord{1}, kThreeWords{3};

#define VELMORA_FIELD(TYPE, NAME, INDEX, SINCE) f(FieldInfo{#NAME, INDEX, FieldType::k##TYPE, SINCE}, &p.NAME)
#define VELMORA_RESERVED(WORDS) f(FieldInfo{"", 0, FieldType::kReserved, 1}, &WORDS)

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, WindowProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, Border, 9, 1);
  VELMORA_FIELD(Int, PictureMode, 12, 1);
  VELMORA_FIELD(Colour, BackColor, 10, 1);
  VELMORA_FIELD(Int, MaxButton, 16, 1);
  VELMORA_FIELD(Int, MinButton, 17, 1);
  VELMORA_FIELD(Int, ControlBox, 15, 1);
  VELMORA_FIELD(Int, Position, 18, 1);
  VELMORA_FIELD(Int, Movable, 19, 1);
  VELMORA_FIELD(Int, SoundRepeat, 14, 1);
  VELMORA_FIELD(Int, EnterMovesFocus, 21, 1);
  VELMORA_FIELD(Int, EscCloses, 22, 1);
  VELMORA_FIELD(Int, F1OpensHelp, 23, 1);
  VELMORA_FIELD(Int, HelpContext, 25, 1);
  VELMORA_FIELD(Int, ShowInTaskbar, 26, 2);
  VELMORA_FIELD(Int, DragAnywhere, 27, 3);
  VELMORA_FIELD(Int, Shape, 28, 3);
  VELMORA_FIELD(Int, TopMost, 29, 4);
  VELMORA_FIELD(Int, KeepCaptionActive, 30, 5);
  VELMORA_FIELD(Text, ClassName, 31, 6);
  VELMORA_FIELD(Media, BackPicture, 11, 1);
  VELMORA_FIELD(Media, Icon, 20, 1);
  VELMORA_FIELD(Media, BackSound, 13, 1);
  VELMORA_FIELD(Text, Caption, 8, 1);
  VELMORA_FIELD(Text, HelpFile, 24, 1);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, ButtonProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, ButtonType, 9, 1);
  VELMORA_FIELD(Int, HAlign, 11, 1);
  VELMORA_FIELD(Int, VAlign, 12, 1);
  VELMORA_FIELD(Media, Picture, 8, 1);
  VELMORA_FIELD(Font, Font, 13, 1);
  VELMORA_FIELD(Text, Caption, 10, 1);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, LabelProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, Choice9, 9, 1);
  VELMORA_FIELD(Int, Integer11, 11, 1);
  VELMORA_FIELD(Int, Border, 10, 1);
  VELMORA_FIELD(Colour, Colour12, 12, 1);
  VELMORA_FIELD(Colour, Colour13, 13, 1);
  VELMORA_FIELD(Colour, Colour14, 14, 1);
  VELMORA_FIELD(Colour, TextColor, 16, 1);
  VELMORA_FIELD(Colour, BackColor, 17, 1);
  VELMORA_FIELD(Int, PictureMode, 19, 1);
  VELMORA_FIELD(Int, Choice20, 20, 1);
  VELMORA_FIELD(Colour, Colour21, 21, 1);
  VELMORA_FIELD(Colour, Colour22, 22, 1);
  VELMORA_FIELD(Colour, Colour23, 23, 1);
  VELMORA_FIELD(Int, Align, 24, 1);
  VELMORA_FIELD(Int, VAlign, 26, 1);
  VELMORA_FIELD(Int, WordWrap, 25, 1);
  VELMORA_FIELD(Font, Font, 15, 1);
  VELMORA_FIELD(Media, BackPicture, 18, 1);
  VELMORA_FIELD(Text, Caption, 8, 1);
  VELMORA_FIELD(Text, Text27, 27, 2);
  VELMORA_FIELD(Text, Text28, 28, 2);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, PicBoxProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, Border, 8, 1);
  VELMORA_FIELD(Colour, BackColor, 9, 1);
  VELMORA_FIELD(Int, DisplayMode, 11, 1);
  VELMORA_FIELD(Int, Bool12, 12, 1);
  VELMORA_FIELD(Media, Picture, 10, 1);
  VELMORA_FIELD(Text, Text13, 13, 2);
  VELMORA_FIELD(Text, Text14, 14, 2);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, EditBoxProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, Border, 9, 1);
  VELMORA_FIELD(Colour, TextColor, 10, 1);
  VELMORA_FIELD(Colour, BackColor, 11, 1);
  VELMORA_FIELD(Int, HideSelection, 13, 1);
  VELMORA_FIELD(Int, MaxLength, 14, 1);
  VELMORA_FIELD(Int, MultiLine, 15, 1);
  VELMORA_FIELD(Int, ScrollBars, 16, 1);
  VELMORA_FIELD(Int, Align, 17, 1);
  VELMORA_FIELD(Int, InputMode, 18, 1);
  VELMORA_FIELD(Char16, PasswordChar, 19, 1);
  VELMORA_FIELD(Int, Choice20, 20, 1);
  VELMORA_FIELD(Int, Choice21, 21, 1);
  VELMORA_FIELD(Int, Integer22, 22, 1);
  VELMORA_FIELD(Int, Integer23, 23, 1);
  VELMORA_FIELD(Int, SelectionStart, 24, 1);
  VELMORA_FIELD(Int, SelectionLength, 25, 1);
  VELMORA_FIELD(Font, Font, 12, 1);
  VELMORA_FIELD(Text, Content, 8, 1);
  VELMORA_FIELD(Text, Text27, 27, 2);
  VELMORA_FIELD(Text, Text28, 28, 2);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, HtmlViewerProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, FontSize, 8, 1);
  VELMORA_FIELD(Int, Offline, 9, 1);
  VELMORA_FIELD(Int, Silent, 10, 1);
  VELMORA_FIELD(Text, url, 11, 1);
}

template <typename P, typename F>
requires std::same_as<std::remove_const_t<P>, PageControlProperties>
constexpr void VisitFields(P& p, F& f) {
  VELMORA_FIELD(Int, HeaderPosition, 8, 1);
  VELMORA_FIELD(Int, MultiRow, 9, 1);
  VELMORA_FIELD(Int, CurrentPage, 12, 1);
  VELMORA_FIELD(Int, HideHeaders, 13, 1);
  VELMORA_FIELD(RawFont, Font, 10, 1);
  VELMORA_FIELD(PageList, Pages, 11, 1);
  VELMORA_FIELD(Int, HeaderHeight, 18, 1);
  VELMORA_FIELD(Int, HeaderStyle19, 19, 1);
  VELMORA_FIELD(Int, HeaderStyle20, 20, 1);
  VELMORA_FIELD(Int, HeaderStyle21, 21, 1);
  VELMORA_FIELD(ImageList, HeaderImages, 22, 1);
  VELMORA_FIELD(ImageList, SecondHeaderImages, 23, 1);
  VELMORA_FIELD(ImageList, ScrollButtonImages, 24, 1);
  VELMORA_FIELD(Media, Picture, 25, 1);
  VELMORA_FIELD(Int, HeaderStripOption, 28, 1);
  VELMORA_FIELD(Colour, StripColour, 29, 1);
  VELMORA_FIELD(Colour, HeaderColour, 30, 1);
  VELMORA_FIELD(Colour, CurrentHeaderColour, 31, 1);
  VELMORA_RESERVED(kOneWord);
  VELMORA_FIELD(Colour, HeaderTextColour, 38, 1);
  VELMORA_FIELD(Colour, CurrentHeaderTextColour, 39, 1);
  VELMORA_FIELD(Colour, HotHeaderTextColour, 40, 1);
  VELMORA_RESERVED(kOneWord);
  VELMORA_FIELD(Colour, HotHeaderColour, 34, 1);
  VELMORA_FIELD(Colour, HeaderBorderColour, 35, 1);
  VELMORA_FIELD(Colour, ScrollButtonColour, 44, 1);
  VELMORA_RESERVED(kOneWord);
  VELMORA_FIELD(Int, HiddenPagesSelectable, 48, 1);
  VELMORA_FIELD(Int, DisabledPagesSelectable, 49, 1);
  VELMORA_RESERVED(kThreeWords);
  VELMORA_FIELD(Int, AltHeaderColours, 53, 2);
  VELMORA_FIELD(Colour, AltHeaderColour, 54, 2);
  VELMORA_FIELD(Colour, AltCurrentHeaderColour, 55, 2);
  VELMORA_FIELD(Colour, AltHotHeaderColour, 56, 2);
  VELMORA_FIELD(Int, HeadersLocked, 14, 3);
  VELMORA_FIELD(Int, SideHeaderOption, 47, 5);
  VELMORA_FIELD(Int, DefaultFont, 0, 6);  // no property of its own: replaces Font by the default GUI font
  VELMORA_FIELD(Int, NoHotEventOnCurrent, 62, 7);
}

#undef VELMORA_FIELD
#undef VELMORA_RESERVED

namespace field_lookup {

// Not constexpr: reaching it in OwnIndex stops the compilation.
void NotAStoredPropertyOfThisKind();

struct IndexOf {
  std::string_view name;
  int32_t index = -1;
  template <typename T>
  constexpr void operator()(const FieldInfo& info, T*) {
    if (name == info.name) index = info.index;
  }
};

struct Highest {
  int32_t index = 0;
  template <typename T>
  constexpr void operator()(const FieldInfo& info, T*) {
    if (info.index > index) index = info.index;
  }
};

template <typename W>
struct WordAt {
  int32_t index;
  W* found = nullptr;
  void operator()(const FieldInfo& info, int32_t* v) { Take(info, v); }
  void operator()(const FieldInfo& info, uint32_t* v) { Take(info, v); }
  template <typename T>
  void operator()(const FieldInfo&, T*) {}
  void Take(const FieldInfo& info, void* v) {
    if (info.index >= 8 && info.index == index) found = static_cast<W*>(v);
  }
};

}  // namespace field_lookup

// The stored 32-bit field (integer, choice, bool or colour) at a kind-specific
// index, as W (int32_t or uint32_t), or null when no such field is stored there.
template <typename W, typename P>
W* NumberFieldAt(P& p, int32_t own_index) {
  field_lookup::WordAt<W> f{own_index + 8};
  VisitFields(p, f);
  return f.found;
}

// A stored field's kind-specific index (property index minus 8), as the kinds'
// GetProperty and SetProperty take it; a name the list lacks does not compile.
template <typename P>
consteval int32_t OwnIndex(std::string_view name) {
  P p{};
  field_lookup::IndexOf f{name};
  VisitFields(p, f);
  if (f.index < 8) field_lookup::NotAStoredPropertyOfThisKind();
  return f.index - 8;
}

// A stored field's property index, common ones included.
template <typename P>
consteval int32_t PropertyIndex(std::string_view name) {
  return OwnIndex<P>(name) + 8;
}

// Properties of a kind whose highest index is stored, common ones included.
template <typename P>
consteval int32_t StoredPropertyCount() {
  P p{};
  field_lookup::Highest f;
  VisitFields(p, f);
  return f.index + 1;
}
