#include "components/property_writers.h"

#include <cstring>
#include <vector>

#include "format/property_fields.h"

namespace {

// Little-endian fields into a growing buffer, then one byte array.
class StreamWriter {
 public:
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Int(const int32_t* v) { U32(static_cast<uint32_t>(*v)); }
  void Colour(const uint32_t* v) { U32(*v); }
  void Char16(const uint16_t* v) {
    out_.push_back(static_cast<uint8_t>(*v));
    out_.push_back(static_cast<uint8_t>(*v >> 8));
  }
  void Counted(const ByteView* v) {
    U32(v->size);
    if (v->size) out_.insert(out_.end(), v->data, v->data + v->size);
  }
  void Font(const StoredFont* f) {
    if (!f->present) return U32(0);
    U32(sizeof(LogFontA));
    const auto* p = reinterpret_cast<const uint8_t*>(&f->font);
    out_.insert(out_.end(), p, p + sizeof(LogFontA));
  }
  Bytes Take() const { return Bytes(NewByteArray(out_.data(), static_cast<int32_t>(out_.size()))); }

 private:
  std::vector<uint8_t> out_;
};

// A kind's whole stream: the version, then its field list.
template <typename P, typename Fields>
Bytes WriteFields(const P& p, Fields fields) {
  StreamWriter w;
  w.U32(p.version);
  fields(p, w);
  return w.Take();
}

}  // namespace

Bytes WriteWindowProperties(const WindowProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { WindowFields(q, w); });
}

Bytes WriteButtonProperties(const ButtonProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { ButtonFields(q, w); });
}

Bytes WriteLabelProperties(const LabelProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { LabelFields(q, w); });
}

Bytes WritePicBoxProperties(const PicBoxProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { PicBoxFields(q, w); });
}

Bytes WriteEditBoxProperties(const EditBoxProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { EditBoxFields(q, w); });
}

Bytes WriteHtmlViewerProperties(const HtmlViewerProperties& p) {
  return WriteFields(p, [](auto& q, auto& w) { HtmlViewerFields(q, w); });
}
