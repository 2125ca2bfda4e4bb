// Where the content pages live while the program runs: beside the executable,
// or, for a page that place refuses (a read-only folder, a locked file, a
// folder of that name), in a folder this run made under the temp directory.
// Each placed page is held open for reading only, so another instance can
// neither rewrite nor delete it while this one may show it. Which page is on
// show is the handlers' business, not this file's.
#pragma once

#include "base/value.h"

// Writes and holds every page; true when each one is available somewhere.
// Lets go of an earlier placement first.
bool PlaceContentPages();
// What the view navigates to for page index (0-based): the file it was placed
// in, or a blank page when it is nowhere (or not placed yet).
TextValue ContentPageAddress(int index);
// Gives every placed page the hidden attribute.
void HideContentPages();
// Lets go of the pages and deletes the files this run placed them in, and its
// temp folder; a page another instance still holds stays for it, and a file of
// the same name that refused the page is never touched.
void RemoveContentPages();
