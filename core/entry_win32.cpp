// The process entry: brings up the runtime, then the application, then ends.
#include <ole2.h>
#include <windows.h>

#include "base/fatal.h"
#include "base/value.h"
#include "core/handlers.h"
#include "core/services.h"
#include "core/startup.h"
#include "forms/program_windows.h"
#include "skin/native_entries.h"

namespace {

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

// Records the executable's directory and makes it the current directory.
void EnterRunDirectory() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) {
    buf[0] = '\0';  // no usable path: the run directory stays empty
  }
  RecordRunDirectory(buf, IsAnsiLeadByte);
  Text dir = GetRunDirectory();
  if (dir.get()) SetCurrentDirectoryA(dir.get());
}

void UninitializeOle() { OleUninitialize(); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitValueModel();
  if (SUCCEEDED(OleInitialize(nullptr))) AddCleanupStep(UninitializeOle);
  EnterRunDirectory();
  ReadProgramWindows(ApplicationHandlers());
  SetUpNativeEntries();
  // Until windows are loaded from their descriptions, the main window's first and
  // last handlers run here back to back.
  OnStartup();
  OnShutdown();
  RunCleanupSteps();
  return 0;
}
