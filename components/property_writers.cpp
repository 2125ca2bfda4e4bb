#include "components/property_writers.h"

#include <vector>

#include "format/property_encoder.h"

namespace {

template <typename P>
Bytes WriteFields(const P& p) {
  const std::vector<uint8_t> out = EncodeProperties(p, p.version);
  return Bytes(NewByteArray(out.data(), static_cast<int32_t>(out.size())));
}

}  // namespace

Bytes WriteWindowProperties(const WindowProperties& p) { return WriteFields(p); }
Bytes WriteButtonProperties(const ButtonProperties& p) { return WriteFields(p); }
Bytes WriteLabelProperties(const LabelProperties& p) { return WriteFields(p); }
Bytes WritePicBoxProperties(const PicBoxProperties& p) { return WriteFields(p); }
Bytes WriteEditBoxProperties(const EditBoxProperties& p) { return WriteFields(p); }
Bytes WriteHtmlViewerProperties(const HtmlViewerProperties& p) { return WriteFields(p); }
