#include "forms/live_window_win32.h"
