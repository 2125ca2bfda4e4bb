// The application's procedures that window events are bound to, by name.
#pragma once

#include "forms/handlers.h"

HandlerTable ApplicationHandlers();
