// Writes a kind's property stream from its fields, the inverse of the readers
// in property_streams.h: the version, then the kind's field list, leaving out
// fields newer than that version. Portable; the callers wrap the bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "format/property_fields.h"

class PropertyEncoder {
 public:
  explicit PropertyEncoder(uint32_t version) : version_(version) { U32(version); }

  template <typename T>
  void operator()(const FieldInfo& info, const T* v) {
    if (info.since <= version_) Write(v);
  }
  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Write(const int32_t* v) { U32(static_cast<uint32_t>(*v)); }
  void Write(const uint32_t* v) { U32(*v); }
  void Write(const uint16_t* v) {
    out_.push_back(static_cast<uint8_t>(*v));
    out_.push_back(static_cast<uint8_t>(*v >> 8));
  }
  void Write(const ByteView* v) {
    U32(v->size);
    if (v->size) out_.insert(out_.end(), v->data, v->data + v->size);
  }
  void Write(const StoredFont* f) {
    if (!f->present) return U32(0);
    U32(sizeof(LogFontA));
    Write(&f->font);
  }
  void Write(const LogFontA* f) {
    const auto* p = reinterpret_cast<const uint8_t*>(f);
    out_.insert(out_.end(), p, p + sizeof(LogFontA));
  }
  void Write(const ReservedWords* r) {
    for (uint32_t i = 0; i < r->count; ++i) U32(0);
  }

  uint32_t version_;
  std::vector<uint8_t> out_;
};

template <typename P>
std::vector<uint8_t> EncodeProperties(const P& p, uint32_t version) {
  PropertyEncoder e(version);
  VisitFields(p, e);
  return e.Take();
}
