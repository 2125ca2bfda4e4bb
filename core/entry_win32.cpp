// The process entry: brings up the runtime, then the application, then ends.
#include <ole2.h>
#include <windows.h>

#include "base/fatal.h"
#include "base/value.h"
#include "core/handlers.h"
#include "core/update_check.h"
#include "format/program_windows.h"
#include "services/services.h"
#include "skin/native_entries.h"
#include "windows/windows_win32.h"

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

constexpr uint32_t kMainWindow = 0x52010001;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitValueModel();
  if (SUCCEEDED(OleInitialize(nullptr))) AddCleanupStep(UninitializeOle);
  EnterRunDirectory();
  ReadProgramWindows(ApplicationHandlers());
  SetUpNativeEntries();
  StartUpdateFetch();  // its answer comes while MainWindow is made
  // OnStartup runs inside, on Created; OnShutdown when the window goes.
  LoadStartWindow(kMainWindow);
  RunMessageLoop();  // returns at once when no window is left
  RunCleanupSteps();
  return 0;
}
