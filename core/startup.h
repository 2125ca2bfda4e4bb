// The main window's first and last handlers: write the pages, show the first
// of them in MainWindow and hide the files at start (saying so when a page
// could be written nowhere); delete them at the end.
#pragma once

void OnStartup();
void OnShutdown();
