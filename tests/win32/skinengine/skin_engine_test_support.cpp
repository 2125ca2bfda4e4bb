#include "skin_engine_test_support.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "skin/skin_catalogue.h"
#include "support/test_support.h"

std::string g_engine_path;
std::string g_screens;

namespace {

// Through void (*)(): the one cast from FARPROC that does not warn.
template <typename Proc>
Proc Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HRESULT(WINAPI* g_dwm_set)(HWND, DWORD, LPCVOID, DWORD);
FARPROC(WINAPI* g_get_proc)(HMODULE, LPCSTR);

HRESULT WINAPI RecordDwmSet(HWND hwnd, DWORD attribute, LPCVOID value, DWORD size) {
  g_dwm_calls.push_back({hwnd, attribute, *static_cast<const DWORD*>(value)});
  return g_dwm_set(hwnd, attribute, value, size);
}

FARPROC WINAPI EngineGetProc(HMODULE module, LPCSTR name) {
  const FARPROC found = g_get_proc(module, name);
  if (!found || !HIWORD(name) || std::strcmp(name, "DwmSetWindowAttribute")) return found;
  wchar_t file[MAX_PATH];
  g_dwm_file.assign(file, GetModuleFileNameW(module, file, MAX_PATH));
  g_dwm_set = reinterpret_cast<decltype(g_dwm_set)>(reinterpret_cast<void (*)()>(found));
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordDwmSet));
}

BOOL WINAPI EngineParameters(UINT action, UINT number, void* value, UINT flags) {
  const BOOL done = SystemParametersInfoW(action, number, value, flags);
  if (done && action == SPI_GETHIGHCONTRAST && g_high_contrast)
    static_cast<HIGHCONTRASTW*>(value)->dwFlags |= HCF_HIGHCONTRASTON;
  return done;
}

}  // namespace

std::vector<DwmCall> g_dwm_calls;
std::wstring g_dwm_file;
bool g_high_contrast;

const Engine& TheEngine() {
  static Engine engine = [] {
    Engine e;
    e.module = LoadLibraryA(g_engine_path.c_str());
    if (!e.module) return e;
    g_get_proc = reinterpret_cast<decltype(g_get_proc)>(PatchModuleImport(
        e.module, "kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&EngineGetProc)));
    PatchModuleImport(e.module, "user32.dll", "SystemParametersInfoW",
                      reinterpret_cast<void*>(&EngineParameters));
    e.attach = Entry<SkinH_AttachResProc>(e.module, "SkinH_AttachRes");
    e.detach = Entry<SkinH_DetachProc>(e.module, "SkinH_Detach");
    e.check = Entry<SkinH_CheckResProc>(e.module, "SkinH_CheckRes");
    e.color = Entry<SkinH_GetColorProc>(e.module, "SkinH_GetColor");
    e.set_window_skin = Entry<SkinH_SetWindowSkinProc>(e.module, "SkinH_SetWindowSkin");
    return e;
  }();
  return engine;
}

std::vector<uint8_t> SkinBytes(int number) {
  ByteArray skin = SkinCatalogueEntry(number);
  return std::vector<uint8_t>(ByteArrayData(skin), ByteArrayData(skin) + skin->length);
}

skin::SkinLook LookOf(int number) {
  std::vector<uint8_t> bytes = SkinBytes(number);
  skin::SkinLook look{};
  EXPECT_EQ(skin::ReadSkin(bytes.data(), static_cast<uint32_t>(bytes.size()), &look), skin::ReadResult::kOk);
  return look;
}

int AttachSkin(const std::vector<uint8_t>& bytes) {
  return TheEngine().attach(bytes.data(), static_cast<int>(bytes.size()), "", 0, 0, 0);
}

void RegisterPlainClass(const wchar_t* name) {
  static std::set<std::wstring> done;
  if (!done.insert(name).second) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

TestFrame::TestFrame(const wchar_t* class_name, int x, int y) {
  RegisterPlainClass(class_name);
  hwnd_ = CreateWindowExW(0, class_name, L"Skin test", WS_OVERLAPPEDWINDOW, x, y, 360, 240, nullptr, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  const struct {
    const wchar_t* text;
    DWORD style;
    int x;
  } buttons[] = {
      {L"OK", BS_DEFPUSHBUTTON, 20}, {L"Cancel", BS_PUSHBUTTON, 130}, {L"Off", BS_PUSHBUTTON, 240}};
  int id = 1;
  for (const auto& b : buttons) {
    CreateWindowExW(0, L"Button", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | b.style, b.x, 140, 90, 30,
                    hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), GetModuleHandleW(nullptr),
                    nullptr);
  }
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  for (HWND b : {ok(), cancel(), off()}) {
    SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  }
  EnableWindow(off(), FALSE);
  SetCursorPos(0, 0);  // the pointer is over none of the buttons
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  SetFocus(hwnd_);
  PumpMessages(60);
}

TestFrame::~TestFrame() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  PumpMessages(10);
}

Pixels TestFrame::Shot() const {
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(60);
  return Capture(hwnd_, true);
}

POINT CloseBoxCentre(HWND frame, const skin::SkinLook& look) {
  RECT wr;
  GetWindowRect(frame, &wr);
  const int b = look.metrics[skin::kBorderWidth], c = look.metrics[skin::kCaptionHeight];
  const int right = wr.right - wr.left - b - 2;
  return {right - look.metrics[skin::kCaptionButtonWidth] / 2, b + c / 2};
}

int CountDifferent(const Pixels& a, const Pixels& b, int tolerance) {
  if (a.width != b.width || a.height != b.height) return -1;
  int n = 0;
  for (size_t i = 0; i < a.data.size(); ++i) n += !Near(a.data[i], b.data[i], tolerance);
  return n;
}
