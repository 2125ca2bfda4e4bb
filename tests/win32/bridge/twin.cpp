// bridge_twin.dll, built twice under one name: VELMORA_TWIN 1 for the run
// directory, 2 for the search path. Logs its attach and detach to the file
// named by VELMORA_BRIDGE_LOG, so a test sees when it was unloaded.
#include <windows.h>

#include <cstdio>

namespace {
void LogLine(const char* what) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("VELMORA_BRIDGE_LOG", path, MAX_PATH)) return;
  HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                         nullptr);
  char line[32];
  int n = std::snprintf(line, sizeof line, "%s %d\n", what, VELMORA_TWIN);
  DWORD written = 0;
  WriteFile(f, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(f);
}
}  // namespace

extern "C" __declspec(dllexport) int WhichTwin() { return VELMORA_TWIN; }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LogLine("attach");
  if (reason == DLL_PROCESS_DETACH) LogLine("detach");
  return TRUE;
}
