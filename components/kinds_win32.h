// The component kinds: one table, one line a kind.
#pragma once

#include <cstdint>

#include "components/control_win32.h"
#include "forms/window_descriptions.h"

struct ComponentKind {
  uint32_t id;                // KindId
  const char* name;           // as the descriptions name it
  int property_count;         // the common ones included
  const PropertyType* types;  // property_count - 8 entries: the kind's own
  // Makes the control and its window; null when creation fails (including a
  // stored stream of a version the kind does not know).
  Control* (*create)(const CreateArgs& args);
};

// The kind with that identifier, or null.
const ComponentKind* FindComponentKind(uint32_t kind_id);

// The basic kinds, each in its own file; PageControl has its own header.
extern const ComponentKind kWindowKind;
extern const ComponentKind kLabelKind;
extern const ComponentKind kButtonKind;
extern const ComponentKind kEditBoxKind;
extern const ComponentKind kPicBoxKind;
extern const ComponentKind kHtmlViewerKind;
