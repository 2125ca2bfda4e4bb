// Loading MainWindow inside one process, against making a bare frame of the
// same size and a frame with one system child window per MainWindow control,
// taking turns. Each figure runs from the call until the shown window has
// painted (the queue is empty); closing is not timed. No event handlers are
// bound, so OnStartup (skin, pages, update check) stays out of the figure.
//   load_bench.exe [ROUNDS]   prints "<what> <milliseconds>" lines
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "base/value.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "windows/live_window_win32.h"
#include "windows/windows_win32.h"

namespace {

constexpr int kWarmUpRounds = 2;
const wchar_t kFrameClass[] = L"VelmoraBenchFrame";
const DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs everything queued, paints included, and returns once nothing is left.
void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  LiveWindow::DeleteGoneWindows();
}

bool RegisterFrameClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFrameClass;
  return RegisterClassExW(&wc) != 0;
}

// A centred frame of MainWindow's size with, when asked, a BUTTON or STATIC
// at each control's stored place; shown and painted.
HWND MakeFrame(const WindowDescription& main, bool with_children) {
  const ControlRecord& frame = main.records[0];
  int x = (GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2;
  HWND hwnd =
      CreateWindowExW(WS_EX_APPWINDOW, kFrameClass, L"Velmora bench frame", kFrameStyle, x, y, frame.width,
                      frame.height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  if (with_children) {
    for (size_t i = 1; i < main.records.size(); ++i) {
      const ControlRecord& r = main.records[i];
      bool button = r.kind == kKindButton;
      CreateWindowExW(0, button ? L"BUTTON" : L"STATIC", L"Velmora",
                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (button ? BS_PUSHBUTTON : SS_LEFT), r.left,
                      r.top, r.width, r.height, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)),
                      GetModuleHandleW(nullptr), nullptr);
    }
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  return hwnd;
}

double TimeFrame(const WindowDescription& main, bool with_children) {
  double start = NowMs();
  HWND hwnd = MakeFrame(main, with_children);
  Drain();
  double took = NowMs() - start;
  if (!hwnd) return -1;
  DestroyWindow(hwnd);
  Drain();
  return took;
}

double TimeMainWindow() {
  double start = NowMs();
  bool loaded = LoadWindow(ids::MainWindow, 0, false);
  Drain();
  double took = NowMs() - start;
  if (!loaded) return -1;
  DestroyWindowUnit(ids::MainWindow);
  for (double until = NowMs() + 5000; FindLiveWindow(ids::MainWindow) && NowMs() < until;) {
    Drain();
    Sleep(1);
  }
  return FindLiveWindow(ids::MainWindow) ? -1 : took;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  if (rounds < 1) rounds = 1;
  InitValueModel();
  if (FAILED(OleInitialize(nullptr))) return 2;
  ReadProgramWindows({});
  const WindowDescription* main = ProgramWindows().Find(ids::MainWindow);
  if (!main || main->records.empty() || !RegisterFrameClass()) return 3;

  // Each round takes the three in turn, the order reversed every other round
  // so that drift in the machine's load falls on all of them alike.
  for (int round = -kWarmUpRounds; round < rounds; ++round) {
    double bare = -1, frame = -1, loaded = -1;
    if (round % 2 == 0) {
      bare = TimeFrame(*main, false);
      frame = TimeFrame(*main, true);
      loaded = TimeMainWindow();
    } else {
      loaded = TimeMainWindow();
      frame = TimeFrame(*main, true);
      bare = TimeFrame(*main, false);
    }
    if (bare < 0 || frame < 0 || loaded < 0) {
      std::fprintf(
          stderr, "round %d: a window could not be made or closed (MainWindow %.1f, frame %.1f, bare %.1f)\n",
          round, loaded, frame, bare);
      return 4;
    }
    if (round < 0) continue;
    std::printf("main_window %.3f\nframe_29 %.3f\nbare_frame %.3f\n", loaded, frame, bare);
    std::fflush(stdout);
  }
  OleUninitialize();
  return 0;
}
