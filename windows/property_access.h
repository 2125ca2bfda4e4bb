// The two entry points every property read and write goes through, addressed
// by (window identifier, control identifier, property index, sub-index).
#pragma once

#include <cstdint>

#include "components/property_values.h"

// A window that is not loaded, a control the window lacks and an index past
// the kind's property count all end the program with the fatal report.
void SetControlProperty(uint32_t window_id, uint32_t control_id, int32_t index, int32_t sub,
                        const PropertyIn& value);
PropertyOut GetControlProperty(uint32_t window_id, uint32_t control_id, int32_t index, int32_t sub);

// Shorthands for the values the application writes and reads.
void SetControlNumber(uint32_t window_id, uint32_t control_id, int32_t index, int64_t value);
void SetControlText(uint32_t window_id, uint32_t control_id, int32_t index, TextValue text);
Text GetControlText(uint32_t window_id, uint32_t control_id, int32_t index);
int64_t GetControlNumber(uint32_t window_id, uint32_t control_id, int32_t index);
