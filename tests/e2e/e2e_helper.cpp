// What the end-to-end suite needs from inside Wine, beside the real velmora.exe,
// linked with the program's own libraries. Prints JSON (UTF-8) on stdout.
//   --windows      every visible top-level window with its controls
//   --fatal-box    runs the unknown_window child here and reads its report
//   --child=unknown_window  loads MainWindow as the program does, then raises an
//                  event for a window no description names
//   --child=hold_clipboard  keeps the clipboard open, so nobody else can write it
//   --child=ie_window       a top-level window titled "Microsoft Internet Explorer"
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/handlers.h"
#include "core/run_directory_win32.h"
#include "format/dispatcher.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "services/services.h"
#include "skin/native_entries.h"
#include "support/test_support.h"
#include "windows/windows_win32.h"

namespace {

constexpr uint32_t kUndescribedWindow = 0x52017777;

std::string Json(const std::wstring& s) {
  std::string out = "\"";
  for (wchar_t c : s) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
      out += esc;
    } else {
      wchar_t one[2] = {c, 0};
      char utf8[8];
      int n = WideCharToMultiByte(CP_UTF8, 0, one, 1, utf8, sizeof utf8, nullptr, nullptr);
      out.append(utf8, static_cast<size_t>(n));
    }
  }
  return out + "\"";
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buf[1024] = {};
  GetWindowTextW(hwnd, buf, 1024);
  // Across processes that is the window's caption; a RichEdit keeps its text itself.
  wchar_t cls[32];
  GetClassNameW(hwnd, cls, 32);
  DWORD_PTR got = 0;
  if (!lstrcmpiW(cls, L"RICHEDIT50W"))
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got);
  return buf;
}

std::string RectJson(const RECT& r) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "[%ld, %ld, %ld, %ld]", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
  return buf;
}

// The screen point where the frame answers "close box", or (-1, -1).
POINT CloseBoxPoint(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  for (int y = r.top; y < r.top + 40; y += 2) {
    for (int x = r.right - 1; x > r.right - 80; x -= 2) {
      if (SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return {x - 6, y + 6};
    }
  }
  return {-1, -1};
}

struct Dump {
  std::string out;
  bool first = true;
};

BOOL CALLBACK DumpChild(HWND hwnd, LPARAM lp) {
  auto* dump = reinterpret_cast<Dump*>(lp);
  RECT r;
  GetWindowRect(hwnd, &r);
  wchar_t cls[64];
  GetClassNameW(hwnd, cls, 64);
  char head[96];
  std::snprintf(head, sizeof head, "%s{\"id\": %ld, \"visible\": %d, \"class\": ", dump->first ? "" : ", ",
                static_cast<long>(GetWindowLongPtrW(hwnd, GWLP_ID)), IsWindowVisible(hwnd) ? 1 : 0);
  dump->out += head + Json(cls) + ", \"text\": " + Json(TextOf(hwnd)) + ", \"rect\": " + RectJson(r) + "}";
  dump->first = false;
  return TRUE;
}

BOOL CALLBACK DumpTopLevel(HWND hwnd, LPARAM lp) {
  auto* dump = reinterpret_cast<Dump*>(lp);
  if (!IsWindowVisible(hwnd)) return TRUE;
  RECT r;
  GetWindowRect(hwnd, &r);
  POINT client = {0, 0};
  ClientToScreen(hwnd, &client);
  POINT close = CloseBoxPoint(hwnd);
  char head[192];
  std::snprintf(head, sizeof head,
                "%s{\"enabled\": %d, \"client\": [%ld, %ld], \"close_box\": [%ld, %ld], \"title\": ",
                dump->first ? "" : ",\n ", IsWindowEnabled(hwnd) ? 1 : 0, static_cast<long>(client.x),
                static_cast<long>(client.y), static_cast<long>(close.x), static_cast<long>(close.y));
  Dump children;
  EnumChildWindows(hwnd, DumpChild, reinterpret_cast<LPARAM>(&children));
  dump->out +=
      head + Json(TextOf(hwnd)) + ", \"rect\": " + RectJson(r) + ", \"children\": [" + children.out + "]}";
  dump->first = false;
  return TRUE;
}

int DumpWindows() {
  Dump dump;
  EnumWindows(DumpTopLevel, reinterpret_cast<LPARAM>(&dump));
  std::printf("[%s]\n", dump.out.c_str());
  return 0;
}

int ReadFatalBox() {
  ChildProcess child;
  if (!StartChild("unknown_window", &child)) return 2;
  HWND box = WaitForMessageBox(child.pid, 60000);
  MessageBoxContents seen;
  if (box) {
    seen = ReadMessageBox(box);
    PressMessageBoxButton(box, IDOK);
  }
  DWORD code = child.Wait(30000);
  std::string buttons;
  for (const std::wstring& b : seen.buttons) buttons += (buttons.empty() ? "" : ", ") + Json(b);
  std::printf(
      "{\"found\": %d, \"title\": %s, \"text\": %s, \"icon\": %d, \"buttons\": [%s], \"exit_code\": %lu}\n",
      box ? 1 : 0, Json(seen.title).c_str(), Json(seen.text).c_str(), seen.has_icon ? 1 : 0, buttons.c_str(),
      static_cast<unsigned long>(code));
  return 0;
}

// What the program's entry does before its first window.
void StartAsTheProgram() {
  EnterRunDirectory();
  ReadProgramWindows(ApplicationHandlers());
  SetUpNativeEntries();
}

}  // namespace

CHILD_CASE(unknown_window) {
  StartAsTheProgram();
  if (!LoadWindow(ids::MainWindow, 0, false)) return 3;
  EventNotice notice;
  notice.window_id = kUndescribedWindow;
  notice.event = -1;
  notice.arg_count = 3;
  DispatchEvent(&notice);
  return 4;  // the fatal report never returns
}

CHILD_CASE(hold_clipboard) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!OpenClipboard(owner)) return 2;
  Sleep(INFINITE);
  return 0;
}

CHILD_CASE(ie_window) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VelmoraE2EBrowserStandIn";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Microsoft Internet Explorer", WS_OVERLAPPEDWINDOW, 0, 0,
                              200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 2;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (IsWindow(hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && !std::strcmp(argv[1], "--windows")) return DumpWindows();
  if (argc == 2 && !std::strcmp(argv[1], "--fatal-box")) {
    InitValueModel();
    return ReadFatalBox();
  }
  return RunTestMain(argc, argv);
}
