// The HtmlViewer kind: the system's web browser control hosted in a window of
// our own, its properties turned into browser calls and its events into ours.
#pragma once

#include "components/html_site_win32.h"
#include "components/kinds_win32.h"

// Which browser object later HtmlViewers host; null puts back the system's.
// The tests hand in their own through this seam.
void SetBrowserFactory(BrowserFactory factory);
