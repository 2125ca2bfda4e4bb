// Stands in for a DLL somebody left beside a download: when anything loads it,
// it leaves "<its own path>.loaded" and refuses the load, so no program ever
// runs on it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH + 8];
  DWORD n = GetModuleFileNameW(self, marker, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return FALSE;
  lstrcpyW(marker + n, L".loaded");
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return FALSE;
}
