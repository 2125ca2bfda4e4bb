// What loading every window reads beyond the block: each record's property
// stream, and a PageControl's page list and image list. Shared by the damage
// test and the fuzz target.
#pragma once

#include "format/property_streams.h"
#include "format/window_descriptions.h"

inline bool ReadEveryStream(const WindowDescriptionTable& table) {
  bool ok = true;
  auto read = [&](auto reader, ByteView stream, auto* props) { ok = reader(stream, props) == StreamResult::kOk && ok; };
  for (const WindowDescription& w : table.windows()) {
    for (const ControlRecord& r : w.records) {
      ForEachPageMember(r, [](int, uint32_t) {});
      switch (r.kind) {
        case kKindWindow: { WindowProperties p; read(ReadWindowProperties, r.properties, &p); break; }
        case kKindButton: { ButtonProperties p; read(ReadButtonProperties, r.properties, &p); break; }
        case kKindLabel: { LabelProperties p; read(ReadLabelProperties, r.properties, &p); break; }
        case kKindPicBox: { PicBoxProperties p; read(ReadPicBoxProperties, r.properties, &p); break; }
        case kKindEditBox: { EditBoxProperties p; read(ReadEditBoxProperties, r.properties, &p); break; }
        case kKindHtmlViewer: { HtmlViewerProperties p; read(ReadHtmlViewerProperties, r.properties, &p); break; }
        case kKindPageControl: {
          PageControlProperties p;
          read(ReadPageControlProperties, r.properties, &p);
          ok = ReadPageList(p.Pages, [](uint32_t, const StoredPage&) {}) == StreamResult::kOk && ok;
          ImageListStream(p.HeaderImages);
          break;
        }
        default: ok = false;
      }
    }
  }
  return ok;
}
