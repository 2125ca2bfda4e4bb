#include "components/page_codec.h"

#include <cstring>

#include "format/property_encoder.h"

namespace {

class Writer {
 public:
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  void Counted(const void* p, size_t n) {
    U32(static_cast<uint32_t>(n));
    Raw(p, n);
  }
  void Counted(ByteView v) { Counted(v.data, v.size); }
  void Counted(const std::string& s) { Counted(s.data(), s.size()); }
  ByteBuffer Take() { return std::move(out_); }

 private:
  ByteBuffer out_;
};

std::string TextOf(ByteView v) {
  return v.empty() ? std::string() : std::string(reinterpret_cast<const char*>(v.data), v.size);
}

}  // namespace

bool PagesFromBlock(ByteView block, std::vector<Page>* pages) {
  std::vector<Page> read;
  StreamResult r = ReadPageList(block, [&](uint32_t, const StoredPage& s) {
    Page p;
    p.caption = TextOf(s.caption);
    std::memcpy(p.header_images, s.header_images, sizeof p.header_images);
    std::memcpy(p.attributes, s.attributes, sizeof p.attributes);
    std::memcpy(p.reserved, s.reserved, sizeof p.reserved);
    p.shown = s.shown;
    p.enabled = s.enabled;
    p.tooltip = TextOf(s.tooltip);
    p.excluded = s.excluded;
    p.groups = CopyOf(s.groups);
    read.push_back(std::move(p));
  });
  if (r != StreamResult::kOk) return false;
  if (read.empty()) read.emplace_back();
  *pages = std::move(read);
  return true;
}

ByteBuffer EncodePageList(const std::vector<Page>& pages) {
  Writer w;
  w.U32(kPageListVersion);
  w.U32(static_cast<uint32_t>(pages.size()));
  for (const Page& p : pages) {
    w.Counted(p.caption);
    for (int32_t v : p.header_images) w.I32(v);
    w.I32(p.reserved[0]);
    for (int t = 0; t < 3; ++t) {
      for (int32_t v : p.attributes[t]) w.I32(v);
      w.I32(p.reserved[t + 1]);
    }
    w.I32(p.shown);
    w.I32(p.enabled);
    w.I32(p.reserved[4]);
    w.I32(p.reserved[5]);
    w.Counted(p.tooltip);
    w.I32(p.excluded);
    w.U32(static_cast<uint32_t>(p.groups.size() / 16));
    w.Raw(p.groups.data(), p.groups.size() / 16 * 16);
  }
  return w.Take();
}

ByteBuffer EncodePageControlProperties(const PageControlProperties& p) {
  return EncodeProperties(p, kPageControlStreamVersion);
}
