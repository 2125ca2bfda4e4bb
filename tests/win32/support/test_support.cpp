#include "support/test_support.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <cstring>
#include <map>
#include <set>

#include "base/value.h"
#include "base/wide_win32.h"

namespace {

std::map<std::string, ChildCase>& ChildCases() {
  static std::map<std::string, ChildCase> cases;
  return cases;
}

struct FindState {
  DWORD pid;
  HWND found;
  const wchar_t* window_class = L"#32770";
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
  auto* state = reinterpret_cast<FindState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[32];
  if (pid == state->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, cls, 32) &&
      wcscmp(cls, state->window_class) == 0) {
    state->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Icon handles do not cross processes under Wine, so the screen is compared.
std::vector<DWORD> ScreenPixels(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + w * h);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lp) {
  auto* out = reinterpret_cast<MessageBoxContents*>(lp);
  wchar_t cls[32];
  GetClassNameW(child, cls, 32);
  LONG style = GetWindowLongW(child, GWL_STYLE);
  if (_wcsicmp(cls, L"Button") == 0) {
    wchar_t caption[64];
    GetWindowTextW(child, caption, 64);
    out->buttons.push_back(caption);
  } else if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
             SendMessageW(child, STM_GETICON, 0, 0)) {
    // Wine keeps the icon control of a box without icon, visible and empty.
    out->has_icon = true;
    out->icon_pixels = ScreenPixels(child);
  }
  return TRUE;
}

std::wstring WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(hwnd, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

}  // namespace

HWND WaitForMessageBox(DWORD pid, int timeout_ms) { return WaitForShownWindow(pid, L"#32770", timeout_ms); }

HWND WaitForShownWindow(DWORD pid, const wchar_t* window_class, int timeout_ms) {
  for (int waited = 0; waited <= timeout_ms; waited += 50) {
    FindState state{pid, nullptr, window_class};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&state));
    if (state.found) return state.found;
    Sleep(50);
  }
  return nullptr;
}

MessageBoxContents ReadMessageBox(HWND box) {
  // The icon is read off the screen: wait until the box has painted it.
  for (int waited = 0;; waited += 100) {
    Sleep(100);
    MessageBoxContents out;
    out.title = WindowText(box);
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text) out.text = WindowText(text);
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&out));
    std::set<DWORD> colours(out.icon_pixels.begin(), out.icon_pixels.end());
    if (!out.has_icon || colours.size() > 2 || waited >= 3000) return out;
  }
}

void* PatchImport(const char* dll, const char* name, void* hook) {
  return PatchModuleImport(GetModuleHandleW(nullptr), dll, name, hook);
}

void* PatchModuleImport(HMODULE module, const char* dll, const char* name, void* hook) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (_stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(by_name->Name), name) != 0) continue;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
      VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
      return previous;
    }
  }
  return nullptr;
}

namespace {

std::vector<ShellCall> g_shell_calls;
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
ShellExecuteFn g_shell_execute;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                    LPCWSTR directory, INT show) {
  g_shell_calls.push_back(
      {owner, verb ? verb : L"", file ? file : L"", parameters != nullptr, directory != nullptr, show});
  return g_shell_execute(owner, verb, file, parameters, directory, show);
}

// The program finds ShellExecuteW with GetProcAddress when it first opens an
// address: the recorder is what that lookup answers while a log is open.
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
GetProcAddressFn g_get_proc_address;

FARPROC WINAPI ProcAddressWithRecorder(HMODULE module, LPCSTR name) {
  if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) && std::strcmp(name, "ShellExecuteW") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordShellExecute));
  return g_get_proc_address(module, name);
}

}  // namespace

ShellExecuteLog::ShellExecuteLog() {
  g_shell_calls.clear();
  g_shell_execute = reinterpret_cast<ShellExecuteFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "ShellExecuteW")));
  g_get_proc_address = reinterpret_cast<GetProcAddressFn>(
      PatchImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&ProcAddressWithRecorder)));
  if (!g_get_proc_address) g_shell_execute = nullptr;
}

ShellExecuteLog::~ShellExecuteLog() {
  if (g_get_proc_address)
    PatchImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(g_get_proc_address));
  g_get_proc_address = nullptr;
  g_shell_execute = nullptr;
}

bool ShellExecuteLog::installed() const { return g_shell_execute != nullptr; }

std::vector<ShellCall>& ShellExecuteLog::calls() { return g_shell_calls; }

void PressMessageBoxButton(HWND box, int id) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

ChildCaseRegistration::ChildCaseRegistration(const char* name, ChildCase run) { ChildCases()[name] = run; }

DWORD ChildProcess::Wait(int timeout_ms) {
  if (WaitForSingleObject(process, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return code;
}

ChildProcess::~ChildProcess() {
  if (!process) return;
  if (Wait(0) == STILL_ACTIVE) TerminateProcess(process, 1);
  CloseHandle(process);
}

bool StartProgram(const std::string& command_line, const std::string& current_dir, ChildProcess* child) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Wine refuses a start now and then while its own services come up; a
  // second try a moment later is what a person would do.
  for (int attempt = 0;; ++attempt) {
    std::string cmd = command_line;
    if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       current_dir.empty() ? nullptr : current_dir.c_str(), &si, &pi)) {
      break;
    }
    if (attempt == 2) return false;
    Sleep(500);
  }
  CloseHandle(pi.hThread);
  child->process = pi.hProcess;
  child->pid = pi.dwProcessId;
  return true;
}

bool StartChild(const char* name, ChildProcess* child) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return StartProgram(std::string("\"") + self + "\" --child=" + name, "", child);
}

namespace {

// Removes dir with its files and empty subdirectories; false when it is still there.
bool RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
      std::string file = dir + "\\" + found.cFileName;
      SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(file.c_str());
      } else {
        DeleteFileA(file.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryA(dir.c_str()) || GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

ScratchDir::ScratchDir() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  // Wine reuses process ids, and a library still loaded when a directory went
  // (the skin engine pins itself) leaves it behind: such a leftover of an
  // earlier run is cleared, or passed over when it will not go.
  for (;;) {
    path_ = std::string(temp) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    if (RemoveTree(path_) && CreateDirectoryA(path_.c_str(), nullptr)) return;
  }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::string ReadWholeFile(const std::string& path) {
  HANDLE f = CreateFileW(GbkToWide(path.c_str()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(f);
  return out;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE f =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) && n == bytes.size();
  return CloseHandle(f) && ok;
}

void PumpMessages(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (ms) Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

std::set<std::string> ListDirectory(const std::string& dir) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..")) names.insert(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

int RunTestMain(int argc, char** argv) {
  InitValueModel();
  // As the program's entry does: the HTML view hosts an OLE control.
  OleInitialize(nullptr);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--child=", 8) != 0) continue;
    auto it = ChildCases().find(argv[i] + 8);
    return it == ChildCases().end() ? 99 : it->second();
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
