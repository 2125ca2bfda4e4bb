// SkinH_EL.dll's entries: attach and detach, the thread's CBT hook, and the one
// table that says which skin procedure a window class gets. It does not draw:
// frame_skin_win32.cpp and button_skin_win32.cpp do.
#include "skinengine/engine_win32.h"

#include "skinengine/caption_font_win32.h"
#include "skinengine/skinh.h"

EngineState g_engine;

namespace {

constexpr UINT_PTR kSubclassId = 0x5348;  // "SH"

// Class name to skin procedure; null leaves the window (and everything inside
// it) alone. Top-level windows of other classes get the frame skin.
struct ClassSkin {
  const wchar_t* name;
  SUBCLASSPROC proc;
};
const ClassSkin kClassSkins[] = {
    {L"Button", ButtonSkinProc},
    {L"#32770", FrameSkinProc},
    // The browser control draws its pages itself.
    {L"Shell Embedding", nullptr},
    {L"Shell DocObject View", nullptr},
    {L"Internet Explorer_Server", nullptr},
    // Popups that paint themselves.
    {L"#32768", nullptr},
    {L"tooltips_class32", nullptr},
    {L"ComboLBox", nullptr},
};

bool SameName(const wchar_t* a, const wchar_t* b) {
  for (; *a || *b; ++a, ++b) {
    wchar_t x = *a >= L'A' && *a <= L'Z' ? *a + 32 : *a, y = *b >= L'A' && *b <= L'Z' ? *b + 32 : *b;
    if (x != y) return false;
  }
  return true;
}

// The class table's row for a window, or null when the class is not listed.
const ClassSkin* FindClassSkin(HWND hwnd) {
  wchar_t name[64];
  if (!GetClassNameW(hwnd, name, 64)) return nullptr;
  for (const ClassSkin& row : kClassSkins) {
    if (SameName(row.name, name)) return &row;
  }
  return nullptr;
}

// The skin procedure for a window, or null to leave it alone.
SUBCLASSPROC ChooseSkin(HWND hwnd) {
  if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != g_engine.thread) return nullptr;
  const HWND desktop = GetDesktopWindow();
  for (HWND up = GetAncestor(hwnd, GA_PARENT); up && up != desktop; up = GetAncestor(up, GA_PARENT)) {
    const ClassSkin* row = FindClassSkin(up);
    if (row && !row->proc) return nullptr;  // inside a window left alone
  }
  if (const ClassSkin* row = FindClassSkin(hwnd)) return row->proc;
  // Top-level only: message-only windows and child windows of other classes keep their look.
  const bool top_level =
      !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) && GetAncestor(hwnd, GA_PARENT) == desktop;
  return top_level ? FrameSkinProc : nullptr;
}

void Unlink(SkinnedWindow* w) {
  if (w->prev) w->prev->next = w->next;
  if (w->next) w->next->prev = w->prev;
  if (g_engine.windows == w) g_engine.windows = w->next;
  w->next = w->prev = nullptr;
}

// Puts the skin on one window; a window skinned before is taken back as it is.
// A window in creation tells DWM at WM_NCCREATE, the others at once.
bool SkinWindow(HWND hwnd, bool creating) {
  const SUBCLASSPROC proc = ChooseSkin(hwnd);
  if (!proc) return false;
  if (SkinnedWindow* w = FindSkinnedWindow(hwnd)) {
    w->passive = false;
    SyncSystemFrame(w, false);
    return true;
  }
  auto* w = static_cast<SkinnedWindow*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SkinnedWindow)));
  if (!w) return false;
  w->hwnd = hwnd;
  w->proc = proc;
  w->active = GetActiveWindow() == hwnd;
  if (!SetWindowSubclass(hwnd, proc, kSubclassId, reinterpret_cast<DWORD_PTR>(w))) {
    HeapFree(GetProcessHeap(), 0, w);
    return false;
  }
  w->installed = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  w->next = g_engine.windows;
  if (w->next) w->next->prev = w;
  g_engine.windows = w;
  if (!creating) SyncSystemFrame(w, false);
  return true;
}

