// libFuzzer target: the HtmlViewer's stored property block. Any bytes either
// fail to read or read into values that write back into a block which reads
// as the same values and writes as the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "components/property_writers.h"
#include "format/property_streams.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

ByteView ViewOfBytes(const Bytes& b) {
  ByteArray a = b.get();
  return ByteView{ByteArrayData(a), static_cast<uint32_t>(a->length)};
}

bool Same(const HtmlViewerProperties& a, const HtmlViewerProperties& b) {
  return a.version == b.version && a.FontSize == b.FontSize && a.Offline == b.Offline && a.Silent == b.Silent &&
         a.url.size == b.url.size && (a.url.size == 0 || !std::memcmp(a.url.data, b.url.data, a.url.size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  HtmlViewerProperties read;
  if (ReadHtmlViewerProperties(ByteView{data, static_cast<uint32_t>(size)}, &read) != StreamResult::kOk) return 0;
  Check(read.url.size <= size);
  Bytes written = WriteHtmlViewerProperties(read);
  Check(written.get() != nullptr);
  HtmlViewerProperties again;
  Check(ReadHtmlViewerProperties(ViewOfBytes(written), &again) == StreamResult::kOk);
  Check(Same(read, again));
  Bytes rewritten = WriteHtmlViewerProperties(again);
  ByteView a = ViewOfBytes(written), b = ViewOfBytes(rewritten);
  Check(a.size == b.size && !std::memcmp(a.data, b.data, a.size));
  return 0;
}
