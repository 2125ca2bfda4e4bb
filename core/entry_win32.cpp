// The process entry: brings up the runtime, then the application, then ends.
#include <ole2.h>
#include <windows.h>

#include "base/bench_marks.h"
#include "base/fatal.h"
#include "base/system_library_win32.h"
#include "base/value.h"
#include "core/handlers.h"
#include "core/run_directory_win32.h"
#include "core/update_check.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "skin/native_entries.h"
#include "windows/windows_win32.h"

namespace {

void UninitializeOle() { OleUninitialize(); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  VELMORA_BENCH_MARK("entry");
  LimitLibrarySearch();  // before OLE or anything else loads a DLL by name
  InitValueModel();
  if (SUCCEEDED(OleInitialize(nullptr))) AddCleanupStep(UninitializeOle);
  EnterRunDirectory();
  VELMORA_BENCH_MARK("runtime");
  ReadProgramWindows(ApplicationHandlers());
  SetUpNativeEntries();
  VELMORA_BENCH_MARK("descriptions");
  StartUpdateFetch();  // its answer comes while MainWindow is made
  VELMORA_BENCH_MARK("fetch started");
  // OnStartup runs inside, on Created; OnShutdown when the window goes.
  LoadStartWindow(ids::MainWindow);
  RunMessageLoop();  // returns at once when no window is left
  RunCleanupSteps();
  return 0;
}
