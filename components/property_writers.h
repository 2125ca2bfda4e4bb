// The property streams written back from a kind's current values, as the
// readers in format/property_streams.h read them: same version, same fields,
// same order (both walk format/property_fields.h). Portable. PageControl's
// stream is written by components/page_codec.h.
#pragma once

#include "base/value.h"
#include "format/property_streams.h"

Bytes WriteWindowProperties(const WindowProperties& p);
Bytes WriteButtonProperties(const ButtonProperties& p);
Bytes WriteLabelProperties(const LabelProperties& p);
Bytes WritePicBoxProperties(const PicBoxProperties& p);
Bytes WriteEditBoxProperties(const EditBoxProperties& p);
Bytes WriteHtmlViewerProperties(const HtmlViewerProperties& p);
