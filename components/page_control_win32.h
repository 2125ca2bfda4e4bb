// The PageControl kind: pages of child controls, one shown at a time.
#pragma once

#include "components/kinds_win32.h"

extern const ComponentKind kPageControlKind;
