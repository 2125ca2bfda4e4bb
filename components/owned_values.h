// Copies between the stored views a kind is made from and the texts and byte
// arrays it owns afterwards. Portable. An empty value is always null here, so
// "empty reads back as null" holds wherever these are used.
#pragma once

#include <cstring>

#include "base/value.h"
#include "format/byte_stream.h"

inline Text TextFromView(ByteView v) {
  return v.size ? Text(NewText(reinterpret_cast<const char*>(v.data), v.size)) : Text();
}
inline Text CopyText(TextValue t) { return t && *t ? Text(NewText(t, std::strlen(t))) : Text(); }
inline Bytes BytesFromView(ByteView v) {
  return v.size ? Bytes(NewByteArray(v.data, static_cast<int32_t>(v.size))) : Bytes();
}
inline Bytes CopyBytes(ByteArray b) {
  return b && b->length > 0 ? Bytes(NewByteArray(ByteArrayData(b), b->length)) : Bytes();
}

inline ByteView ViewOf(const Text& t) {
  return t.get() ? ByteView{reinterpret_cast<const uint8_t*>(t.get()),
                            static_cast<uint32_t>(std::strlen(t.get()))}
                 : ByteView{};
}
inline ByteView ViewOf(const Bytes& b) { return ByteView{b.data(), static_cast<uint32_t>(b.size())}; }

// The two trailing texts (27 and 28) that Label and EditBox keep and save
// back without using them.
class KeptTexts {
 public:
  // Owns copies of the stored views and clears them.
  void Take(ByteView* text27, ByteView* text28) {
    texts_[0] = TextFromView(*text27);
    texts_[1] = TextFromView(*text28);
    *text27 = *text28 = ByteView{};
  }
  void Put(ByteView* text27, ByteView* text28) const {
    *text27 = ViewOf(texts_[0]);
    *text28 = ViewOf(texts_[1]);
  }
  // which: 0 for 27, 1 for 28.
  Text Get(int which) const { return CopyText(texts_[which].get()); }
  void Set(int which, TextValue t) { texts_[which] = CopyText(t); }

 private:
  Text texts_[2];
};