// Takes the skin off one window. Under a raw subclass that came later, removing
// ours would unhook theirs too, so ours stays and only forwards.
void UnskinWindow(SkinnedWindow* w) {
  const HWND hwnd = w->hwnd;
  const SUBCLASSPROC proc = w->proc;
  SyncSystemFrame(w, false);  // forwarding by now: DWM gets its frame back
  if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != w->installed) {
    w->passive = true;
  } else {
    Unlink(w);
    RemoveWindowSubclass(hwnd, proc, kSubclassId);
    HeapFree(GetProcessHeap(), 0, w);
  }
  RefreshWindow(hwnd, proc);
}

// The hooks after ours may still cancel the creation: only one that goes ahead is skinned.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
  const LRESULT cancelled = CallNextHookEx(g_engine.hook, code, wp, lp);
  if (code == HCBT_CREATEWND && !cancelled && g_engine.attached) SkinWindow(reinterpret_cast<HWND>(wp), true);
  return cancelled;
}

BOOL CALLBACK SkinChild(HWND hwnd, LPARAM) {
  SkinWindow(hwnd, false);
  return TRUE;
}

BOOL CALLBACK SkinTopLevel(HWND hwnd, LPARAM) {
  SkinWindow(hwnd, false);
  EnumChildWindows(hwnd, SkinChild, 0);
  return TRUE;
}

void RefreshAll() {
  for (SkinnedWindow* w = g_engine.windows; w; w = w->next) RefreshWindow(w->hwnd, w->proc);
}

bool HighContrastOn() {
  HIGHCONTRASTW setting = {sizeof setting, 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON);
}

// The bytes lie in committed, readable memory: a wrong length is refused, not read.
bool Readable(const void* p, int length) {
  if (!p || length <= 0) return false;
  const char* at = static_cast<const char*>(p);
  const char* end = at + length;
  if (end < at) return false;
  const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                          PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (at < end) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) ||
        !(info.Protect & kReadable)) {
      return false;
    }
    at = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

bool ReadLook(const void* data, int length, skin::SkinLook* look) {
  if (!Readable(data, length)) return false;
  return skin::ReadSkin(static_cast<const uint8_t*>(data), static_cast<uint32_t>(length), look) ==
         skin::ReadResult::kOk;
}

// Brushes and font for the current look; false leaves the old ones in place.
bool MakeResources(HBRUSH* window, HBRUSH* dialog, HFONT* caption) {
  *window = CreateSolidBrush(SkinColor(skin::kWindowBack));
  *dialog = CreateSolidBrush(SkinColor(skin::kDialogBack));
  *caption = CreateCaptionFont(SkinMetric(skin::kCaptionBold) != 0);
  return *window && *dialog && *caption;
}

void FreeResources(HBRUSH window, HBRUSH dialog, HFONT caption) {
  if (window) DeleteObject(window);
  if (dialog) DeleteObject(dialog);
  if (caption) DeleteObject(caption);
}

int Detach() {
  if (!g_engine.attached) return SKINH_E_NOTATTACHED;
  if (g_engine.thread != GetCurrentThreadId()) return SKINH_E_THREAD;
  UnhookWindowsHookEx(g_engine.hook);
  g_engine.hook = nullptr;
  g_engine.attached = false;  // the procedures forward from here on
  for (SkinnedWindow *w = g_engine.windows, *next; w; w = next) {
    next = w->next;
    UnskinWindow(w);
  }
  FreeResources(g_engine.window_brush, g_engine.dialog_brush, g_engine.caption_font);
  g_engine.window_brush = g_engine.dialog_brush = nullptr;
  g_engine.caption_font = nullptr;
  return SKINH_OK;
}

}  // namespace

// A walk of the list rather than GetWindowSubclass, which the 64-bit import library lacks.
SkinnedWindow* FindSkinnedWindow(HWND hwnd) {
  for (SkinnedWindow* w = g_engine.windows; w; w = w->next) {
    if (w->hwnd == hwnd) return w;
  }
  return nullptr;
}

