#include "format/property_streams.h"

#include <cstring>

#include "format/property_fields.h"

namespace {

// Typed reads over a stream; each keeps the stream's sticky failure.
struct FieldReader {
  ByteStream s;

  void Int(int32_t* v) { s.I32(v); }
  void Colour(uint32_t* v) { s.U32(v); }
  void Counted(ByteView* v) { s.Counted(v); }
  void Char16(uint16_t* v) { s.U16(v); }
  void Font(StoredFont* f) {
    ByteView bytes;
    if (!s.Counted(&bytes)) return;
    if (bytes.size == 0) {
      f->present = false;
    } else if (bytes.size == sizeof(LogFontA)) {
      f->present = true;
      std::memcpy(&f->font, bytes.data, sizeof(LogFontA));
    } else {
      s.Fail();  // a font is 60 bytes or nothing
    }
  }
  void RawFont(LogFontA* f) {
    ByteView bytes;
    if (s.Bytes(sizeof(LogFontA), &bytes)) std::memcpy(f, bytes.data, sizeof(LogFontA));
  }
  void Reserved(int n) { s.Skip(4 * n); }

  // Reads the version into *version; false stops the caller.
  bool Version(uint32_t* version, uint32_t highest, StreamResult* result) {
    if (!s.U32(version)) {
      *result = StreamResult::kDamaged;
      return false;
    }
    if (*version > highest) {
      *result = StreamResult::kVersionTooHigh;
      return false;
    }
    return true;
  }
  StreamResult Result() const { return s.ok() ? StreamResult::kOk : StreamResult::kDamaged; }
};

// Starts a kind's read: defaults first, then the version check.
template <typename P>
bool Begin(FieldReader& r, P* out, uint32_t highest, StreamResult* result) {
  *out = P{};
  return r.Version(&out->version, highest, result);
}

// A kind's whole read: defaults, the version, then its field list.
template <typename P, typename Fields>
StreamResult ReadFields(ByteView stream, P* p, uint32_t highest, Fields fields) {
  FieldReader r{ByteStream(stream)};
  StreamResult result;
  if (!Begin(r, p, highest, &result)) return result;
  fields(*p, r);
  return r.Result();
}

}  // namespace

StreamResult ReadWindowProperties(ByteView stream, WindowProperties* p) {
  return ReadFields(stream, p, kWindowStreamVersion, [](auto& q, auto& r) { WindowFields(q, r); });
}

StreamResult ReadButtonProperties(ByteView stream, ButtonProperties* p) {
  return ReadFields(stream, p, kButtonStreamVersion, [](auto& q, auto& r) { ButtonFields(q, r); });
}

StreamResult ReadLabelProperties(ByteView stream, LabelProperties* p) {
  return ReadFields(stream, p, kLabelStreamVersion, [](auto& q, auto& r) { LabelFields(q, r); });
}

StreamResult ReadPicBoxProperties(ByteView stream, PicBoxProperties* p) {
  return ReadFields(stream, p, kPicBoxStreamVersion, [](auto& q, auto& r) { PicBoxFields(q, r); });
}

StreamResult ReadEditBoxProperties(ByteView stream, EditBoxProperties* p) {
  return ReadFields(stream, p, kEditBoxStreamVersion, [](auto& q, auto& r) { EditBoxFields(q, r); });
}

StreamResult ReadHtmlViewerProperties(ByteView stream, HtmlViewerProperties* p) {
  return ReadFields(stream, p, kHtmlViewerStreamVersion, [](auto& q, auto& r) { HtmlViewerFields(q, r); });
}

StreamResult ReadPageControlProperties(ByteView stream, PageControlProperties* p) {
  FieldReader r{ByteStream(stream)};
  StreamResult result;
  // Later versions only add fields at the end, so any version is readable.
  if (!Begin(r, p, UINT32_MAX, &result)) return result;
  r.Int(&p->HeaderPosition);
  r.Int(&p->MultiRow);
  r.Int(&p->CurrentPage);
  r.Int(&p->HideHeaders);
  r.RawFont(&p->Font);
  r.Counted(&p->Pages);
  r.Int(&p->HeaderHeight);
  r.Int(&p->p19);
  r.Int(&p->p20);
  r.Int(&p->p21);
  r.Counted(&p->HeaderImages);
  r.Counted(&p->p23);
  r.Counted(&p->ScrollButtonImages);
  r.Counted(&p->p25);
  r.Int(&p->p28);
  r.Colour(&p->p29);
  r.Colour(&p->p30);
  r.Colour(&p->p31);
  r.Reserved(1);
  r.Colour(&p->p38);
  r.Colour(&p->p39);
  r.Colour(&p->p40);
  r.Reserved(1);
  r.Colour(&p->p34);
  r.Colour(&p->p35);
  r.Colour(&p->p44);
  r.Reserved(1);
  r.Int(&p->p48);
  r.Int(&p->p49);
  r.Reserved(3);
  if (p->version > 1) {
    r.Int(&p->p53);
    r.Colour(&p->p54);
    r.Colour(&p->p55);
    r.Colour(&p->p56);
  }
  if (p->version > 2) r.Int(&p->HeadersLocked);
  if (p->version > 4) r.Int(&p->p47);
  if (p->version > 5) r.Int(&p->DefaultFont);
  if (p->version > 6) r.Int(&p->p62);
  if (r.Result() != StreamResult::kOk) return StreamResult::kDamaged;
  // The page list is part of the stream: a damaged one damages the stream.
  return ReadPageList(p->Pages, [](uint32_t, const StoredPage&) {});
}

StreamResult ReadPageListHeader(ByteStream& s, uint32_t* version, uint32_t* count) {
  constexpr uint32_t kSmallestPage = 4 + 20 * 4;  // empty caption and the words of version 1
  if (!s.U32(version) || !s.U32(count) || *count > s.remaining() / kSmallestPage)
    return StreamResult::kDamaged;
  return StreamResult::kOk;
}

bool ReadStoredPage(ByteStream& s, uint32_t version, StoredPage* page) {
  s.Counted(&page->caption);
  for (int32_t& v : page->header_images) s.I32(&v);
  s.I32(&page->reserved[0]);
  for (int t = 0; t < 3; ++t) {
    for (int32_t& v : page->attributes[t]) s.I32(&v);
    s.I32(&page->reserved[t + 1]);
  }
  s.I32(&page->shown);
  s.I32(&page->enabled);
  s.I32(&page->reserved[4]);
  s.I32(&page->reserved[5]);
  if (version > 1) s.Counted(&page->tooltip);
  if (version > 2) s.I32(&page->excluded);
  uint32_t groups;
  if (s.U32(&groups)) {
    if (groups > s.remaining() / 16) return s.Fail();
    s.Bytes(16 * groups, &page->groups);
  }
  return s.ok();
}

ByteView ImageListStream(ByteView block) {
  if (block.size <= 8 || std::memcmp(block.data, "MITL", 4) != 0) return {};
  return ByteView{block.data + 8, block.size - 8};
}
