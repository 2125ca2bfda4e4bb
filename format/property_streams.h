// The property streams of the seven component kinds: each reader sets every
// property to its default, checks the stored version and reads the fields that
// version has. Texts, pictures and other media stay views into the block.
// Portable. Does not apply properties to windows; the components do that.
#pragma once

#include <cstdint>

#include "format/byte_stream.h"

// Layout-identical to Windows' LOGFONTA, which the stream stores as 60 bytes.
struct LogFontA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[32];
};
static_assert(sizeof(LogFontA) == 60, "a stored font is the 60 bytes of a LOGFONTA");

// A font property: a counted block of 60 bytes, or of none.
struct StoredFont {
  bool present = false;
  LogFontA font{};
};

inline constexpr uint32_t kNoColor = 0xFF000000;

enum class StreamResult {
  kOk,
  kVersionTooHigh,  // the control cannot be made from this stream
  kDamaged,         // the stream ends early or lies about a count
};

// Field names follow the property names; a property without a name is named by
// its type and index (Colour12). Each kind's stream order is in property_fields.h.
struct WindowProperties {
  uint32_t version = 0;
  ByteView Caption;               // 8
  int32_t Border = 2;             // 9
  uint32_t BackColor = kNoColor;  // 10
  ByteView BackPicture;           // 11
  int32_t PictureMode = 1;        // 12
  ByteView BackSound;             // 13
  int32_t SoundRepeat = 0;        // 14
  int32_t ControlBox = 1;         // 15
  int32_t MaxButton = 0;          // 16
  int32_t MinButton = 0;          // 17
  int32_t Position = 1;           // 18
  int32_t Movable = 1;            // 19
  ByteView Icon;                  // 20
  int32_t EnterMovesFocus = 0;    // 21
  int32_t EscCloses = 1;          // 22
  int32_t F1OpensHelp = 0;        // 23
  ByteView HelpFile;              // 24
  int32_t HelpContext = 0;        // 25
  int32_t ShowInTaskbar = 1;      // 26
  int32_t DragAnywhere = 0;       // 27
  int32_t Shape = 0;              // 28
  int32_t TopMost = 0;            // 29
  int32_t KeepCaptionActive = 0;  // 30
  ByteView ClassName;             // 31
};

struct ButtonProperties {
  uint32_t version = 0;
  ByteView Picture;        // 8
  int32_t ButtonType = 0;  // 9
  ByteView Caption;        // 10
  int32_t HAlign = 1;      // 11
  int32_t VAlign = 1;      // 12
  StoredFont Font;         // 13
};

struct LabelProperties {
  uint32_t version = 0;
  ByteView Caption;               // 8
  int32_t Choice9 = 0;            // 9
  int32_t Border = 0;             // 10
  int32_t Integer11 = 8;          // 11
  uint32_t Colour12 = 0x808080;   // 12
  uint32_t Colour13 = 0xFFFFFF;   // 13
  uint32_t Colour14 = 0x808080;   // 14
  StoredFont Font;                // 15
  uint32_t TextColor = 0;         // 16
  uint32_t BackColor = kNoColor;  // 17
  ByteView BackPicture;           // 18
  int32_t PictureMode = 1;        // 19
  int32_t Choice20 = 0;           // 20
  uint32_t Colour21 = 0x808080;   // 21
  uint32_t Colour22 = 0xFFFFFF;   // 22
  uint32_t Colour23 = 0x808080;   // 23
  int32_t Align = 0;              // 24
  int32_t WordWrap = 0;           // 25
  int32_t VAlign = 1;             // 26
  ByteView Text27;                // 27
  ByteView Text28;                // 28
};

struct PicBoxProperties {
  uint32_t version = 0;
  int32_t Border = 0;             // 8
  uint32_t BackColor = kNoColor;  // 9
  ByteView Picture;               // 10
  int32_t DisplayMode = 0;        // 11
  int32_t Bool12 = 1;             // 12
  ByteView Text13;                // 13
  ByteView Text14;                // 14
};

struct EditBoxProperties {
  uint32_t version = 0;
  ByteView Content;               // 8
  int32_t Border = 1;             // 9
  uint32_t TextColor = 0;         // 10
  uint32_t BackColor = 0xFFFFFF;  // 11
  StoredFont Font;                // 12
  int32_t HideSelection = 1;      // 13, hide the selection when unfocused
  int32_t MaxLength = 0;          // 14
  int32_t MultiLine = 0;          // 15
  int32_t ScrollBars = 0;         // 16
  int32_t Align = 0;              // 17
  int32_t InputMode = 0;          // 18: 0 normal, 1 read-only, 2 password
  uint16_t PasswordChar = '*';    // 19
  int32_t Choice20 = 0;           // 20
  int32_t Choice21 = 0;           // 21
  int32_t Integer22 = 0;          // 22
  int32_t Integer23 = 100;        // 23
  int32_t SelectionStart = 0;           // 24
  int32_t SelectionLength = 0;          // 25
  ByteView Text27;                // 27
  ByteView Text28;                // 28
};