void RefreshWindow(HWND hwnd, SUBCLASSPROC proc) {
  if (proc == FrameSkinProc) {
    SetWindowPos(
        hwnd, nullptr, 0, 0, 0, 0,
        SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  // A window not on screen paints itself whole when it is shown.
  if (IsWindowVisible(hwnd))
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void FollowHighContrast() {
  const bool on = HighContrastOn();
  if (on == g_engine.high_contrast) return;
  g_engine.high_contrast = on;
  for (SkinnedWindow* w = g_engine.windows; w; w = w->next) {
    SyncSystemFrame(w, false);
    RefreshWindow(w->hwnd, w->proc);
  }
}

void ForgetWindow(SkinnedWindow* w) {
  RemoveWindowSubclass(w->hwnd, w->proc, kSubclassId);
  Unlink(w);
  HeapFree(GetProcessHeap(), 0, w);
}

extern "C" {

SKINH_API int __stdcall SkinH_AttachRes(const void* skin, int length, const char*, int, int, int) {
  if (g_engine.attached && g_engine.thread != GetCurrentThreadId()) return SKINH_E_THREAD;
  if (!BindSubclassEntries()) return SKINH_E_SYSTEM;
  skin::SkinLook look;
  if (!ReadLook(skin, length, &look)) return SKINH_E_BADSKIN;

  const skin::SkinLook old_look = g_engine.look;
  g_engine.look = look;
  HBRUSH window, dialog;
  HFONT caption;
  if (!MakeResources(&window, &dialog, &caption)) {
    FreeResources(window, dialog, caption);
    g_engine.look = old_look;
    return SKINH_E_SYSTEM;
  }
  if (!g_engine.attached) {
    g_engine.hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    if (!g_engine.hook) {
      FreeResources(window, dialog, caption);
      g_engine.look = old_look;
      return SKINH_E_SYSTEM;
    }
    // Windows keep pointers into this library from now on: it must never unload.
    HMODULE pinned;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&g_engine), &pinned);
  }
  FreeResources(g_engine.window_brush, g_engine.dialog_brush, g_engine.caption_font);
  g_engine.window_brush = window;
  g_engine.dialog_brush = dialog;
  g_engine.caption_font = caption;
  if (!g_engine.attached) {
    g_engine.thread = GetCurrentThreadId();
    g_engine.high_contrast = HighContrastOn();
    g_engine.attached = true;
    EnumThreadWindows(g_engine.thread, SkinTopLevel, 0);
  }
  RefreshAll();
  return SKINH_OK;
}

SKINH_API int __stdcall SkinH_Detach(void) { return Detach(); }

SKINH_API int __stdcall SkinH_CheckRes(const void* skin, int length) {
  skin::SkinLook look;
  return ReadLook(skin, length, &look) ? SKINH_OK : SKINH_E_BADSKIN;
}

SKINH_API COLORREF __stdcall SkinH_GetColor(int index) {
  if (!g_engine.attached || index < 0 || index >= skin::kColorCount) return CLR_INVALID;
  return g_engine.look.colors[index];
}

SKINH_API int __stdcall SkinH_SetWindowSkin(HWND hwnd, int skinned) {
  if (!g_engine.attached) return SKINH_E_NOTATTACHED;
  if (g_engine.thread != GetCurrentThreadId() || GetWindowThreadProcessId(hwnd, nullptr) != g_engine.thread) {
    return SKINH_E_THREAD;
  }
  SkinnedWindow* w = FindSkinnedWindow(hwnd);
  if (!w) return SKINH_OK;  // a window the engine does not skin anyway
  w->left_alone = !skinned;
  SyncSystemFrame(w, false);
  RefreshWindow(hwnd, w->proc);
  return SKINH_OK;
}

// The engine's own entry: no C runtime to start.
BOOL WINAPI SkinEngineEntry(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}

}  // extern "C"
