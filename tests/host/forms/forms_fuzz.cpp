// Fuzzes the window description reader: the block, then every record's
// property stream and page list as loading a window would read them.
#include <cstddef>
#include <cstdint>

#include "forms/property_streams.h"
#include "forms/window_descriptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  WindowDescriptionTable table;
  if (!table.Parse(ByteView{data, static_cast<uint32_t>(size)}, {})) return 0;
  for (const WindowDescription& w : table.windows()) {
    w.FindRecord(0x16010002);
    for (const ControlRecord& r : w.records) {
      ForEachPageMember(r, [](int, uint32_t) {});
      switch (r.kind) {
        case kKindWindow: { WindowProperties p; ReadWindowProperties(r.properties, &p); break; }
        case kKindButton: { ButtonProperties p; ReadButtonProperties(r.properties, &p); break; }
        case kKindLabel: { LabelProperties p; ReadLabelProperties(r.properties, &p); break; }
        case kKindPicBox: { PicBoxProperties p; ReadPicBoxProperties(r.properties, &p); break; }
        case kKindEditBox: { EditBoxProperties p; ReadEditBoxProperties(r.properties, &p); break; }
        case kKindHtmlViewer: { HtmlViewerProperties p; ReadHtmlViewerProperties(r.properties, &p); break; }
        case kKindPageControl: {
          PageControlProperties p;
          if (ReadPageControlProperties(r.properties, &p) == StreamResult::kOk) {
            ReadPageList(p.Pages, [](uint32_t, const StoredPage&) {});
            ImageListStream(p.HeaderImages);
          }
          break;
        }
      }
    }
  }
  return 0;
}
