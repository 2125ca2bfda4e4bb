#include "format/property_streams.h"

#include <cstring>

#include "format/property_fields.h"

namespace {

// Typed reads over a stream; each keeps the stream's sticky failure. Fields
// newer than the stream's version keep their defaults.
struct FieldReader {
  ByteStream s;
  uint32_t version = 0;

  template <typename T>
  void operator()(const FieldInfo& info, T* v) {
    if (info.since <= version) Read(v);
  }
  void Read(int32_t* v) { s.I32(v); }
  void Read(uint32_t* v) { s.U32(v); }
  void Read(ByteView* v) { s.Counted(v); }
  void Read(uint16_t* v) { s.U16(v); }
  void Read(StoredFont* f) {
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
  void Read(LogFontA* f) {
    ByteView bytes;
    if (s.Bytes(sizeof(LogFontA), &bytes)) std::memcpy(f, bytes.data, sizeof(LogFontA));
  }
  void Read(const ReservedWords* r) { s.Skip(4 * r->count); }

  StreamResult Result() const { return s.ok() ? StreamResult::kOk : StreamResult::kDamaged; }
};

// A kind's whole read: defaults, the version, then its field list.
template <typename P>
StreamResult ReadFields(ByteView stream, P* p, uint32_t highest) {
  *p = P{};
  FieldReader r{ByteStream(stream)};
  if (!r.s.U32(&p->version)) return StreamResult::kDamaged;
  if (p->version > highest) return StreamResult::kVersionTooHigh;
  r.version = p->version;
  VisitFields(*p, r);
  return r.Result();
}

}  // namespace

StreamResult ReadWindowProperties(ByteView stream, WindowProperties* p) {
  return ReadFields(stream, p, kWindowStreamVersion);
}

StreamResult ReadButtonProperties(ByteView stream, ButtonProperties* p) {
  return ReadFields(stream, p, kButtonStreamVersion);
}

StreamResult ReadLabelProperties(ByteView stream, LabelProperties* p) {
  return ReadFields(stream, p, kLabelStreamVersion);
}

StreamResult ReadPicBoxProperties(ByteView stream, PicBoxProperties* p) {
  return ReadFields(stream, p, kPicBoxStreamVersion);
}

StreamResult ReadEditBoxProperties(ByteView stream, EditBoxProperties* p) {
  return ReadFields(stream, p, kEditBoxStreamVersion);
}

StreamResult ReadHtmlViewerProperties(ByteView stream, HtmlViewerProperties* p) {
  return ReadFields(stream, p, kHtmlViewerStreamVersion);
}

StreamResult ReadPageControlProperties(ByteView stream, PageControlProperties* p) {
  // Later versions only add fields at the end, so any version is readable.
  if (StreamResult r = ReadFields(stream, p, UINT32_MAX); r != StreamResult::kOk) return r;
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
