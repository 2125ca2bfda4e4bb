// The HtmlViewer kind: the system's web browser control hosted in a window of
// our own, its properties turned into browser calls and its events into ours.
#pragma once

#include "components/browser_factory_win32.h"

// Which browser object later HtmlViewers host; null puts back the system's.
// The tests hand in their own through this seam.
void SetBrowserFactory(BrowserFactory factory);

// Whether the system can show HTML; null puts back the system's own answer.
// The tests say yes for their browser object, and no to see the notice.
using HtmlEngineCheck = bool (*)();
void SetHtmlEngineCheck(HtmlEngineCheck check);