struct HtmlViewerProperties {
  uint32_t version = 0;
  int32_t FontSize = 2;  // 8
  int32_t Offline = 0;   // 9
  int32_t Silent = 0;    // 10
  ByteView url;          // 11
};

struct PageControlProperties {
  uint32_t version = 0;
  int32_t HeaderPosition = 0;                   // 8
  int32_t MultiRow = 1;                         // 9
  LogFontA Font{};                              // 10
  ByteView Pages;                               // 11, the page list block (ReadPageList)
  int32_t CurrentPage = 0;                      // 12
  int32_t HideHeaders = 0;                      // 13
  int32_t HeadersLocked = 0;                    // 14
  int32_t HeaderHeight = 20;                    // 18
  int32_t HeaderStyle19 = 1;                    // 19, header drawing styles
  int32_t HeaderStyle20 = 0;                    // 20
  int32_t HeaderStyle21 = 0;                    // 21
  ByteView HeaderImages;                        // 22, image-list block
  ByteView SecondHeaderImages;                  // 23, image-list block
  ByteView ScrollButtonImages;                  // 24, image-list block
  ByteView Picture;                             // 25, kept and returned
  int32_t HeaderStripOption = 0;                // 28, true: headers without a frame
  uint32_t StripColour = kNoColor;              // 29
  uint32_t HeaderColour = kNoColor;             // 30, a header's face
  uint32_t CurrentHeaderColour = kNoColor;      // 31
  uint32_t HotHeaderColour = kNoColor;          // 34
  uint32_t HeaderBorderColour = 0xB4A791;       // 35
  uint32_t HeaderTextColour = 0x000000;         // 38
  uint32_t CurrentHeaderTextColour = 0x0000FF;  // 39
  uint32_t HotHeaderTextColour = 0xFF0000;      // 40
  uint32_t ScrollButtonColour = kNoColor;       // 44
  int32_t SideHeaderOption = 0;                 // 47, left and right strips only
  int32_t HiddenPagesSelectable = 0;            // 48
  int32_t DisabledPagesSelectable = 0;          // 49
  int32_t AltHeaderColours = 0;                 // 53, true: faces from 54 to 56
  uint32_t AltHeaderColour = 0xECECEC;          // 54
  uint32_t AltCurrentHeaderColour = 0xECECEC;   // 55
  uint32_t AltHotHeaderColour = 0xECECEC;       // 56
  int32_t DefaultFont = 0;                      // replaces Font by the default GUI font
  int32_t NoHotEventOnCurrent = 0;              // 62, no hot-header event for the current page
};

inline constexpr uint32_t kWindowStreamVersion = 6;
inline constexpr uint32_t kButtonStreamVersion = 1;
inline constexpr uint32_t kLabelStreamVersion = 2;
inline constexpr uint32_t kPicBoxStreamVersion = 2;
inline constexpr uint32_t kEditBoxStreamVersion = 2;
inline constexpr uint32_t kHtmlViewerStreamVersion = 1;
inline constexpr uint32_t kPageControlStreamVersion = 7;

StreamResult ReadWindowProperties(ByteView stream, WindowProperties* out);
StreamResult ReadButtonProperties(ByteView stream, ButtonProperties* out);
StreamResult ReadLabelProperties(ByteView stream, LabelProperties* out);
StreamResult ReadPicBoxProperties(ByteView stream, PicBoxProperties* out);
StreamResult ReadEditBoxProperties(ByteView stream, EditBoxProperties* out);
StreamResult ReadHtmlViewerProperties(ByteView stream, HtmlViewerProperties* out);
// PageControl reads every field it knows from any version.
StreamResult ReadPageControlProperties(ByteView stream, PageControlProperties* out);

// One page of a PageControl's page list.
struct StoredPage {
  ByteView caption;
  int32_t header_images[3] = {-1, -1, -1};
  int32_t attributes[3][3] = {};  // the three further triples of header attributes
  int32_t reserved[6] = {};       // the words after each group, kept so a saved list matches
  int32_t shown = 1;
  int32_t enabled = 1;
  ByteView tooltip;
  int32_t excluded = 0;
  ByteView groups;  // the trailing groups of four words, kept as stored
};

// Calls on_page(index, page) for each page of a page list block. An empty
// block is a list without pages.
template <typename F>
StreamResult ReadPageList(ByteView block, F on_page);
StreamResult ReadPageListHeader(ByteStream& s, uint32_t* version, uint32_t* count);
bool ReadStoredPage(ByteStream& s, uint32_t version, StoredPage* page);

template <typename F>
StreamResult ReadPageList(ByteView block, F on_page) {
  if (block.empty()) return StreamResult::kOk;
  ByteStream s(block);
  uint32_t version, count;
  if (ReadPageListHeader(s, &version, &count) != StreamResult::kOk) return StreamResult::kDamaged;
  for (uint32_t i = 0; i < count; ++i) {
    StoredPage page;
    if (!ReadStoredPage(s, version, &page)) return StreamResult::kDamaged;
    on_page(i, page);
  }
  return StreamResult::kOk;
}

// The image-list stream inside an image-list block ("MITL", a skipped dword,
// then the stream ImageList_Read takes); empty when the block holds no list.
ByteView ImageListStream(ByteView block);
