// Runs beside the real velmora.exe in the same Wine session and works its
// windows through posted messages, as fast as the program answers: the modal
// windows opened and closed, the tabs switched. Reads the program's GDI
// objects, USER objects and private bytes at the start, after warm-up and at
// the end, and prints them as one JSON object on stdout. Does not start or end
// the program and does not judge the figures (run_e2e.py --soak does).
//   --main=HEX --help=HEX --follow=HEX   window titles, UTF-8 as hex digits
//   --help-button=ID --update-button=ID --help-close=ID --pager=ID --tabs=ID,ID,ID,ID
//   [--cycles=500] [--switches=10000] [--warm-up=20]
#include <windows.h>
#include <psapi.h>
#include <winternl.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// ---- the counters ----

// One row of Wine's per-process GDI handle table (include/ntgdi.h): 24 bytes
// in both bitnesses; a free row has type 0.
struct GdiTableEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t user_pointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "Wine's GDI_HANDLE_ENTRY");
constexpr size_t kGdiTableRows = 0x10000;
// Where the PEB keeps the table's address (GdiSharedHandleTable).
constexpr size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

// Live rows in the GDI handle table of `process`, or -1 when it cannot be read.
long CountGdiTableRows(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
  void* table = nullptr;
  SIZE_T got = 0;
  const char* slot = reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset;
  if (!ReadProcessMemory(process, slot, &table, sizeof table, &got) || !table) return -1;
  // In pieces: one read of the whole 1.5 MiB table is more than a server reply needs to carry.
  std::vector<GdiTableEntry> rows(4096);
  long live = 0;
  for (size_t first = 0; first < kGdiTableRows; first += rows.size()) {
    const char* at = static_cast<const char*>(table) + first * sizeof(GdiTableEntry);
    if (!ReadProcessMemory(process, at, rows.data(), rows.size() * sizeof(GdiTableEntry), &got)) return -1;
    for (const GdiTableEntry& e : rows) live += e.type != 0;
  }
  return live;
}

struct WindowCount {
  DWORD pid;
  long count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowCount*>(lp)->count;
  return TRUE;
}

void CountWindowAndChildren(HWND hwnd, WindowCount* c) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != c->pid) return;
  ++c->count;
  EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(c));  // every descendant
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp) {
  CountWindowAndChildren(hwnd, reinterpret_cast<WindowCount*>(lp));
  return TRUE;
}

// Every window of process pid: top-level (shown or not), message-only, and their descendants.
long CountWindows(DWORD pid) {
  WindowCount c{pid};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
  for (HWND h = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
       h = FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr)) {
    CountWindowAndChildren(h, &c);
  }
  return c.count;
}

// PrivateUsage, or the commit charge where a system leaves that field empty
// (both name the same figure on Windows). Wine gives RssAnon + VmSwap of the
// Linux process, read by its server from /proc/<pid>/status.
long long PrivateBytes(HANDLE process, bool* from_private_usage = nullptr) {
  PROCESS_MEMORY_COUNTERS_EX m{};
  m.cb = sizeof m;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) return -1;
  if (from_private_usage) *from_private_usage = m.PrivateUsage != 0;
  return static_cast<long long>(m.PrivateUsage ? m.PrivateUsage : m.PagefileUsage);
}

// Which source each counter reads; decided once, from what this system answers.
struct CounterSources {
  bool gui_resources = false;  // GetGuiResources answers (it is a stub under Wine)
  DWORD raw_gdi = 0, raw_user = 0, raw_error = 0;
  bool gdi_table = false;      // Wine's GDI handle table reads and counts what we make
  bool window_count = false;   // counting windows sees the ones we make
  bool private_usage = false;  // the private bytes follow memory we touch
  bool private_field = false;  // ... read from PrivateUsage itself, not the commit charge
  long gdi_seen = 0, windows_seen = 0;  // what the checks saw of what they made
  long long private_seen = 0;
};

struct Counts {
  long gdi = -1;
  long user = -1;
  long long private_bytes = -1;
};

Counts Read(HANDLE process, DWORD pid, const CounterSources& s) {
  Counts c;
  if (s.gui_resources) {
    c.gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    c.user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
  } else {
    if (s.gdi_table) c.gdi = CountGdiTableRows(process);
    if (s.window_count) c.user = CountWindows(pid);
  }
  if (s.private_usage) c.private_bytes = PrivateBytes(process);
  return c;
}

