// The component kinds: one table, one line a kind.
#pragma once

#include <cstdint>

#include "components/control_win32.h"
#include "format/window_descriptions.h"

// How a designer lists one of a kind's own properties (texts in GBK).
struct PropertyText {
  const char* name;  // as the descriptions name it
  const char* display;
  const char* description;
  const char* const* choices = nullptr;  // a choice property's values, from 0
  int choice_count = 0;
};

// How a designer lists one of a kind's events (texts in GBK).
struct EventText {
  const char* name;
  const char* display;
  const char* description = nullptr;       // null: none
  const char* const* arguments = nullptr;  // the arguments' display names
  int argument_count = 0;
};

// A kind's create entry: the control, or null with nothing left behind when
// its Create refuses.
template <typename K>
Control* MakeControl(const CreateArgs& args) {
  auto* control = new K(args);
  if (control->Create(args)) return control;
  if (control->hwnd()) DestroyWindow(control->hwnd());
  delete control;
  return nullptr;
}

struct ComponentKind {
  uint32_t id;                // KindId
  const char* name;           // as the descriptions name it
  int property_count;         // the common ones included
  const PropertyType* types;  // property_count - 8 entries: the kind's own
  // Makes the control and its window; null when creation fails (including a
  // stored stream of a version the kind does not know).
  Control* (*create)(const CreateArgs& args);
  // What a designer lists; null for a kind that carries no such tables.
  const PropertyText* property_texts = nullptr;  // property_count - 8 entries
  const EventText* events = nullptr;
  int event_count = 0;
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
