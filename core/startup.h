// The main window's first and last handlers: write, show and hide the pages at
// start; delete them at the end.
#pragma once

void OnStartup();
void OnShutdown();