// Each substitute must see what this driver itself makes before it is trusted
// with the program: a counter that cannot show a change measures nothing.
CounterSources ChooseSources(HANDLE program) {
  CounterSources s;
  SetLastError(0);
  s.raw_gdi = GetGuiResources(program, GR_GDIOBJECTS);
  s.raw_user = GetGuiResources(program, GR_USEROBJECTS);
  s.raw_error = GetLastError();
  s.gui_resources = s.raw_gdi > 0 && s.raw_user > 0;

  HANDLE self = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId());
  constexpr int kMade = 32;
  const long before = CountGdiTableRows(self);
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < kMade; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
  const long during = CountGdiTableRows(self);
  for (HBRUSH b : brushes) DeleteObject(b);
  const long after = CountGdiTableRows(self);
  s.gdi_seen = during - before;
  s.gdi_table = before >= 0 && during - before == kMade && after == before;

  // A thread's first window brings Wine's IME window along, and it goes with
  // the last: one kept open throughout leaves only ours to count.
  HWND keep = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const long windows_before = CountWindows(GetCurrentProcessId());
  HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, top, nullptr, nullptr, nullptr);
  HWND message_only = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const long windows_during = CountWindows(GetCurrentProcessId());
  DestroyWindow(message_only);
  DestroyWindow(top);
  s.windows_seen = windows_during - windows_before;
  s.window_count = keep && top && child && message_only && windows_during - windows_before == 3 &&
                   CountWindows(GetCurrentProcessId()) == windows_before;
  DestroyWindow(keep);

  constexpr SIZE_T kTouched = 8 << 20;
  const long long private_before = PrivateBytes(self, &s.private_field);
  auto* block = static_cast<char*>(VirtualAlloc(nullptr, kTouched, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (block) {
    for (SIZE_T i = 0; i < kTouched; i += 4096) block[i] = 1;
  }
  const long long private_during = PrivateBytes(self);
  if (block) VirtualFree(block, 0, MEM_RELEASE);
  s.private_seen = private_during - private_before;
  s.private_usage = block && private_before > 0 && private_during - private_before >= (7 << 20);
  CloseHandle(self);
  return s;
}

// ---- finding and working the program's windows ----

std::wstring FromHexUtf8(const char* hex) {
  std::string bytes;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
    char two[3] = {hex[i], hex[i + 1], 0};
    bytes += static_cast<char>(std::strtoul(two, nullptr, 16));
  }
  std::wstring out(bytes.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                              static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

struct TopLevelSearch {
  DWORD pid;  // 0: any process
  const std::wstring* title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TopLevelSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if ((s->pid && pid != s->pid) || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t text[256];
  GetWindowTextW(hwnd, text, 256);
  if (*s->title != text) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND FindShown(DWORD pid, const std::wstring& title) {
  TopLevelSearch s{pid, &title};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    Sleep(1);
  }
  return true;
}

struct ChildSearch {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (GetWindowLongPtrW(hwnd, GWLP_ID) != s->id) return TRUE;
  s->found = hwnd;
  return FALSE;
}

HWND Child(HWND parent, int id) {
  ChildSearch s{id};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Everything posted so far has been handled once a message sent behind it returns.
void Settle(HWND main) {
  DWORD_PTR ignored;
  SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
}

enum class Closer { kCloseButton, kEscape, kCloseMessage };

const char* CloserName(Closer c) {
  return c == Closer::kCloseButton ? "close button" : c == Closer::kEscape ? "Esc" : "WM_CLOSE";
}

struct Program {
  DWORD pid = 0;
  HANDLE process = nullptr;
  HWND main = nullptr;
  std::vector<std::string> failures;  // what did not happen as it should, with the cycle

  void Fail(const std::string& what) {
    if (failures.size() < 20) failures.push_back(what);
    std::fprintf(stderr, "soak: %s\n", what.c_str());
  }

  // One opening and closing; false when the window did not come or go.
  bool OpenAndClose(HWND button, const std::wstring& title, int close_id, Closer closer, int cycle) {
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND modal = nullptr;
    if (!WaitUntil([&] { return (modal = FindShown(pid, title)) != nullptr; }, 15000)) {
      Fail("cycle " + std::to_string(cycle) + ": the window did not open");
      return false;
    }
    if (!WaitUntil([&] { return !IsWindowEnabled(main); }, 5000)) {
      Fail("cycle " + std::to_string(cycle) + ": MainWindow stayed enabled under the modal window");
    }
    switch (closer) {
      case Closer::kCloseButton:
        PostMessageW(Child(modal, close_id), BM_CLICK, 0, 0);
        break;
      case Closer::kEscape:
        PostMessageW(modal, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(modal, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        break;
      case Closer::kCloseMessage:
        PostMessageW(modal, WM_CLOSE, 0, 0);
        break;
    }
    if (!WaitUntil([&] { return !IsWindow(modal) && IsWindowEnabled(main); }, 15000)) {
      Fail("cycle " + std::to_string(cycle) + ": " + CloserName(closer) + " did not close the window");
      return false;
    }
    return true;
  }

  // One switch to `tab` by a click on its picture, as a person makes it.
  bool SwitchTab(HWND picture, HWND pager, int tab, int n) {
    PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    DWORD_PTR current = static_cast<DWORD_PTR>(-1);
    bool shown = WaitUntil(
        [&] {
          return SendMessageTimeoutW(pager, TCM_GETCURSEL, 0, 0, SMTO_BLOCK, 5000, &current) &&
                 static_cast<int>(current) == tab;
        },
        15000);
    if (!shown) Fail("switch " + std::to_string(n) + ": page " + std::to_string(tab) + " did not show");
    return shown;
  }
};

struct Options {
  std::wstring main_title, help_title, follow_title;
  int help_button = 0, update_button = 0, help_close = 0, pager = 0;
  int tabs[4] = {};
  int cycles = 500, switches = 10000, warm_up = 20;
};

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    auto value = [&](const char* name) -> const char* {
      size_t n = std::strlen(name);
      return std::strncmp(a, name, n) == 0 ? a + n : nullptr;
    };
    if (const char* v = value("--main=")) o->main_title = FromHexUtf8(v);
    else if (const char* v = value("--help=")) o->help_title = FromHexUtf8(v);
    else if (const char* v = value("--follow=")) o->follow_title = FromHexUtf8(v);
    else if (const char* v = value("--help-button=")) o->help_button = std::atoi(v);
    else if (const char* v = value("--update-button=")) o->update_button = std::atoi(v);
    else if (const char* v = value("--help-close=")) o->help_close = std::atoi(v);
    else if (const char* v = value("--pager=")) o->pager = std::atoi(v);
    else if (const char* v = value("--tabs=")) {
      if (std::sscanf(v, "%d,%d,%d,%d", &o->tabs[0], &o->tabs[1], &o->tabs[2], &o->tabs[3]) != 4) return false;
    } else if (const char* v = value("--cycles=")) o->cycles = std::atoi(v);
    else if (const char* v = value("--switches=")) o->switches = std::atoi(v);
    else if (const char* v = value("--warm-up=")) o->warm_up = std::atoi(v);
    else return false;
  }
  return !o->main_title.empty() && !o->help_title.empty() && !o->follow_title.empty() && o->help_button &&
         o->update_button && o->help_close && o->pager && o->tabs[3];
}

// ---- the run ----

struct Soak {
  Program* p;
  const Options* o;
  HWND help_button, update_button, pager, tabs[4];
  int current_tab = 0;
  int switches_done = 0;

  // n openings of each modal window, their closers taken in turn.
  bool Modal(int n, int* done) {
    const Closer help_closers[] = {Closer::kCloseButton, Closer::kEscape};
    const Closer follow_closers[] = {Closer::kEscape, Closer::kCloseMessage};
    for (int i = 0; i < n; ++i) {
      if (!p->OpenAndClose(help_button, o->help_title, o->help_close, help_closers[i % 2], *done)) return false;
      if (!p->OpenAndClose(update_button, o->follow_title, 0, follow_closers[i % 2], *done)) return false;
      ++*done;
    }
    return true;
  }

  bool Tabs(int n) {
    for (int i = 0; i < n; ++i) {
      const int next = (current_tab + 1) % 4;
      if (!p->SwitchTab(tabs[next], pager, next, switches_done)) return false;
      current_tab = next;
      ++switches_done;
    }
    return true;
  }
};

void PrintCounts(const char* name, const Counts& c, bool comma) {
  std::printf("  \"%s\": {\"gdi\": %ld, \"user\": %ld, \"private_bytes\": %lld}%s\n", name, c.gdi, c.user,
              c.private_bytes, comma ? "," : "");
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr, "soak: bad arguments\n");
    return 2;
  }
  Program p;
  if (!WaitUntil([&] { return (p.main = FindShown(0, o.main_title)) != nullptr; }, 90000)) {
    std::fprintf(stderr, "soak: MainWindow is not on show\n");
    return 2;
  }
  GetWindowThreadProcessId(p.main, &p.pid);
  p.process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.pid);
  Soak s{&p, &o, Child(p.main, o.help_button), Child(p.main, o.update_button), Child(p.main, o.pager), {}};
  for (int i = 0; i < 4; ++i) s.tabs[i] = Child(p.main, o.tabs[i]);
  if (!p.process || !s.help_button || !s.update_button || !s.pager || !s.tabs[0] || !s.tabs[1] || !s.tabs[2] ||
      !s.tabs[3]) {
    std::fprintf(stderr, "soak: the program or one of its controls was not found\n");
    return 2;
  }
  const CounterSources sources = ChooseSources(p.process);
  const ULONGLONG began = GetTickCount64();
  Settle(p.main);
  const Counts start = Read(p.process, p.pid, sources);

  int modal_done = 0;
  bool ok = s.Modal(o.warm_up, &modal_done) && s.Tabs(o.warm_up * 10);
  Settle(p.main);
  Sleep(300);
  const Counts warm = Read(p.process, p.pid, sources);

  // The trend: one reading after each tenth of the work.
  std::vector<Counts> trend;
  const int parts = 10;
  const ULONGLONG modal_began = GetTickCount64();
  for (int part = 0; ok && part < parts; ++part) {
    ok = s.Modal(o.cycles / parts, &modal_done);
    Settle(p.main);
    trend.push_back(Read(p.process, p.pid, sources));
    std::fprintf(stderr, "soak: %d modal cycles, GDI %ld, USER %ld, private %lld\n", modal_done, trend.back().gdi,
                 trend.back().user, trend.back().private_bytes);
  }
  const double modal_seconds = (GetTickCount64() - modal_began) / 1000.0;
  const ULONGLONG tabs_began = GetTickCount64();
  for (int part = 0; ok && part < parts; ++part) {
    ok = s.Tabs(o.switches / parts);
    Settle(p.main);
    trend.push_back(Read(p.process, p.pid, sources));
    std::fprintf(stderr, "soak: %d tab switches, GDI %ld, USER %ld, private %lld\n", s.switches_done,
                 trend.back().gdi, trend.back().user, trend.back().private_bytes);
  }
  const double tab_seconds = (GetTickCount64() - tabs_began) / 1000.0;
  Settle(p.main);
  Sleep(300);
  const Counts end = Read(p.process, p.pid, sources);

  std::printf("{\n  \"completed\": %s,\n", ok ? "true" : "false");
  std::printf("  \"modal_cycles\": %d, \"windows_per_cycle\": 2, \"tab_switches\": %d, \"warm_up_cycles\": %d,\n",
              modal_done - o.warm_up, s.switches_done - o.warm_up * 10, o.warm_up);
  std::printf("  \"modal_seconds\": %.1f, \"tab_seconds\": %.1f, \"seconds\": %.1f,\n", modal_seconds, tab_seconds,
              (GetTickCount64() - began) / 1000.0);
  std::printf("  \"get_gui_resources\": {\"gdi\": %lu, \"user\": %lu, \"last_error\": %lu},\n",
              static_cast<unsigned long>(sources.raw_gdi), static_cast<unsigned long>(sources.raw_user),
              static_cast<unsigned long>(sources.raw_error));
  std::printf("  \"sources\": {\"gdi\": \"%s\", \"user\": \"%s\", \"private_bytes\": \"%s\"},\n",
              sources.gui_resources ? "GetGuiResources"
              : sources.gdi_table   ? "Wine GDI handle table"
                                    : "unmeasured",
              sources.gui_resources ? "GetGuiResources"
              : sources.window_count ? "window count"
                                     : "unmeasured",
              !sources.private_usage ? "unmeasured"
              : sources.private_field ? "PrivateUsage"
                                      : "PagefileUsage");
  std::printf("  \"self_check\": {\"gdi_made\": 32, \"gdi_seen\": %ld, \"windows_made\": 3, \"windows_seen\": %ld,"
              " \"bytes_touched\": %d, \"bytes_seen\": %lld},\n",
              sources.gdi_seen, sources.windows_seen, 8 << 20, sources.private_seen);
  std::printf("  \"trend\": [");
  for (size_t i = 0; i < trend.size(); ++i) {
    std::printf("%s[%ld, %ld, %lld]", i ? ", " : "", trend[i].gdi, trend[i].user, trend[i].private_bytes);
  }
  std::printf("],\n  \"failures\": [");
  for (size_t i = 0; i < p.failures.size(); ++i) std::printf("%s\"%s\"", i ? ", " : "", p.failures[i].c_str());
  std::printf("],\n");
  PrintCounts("start", start, true);
  PrintCounts("after_warm_up", warm, true);
  PrintCounts("end", end, false);
  std::printf("}\n");
  CloseHandle(p.process);
  return 0;
}
