// The application's procedures that window events are bound to, by name.
#pragma once

#include "format/handlers.h"

HandlerTable ApplicationHandlers();
