// SkinH_EL.dll under Wine, loaded from the padded image the program carries:
// what a person sees of the skinned frames and buttons, read back as pixels.
#include <cstring>
#include <functional>
#include <tuple>

#include "components/common_controls_win32.h"
#include "format/program_windows.h"
#include "format/window_ids.h"
#include "skin/skin_catalogue.h"
#include "skin_engine_test_support.h"
#include "support/test_support.h"
#include "windows/live_window_win32.h"

namespace {

using namespace skin;
constexpr int kTolerance = 6;

class SkinEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(TheEngine().module, nullptr) << g_engine_path;
    look_ = LookOf(13);
  }
  void TearDown() override { TheEngine().detach(); }
  uint32_t Color(skin::Color c) const { return Rgb(look_.colors[c]); }
  int Metric(skin::Metric m) const { return look_.metrics[m]; }
  SkinLook look_;
};

TEST(SkinEngineImageTest, IsThePaddedDllWithItsVersionAndPlainExports) {
  const std::string file = ReadWholeFile(g_engine_path);
  ASSERT_EQ(file.size(), 88576u);
  ByteArray image = SkinEngineImage();
  ASSERT_EQ(image->length, 88576);
  EXPECT_EQ(std::memcmp(file.data(), ByteArrayData(image), file.size()), 0)
      << "the embedded image is the file";

  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
  ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(file.data() + dos->e_lfanew);
  ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
  EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
  // The product's engine is PE32 i386; the 64-bit twin carries its own build of the same sources.
  const bool twin = sizeof(void*) == 8;
  EXPECT_EQ(nt->FileHeader.Machine, twin ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(nt->OptionalHeader.Magic, twin ? IMAGE_NT_OPTIONAL_HDR64_MAGIC : IMAGE_NT_OPTIONAL_HDR32_MAGIC);

  DWORD ignored = 0, size = GetFileVersionInfoSizeA(g_engine_path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(g_engine_path.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixed_size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(6, 6));

  const Engine& e = TheEngine();
  ASSERT_NE(e.module, nullptr);
  EXPECT_TRUE(e.attach && e.detach && e.check && e.color && e.set_window_skin);
}

TEST_F(SkinEngineTest, FrameCaptionBackgroundAndButtonsTakeTheSkinAndDetachRestoresThem) {
  TestFrame frame;
  RECT client_before;
  GetClientRect(frame.hwnd(), &client_before);
  const Pixels before = frame.Shot(), cancel_before = Capture(frame.cancel());
  ASSERT_GT(before.width, 0);

  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  const Pixels after = frame.Shot();
  const int b = Metric(kBorderWidth), c = Metric(kCaptionHeight), w = after.width, h = after.height;
  RECT client;
  GetClientRect(frame.hwnd(), &client);
  EXPECT_EQ(client.right, w - 2 * b);
  EXPECT_EQ(client.bottom, h - 2 * b - c);
  ASSERT_EQ(GetActiveWindow(), frame.hwnd());

  const struct {
    const char* what;
    int x, y;
    skin::Color expected;
  } points[] = {
      {"outer edge", 0, h / 2, kFrameEdge},
      {"left border", 1, h / 2, kFrameActive},
      {"bottom border", w / 2, h - 2, kFrameActive},
      {"caption top row", w / 2, b, kCaptionActiveTop},
      {"caption bottom row", w / 2, b + c - 1, kCaptionActiveBottom},
      {"client background", w / 2, b + c + 20, kWindowBack},
      {"close box cross", CloseBoxCentre(frame.hwnd(), look_).x, CloseBoxCentre(frame.hwnd(), look_).y,
       kCaptionGlyph},
  };
  for (const auto& p : points) {
    EXPECT_TRUE(Near(after.At(p.x, p.y), Color(p.expected), kTolerance))
        << p.what << ": " << std::hex << after.At(p.x, p.y) << " for " << Color(p.expected);
  }
  const struct {
    const char* what;
    HWND button;
    skin::Color face;
  } buttons[] = {
      {"OK (default)", frame.ok(), kButtonFace},
      {"Cancel", frame.cancel(), kButtonFace},
      {"Off (disabled)", frame.off(), kButtonFaceDisabled},
  };
  for (const auto& row : buttons) {
    const Pixels p = Capture(row.button);
    EXPECT_TRUE(Near(p.At(4, p.height / 2), Color(row.face), kTolerance)) << row.what;
    EXPECT_TRUE(Near(p.At(p.width / 2, 0), Color(kButtonBorder), kTolerance)) << row.what << " border";
  }
  POINT close = CloseBoxCentre(frame.hwnd(), look_);
  RECT wr;
  GetWindowRect(frame.hwnd(), &wr);
  EXPECT_EQ(SendMessageW(frame.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(wr.left + close.x, wr.top + close.y)),
            HTCLOSE);
  EXPECT_EQ(SendMessageW(frame.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(wr.left + w / 2, wr.top + b + 2)),
            HTCAPTION);

  ASSERT_EQ(TheEngine().detach(), SKINH_OK);
  GetClientRect(frame.hwnd(), &client);
  EXPECT_TRUE(EqualRect(&client, &client_before));
  EXPECT_EQ(CountDifferent(frame.Shot(), before, 2), 0) << "the whole window looks as before";
  EXPECT_EQ(CountDifferent(Capture(frame.cancel()), cancel_before, 2), 0);
  EXPECT_EQ(TheEngine().detach(), SKINH_E_NOTATTACHED);
}

TEST_F(SkinEngineTest, PushButtonsShowHotPressedFocusedAndDisabled) {
  TestFrame frame;
  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  HWND cancel = frame.cancel();
  RECT rc;
  GetWindowRect(cancel, &rc);
  const struct {
    const char* state;
    void (*enter)(HWND, const RECT&);
    void (*leave)(HWND, const RECT&);
    skin::Color face, border;
  } states[] = {
      {"hot", [](HWND, const RECT& r) { SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2); },
       [](HWND, const RECT&) { SetCursorPos(0, 0); }, kButtonFaceHot, kButtonBorder},
      {"pressed", [](HWND b, const RECT&) { SendMessageW(b, BM_SETSTATE, TRUE, 0); },
       [](HWND b, const RECT&) { SendMessageW(b, BM_SETSTATE, FALSE, 0); }, kButtonFacePressed,
       kButtonBorder},
      {"focused", [](HWND b, const RECT&) { SetFocus(b); },
       [](HWND b, const RECT&) { SetFocus(GetParent(b)); }, kButtonFace, kButtonBorderFocused},
      {"disabled", [](HWND b, const RECT&) { EnableWindow(b, FALSE); },
       [](HWND b, const RECT&) { EnableWindow(b, TRUE); }, kButtonFaceDisabled, kButtonBorder},
  };
  for (const auto& s : states) {
    SCOPED_TRACE(s.state);
    s.enter(cancel, rc);
    PumpMessages(100);
    Pixels p = Capture(cancel);
    EXPECT_TRUE(Near(p.At(4, p.height / 2), Color(s.face), kTolerance)) << std::hex << p.At(4, p.height / 2);
    EXPECT_TRUE(Near(p.At(p.width / 2, 0), Color(s.border), kTolerance)) << std::hex << p.At(p.width / 2, 0);
    s.leave(cancel, rc);
    PumpMessages(600);  // the system notices the pointer left on its mouse-tracking timer
    p = Capture(cancel);
    EXPECT_TRUE(Near(p.At(4, p.height / 2), Color(kButtonFace), kTolerance)) << "back to normal";
  }
}

TEST_F(SkinEngineTest, WindowsMadeAfterAttachAreSkinned) {
  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  TestFrame frame(L"SkinTestLaterFrame", 90, 90);
  const Pixels p = frame.Shot();
  const int b = Metric(kBorderWidth), c = Metric(kCaptionHeight);
  RECT client;
  GetClientRect(frame.hwnd(), &client);
  EXPECT_EQ(client.bottom, p.height - 2 * b - c);
  EXPECT_TRUE(Near(p.At(p.width / 2, b + c - 1), Color(kCaptionActiveBottom), kTolerance));
  const Pixels ok = Capture(frame.ok());
  EXPECT_TRUE(Near(ok.At(4, ok.height / 2), Color(kButtonFace), kTolerance));
}

// The browser control's own windows, and a push button inside them, keep the system's look.
TEST_F(SkinEngineTest, BrowserWindowsAreLeftAlone) {
  const wchar_t* kBrowser[] = {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server"};
  for (const wchar_t* name : kBrowser) RegisterPlainClass(name);
  TestFrame frame;
  HWND parent = frame.hwnd();
  for (const wchar_t* name : kBrowser) {
    parent = CreateWindowExW(0, name, L"", WS_CHILD | WS_VISIBLE, 0, 0, 340, 120, parent, nullptr, nullptr,
                             nullptr);
  }
  HWND inside_before = CreateWindowExW(0, L"Button", L"In", WS_CHILD | WS_VISIBLE, 10, 10, 80, 28, parent,
                                       nullptr, nullptr, nullptr);
  // A top-level window of the browser's class keeps the system's frame too.
  HWND top = CreateWindowExW(0, L"Shell Embedding", L"Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 420, 60,
                             300, 200, nullptr, nullptr, nullptr, nullptr);
  PumpMessages(60);
  RECT top_client_before;
  GetClientRect(top, &top_client_before);
  const Pixels button_before = Capture(inside_before);

  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  HWND inside_after = CreateWindowExW(0, L"Button", L"In", WS_CHILD | WS_VISIBLE, 100, 10, 80, 28, parent,
                                      nullptr, nullptr, nullptr);
  RedrawWindow(frame.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(60);
  EXPECT_EQ(CountDifferent(Capture(inside_before), button_before, 2), 0);
  EXPECT_EQ(CountDifferent(Capture(inside_after), button_before, 2), 0);
  RECT top_client;
  GetClientRect(top, &top_client);
  EXPECT_TRUE(EqualRect(&top_client, &top_client_before));
  // The frame around the browser is skinned all the same.
  const Pixels ok = Capture(frame.ok());
  EXPECT_TRUE(Near(ok.At(4, ok.height / 2), Color(kButtonFace), kTolerance));
  DestroyWindow(top);
}

TEST_F(SkinEngineTest, TheCloseBoxClosesWhenReleasedOverIt) {
  const struct {
    const char* where;
    int dx;  // from the box's centre, in pixels
    bool closes;
  } releases[] = {{"over the box", 0, true}, {"off the box", -80, false}};
  for (const auto& r : releases) {
    SCOPED_TRACE(r.where);
    TestFrame frame;
    ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
    const POINT centre = CloseBoxCentre(frame.hwnd(), look_);
    RECT wr;
    GetWindowRect(frame.hwnd(), &wr);
    POINT up = {wr.left + centre.x + r.dx, wr.top + centre.y};
    ScreenToClient(frame.hwnd(), &up);
    // The box holds the mouse until the button comes up, so the release waits in the queue.
    PostMessageW(frame.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    SendMessageW(frame.hwnd(), WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(wr.left + centre.x, wr.top + centre.y));
    PumpMessages(60);
    EXPECT_EQ(!IsWindow(frame.hwnd()), r.closes);
    EXPECT_EQ(GetCapture(), nullptr);
    TheEngine().detach();
  }
}

// Damage that keeps the checksum right, so the engine must catch it by its meaning.
void Resign(std::vector<uint8_t>& s) {
  const uint32_t sum = SkinChecksum(s.data(), static_cast<uint32_t>(s.size()));
  std::memcpy(s.data() + kChecksumOffset, &sum, 4);
}

// Damaged skins are refused: the window keeps its look, nothing crashes.
TEST_F(SkinEngineTest, DamagedSkinsLeaveWindowsUnskinned) {
  const struct {
    const char* damage;
    void (*spoil)(std::vector<uint8_t>&);
  } cases[] = {
      {"wrong marker", [](std::vector<uint8_t>& s) { s[1] = 'X'; }},
      {"cut short", [](std::vector<uint8_t>& s) { s.resize(s.size() / 2); }},
      {"palette far past the end",
       [](std::vector<uint8_t>& s) {
         const uint32_t beyond = 0xFFFFFFF0u;
         std::memcpy(s.data() + 16, &beyond, 4);
         Resign(s);
       }},
      {"caption 1000 pixels tall",
       [](std::vector<uint8_t>& s) {
         uint32_t metrics;
         std::memcpy(&metrics, s.data() + 24, 4);
         s[metrics + 2 * kCaptionHeight] = 0xE8;
         s[metrics + 2 * kCaptionHeight + 1] = 0x03;
         Resign(s);
       }},
      {"empty", [](std::vector<uint8_t>& s) { s.clear(); }},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.damage);
    std::vector<uint8_t> s = SkinBytes(13);
    row.spoil(s);
    TestFrame frame;
    const Pixels before = frame.Shot();
    EXPECT_EQ(TheEngine().check(s.empty() ? nullptr : s.data(), static_cast<int>(s.size())), SKINH_E_BADSKIN);
    EXPECT_EQ(TheEngine().attach(s.empty() ? nullptr : s.data(), static_cast<int>(s.size()), "", 0, 0, 0),
              SKINH_E_BADSKIN);
    EXPECT_EQ(CountDifferent(frame.Shot(), before, 2), 0);
    EXPECT_EQ(TheEngine().color(kWindowBack), CLR_INVALID);
  }

  // A length that runs into memory that cannot be read is refused, not read.
  const std::vector<uint8_t> good = SkinBytes(13);
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const size_t page = info.dwPageSize, readable = (good.size() / page + 1) * page;
  auto* block = static_cast<uint8_t*>(VirtualAlloc(nullptr, readable + page, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  DWORD old;
  ASSERT_TRUE(VirtualProtect(block + readable, page, PAGE_NOACCESS, &old));
  uint8_t* start = block + readable - good.size() / 2;
  std::memcpy(start, good.data(), good.size() / 2);
  EXPECT_EQ(TheEngine().attach(start, static_cast<int>(good.size()), "", 0, 0, 0), SKINH_E_BADSKIN);
  EXPECT_EQ(TheEngine().attach(start, -1, "", 0, 0, 0), SKINH_E_BADSKIN);
  VirtualFree(block, 0, MEM_RELEASE);
}

TEST_F(SkinEngineTest, ASecondSkinReplacesTheFirstAndABadOneKeepsIt) {
  TestFrame frame;
  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  ASSERT_EQ(AttachSkin(SkinBytes(4)), SKINH_OK);
  const SkinLook four = LookOf(4);
  EXPECT_EQ(TheEngine().color(kWindowBack), four.colors[kWindowBack]);
  Pixels p = frame.Shot();
  const int b = four.metrics[kBorderWidth], c = four.metrics[kCaptionHeight];
  EXPECT_TRUE(Near(p.At(p.width / 2, b + c - 1), Rgb(four.colors[kCaptionActiveBottom]), kTolerance));

  std::vector<uint8_t> bad = SkinBytes(13);
  bad[0] = 'X';
  EXPECT_EQ(AttachSkin(bad), SKINH_E_BADSKIN);
  EXPECT_EQ(TheEngine().color(kWindowBack), four.colors[kWindowBack]);
  EXPECT_EQ(TheEngine().color(kColorCount), CLR_INVALID);
}

TEST_F(SkinEngineTest, OneWindowCanBeLeftUnskinned) {
  TestFrame frame;
  const Pixels cancel_before = Capture(frame.cancel());
  EXPECT_EQ(TheEngine().set_window_skin(frame.cancel(), 0), SKINH_E_NOTATTACHED);
  ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
  EXPECT_EQ(TheEngine().set_window_skin(frame.cancel(), 0), SKINH_OK);
  PumpMessages(60);
  EXPECT_EQ(CountDifferent(Capture(frame.cancel()), cancel_before, 2), 0);
  const Pixels ok = Capture(frame.ok());
  EXPECT_TRUE(Near(ok.At(4, ok.height / 2), Color(kButtonFace), kTolerance)) << "its neighbour stays skinned";
  EXPECT_EQ(TheEngine().set_window_skin(frame.cancel(), 1), SKINH_OK);
  PumpMessages(60);
  const Pixels cancel = Capture(frame.cancel());
  EXPECT_TRUE(Near(cancel.At(4, cancel.height / 2), Color(kButtonFace), kTolerance));
}

// What reached the frame below the engine's subclass, of the messages the
// system's frame painting answers, and whether the frame was visible then.
std::vector<std::pair<UINT, bool>> g_reached;
LRESULT CALLBACK Logger(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  for (UINT watched : {WM_NCMOUSEMOVE, WM_NCMOUSELEAVE, WM_SETCURSOR, WM_NCACTIVATE, WM_SETTEXT, WM_SETICON})
    if (msg == watched) g_reached.push_back({msg, IsWindowVisible(hwnd) != 0});
  return CommonControls().DefSubclassProc(hwnd, msg, wp, lp);
}

// A CBT hook set before the engine's is asked after it; it cancels one creation.
bool g_subclassed_when_asked;
LRESULT CALLBACK LaterHook(int code, WPARAM wp, LPARAM lp) {
  const HWND h = reinterpret_cast<HWND>(wp);
  if (code != HCBT_CREATEWND || lstrcmpW(reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszName, L"Cancelled"))
    return CallNextHookEx(nullptr, code, wp, lp);
  g_subclassed_when_asked =
      static_cast<ULONG_PTR>(GetWindowLongPtrW(h, GWLP_WNDPROC)) != GetClassLongPtrW(h, GCLP_WNDPROC);
  return 1;
}

// Wine has no DWM and keeps no high-contrast setting: the test pins what the engine asks of them.
TEST_F(SkinEngineTest, TheSkinOwnsItsFrameOutrightAndLeavesItUnderHighContrast) {
  TestFrame frame;
  const HWND h = frame.hwnd();
  CommonControls().SetWindowSubclass(h, Logger, 1, 0);
  const HHOOK later = SetWindowsHookExW(WH_CBT, LaterHook, nullptr, GetCurrentThreadId());
  RECT plain, client;
  GetClientRect(h, &plain);
  g_high_contrast = true;
  using Calls = std::vector<DwmCall>;
  auto taken_from = [](HWND w) { return Calls{{w, 2, 1}, {w, 33, 1}, {w, 34, 0xFFFFFFFE}}; };
  const Calls taken = taken_from(h), given = {{h, 2, 0}, {h, 33, 0}, {h, 34, ~0u}};
  auto send = [h](UINT msg, WPARAM wp, LPARAM lp) { return [=] { SendMessageW(h, msg, wp, lp); }; };
  auto contrast = [h](bool on, UINT m) { return [=] { g_high_contrast = on, SendMessageW(h, m, 0, 0); }; };
  auto create = [](const wchar_t* title) {
    return [=] { EXPECT_FALSE(CreateWindowExW(0, L"SkinTestFrame", title, 0, 0, 0, 9, 9, 0, 0, 0, 0)); };
  };
  const LPARAM icon = reinterpret_cast<LPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
  const std::tuple<const char*, std::function<void()>, bool, Calls, decltype(g_reached)> steps[] = {
      {"attached under high contrast", [] { AttachSkin(SkinBytes(13)); }, false, {}, {}},
      {"high contrast off", contrast(false, WM_SETTINGCHANGE), true, taken, {}},
      {"over the close box", send(WM_NCMOUSEMOVE, HTCLOSE, 0), true, {}, {}},
      {"over the caption", send(WM_NCMOUSEMOVE, HTCAPTION, 0), true, {}, {{WM_NCMOUSEMOVE, true}}},
      {"pointer gone", send(WM_NCMOUSELEAVE, 0, 0), true, {}, {}},
      {"cursor on a box", send(WM_SETCURSOR, (WPARAM)h, MAKELPARAM(HTMAXBUTTON, WM_MOUSEMOVE)), true, {}, {}},
      {"inactive, high word set", send(WM_NCACTIVATE, MAKEWPARAM(0, 1), 0), true, {}, {}},
      {"title", send(WM_SETTEXT, 0, (LPARAM)L"New"), true, {}, {{WM_SETTEXT, false}}},
      {"icon", send(WM_SETICON, ICON_SMALL, icon), true, {}, {{WM_SETICON, false}}},
      {"composition changed", send(WM_DWMCOMPOSITIONCHANGED, 0, 0), true, taken, {}},
      {"a creation a later hook cancels", create(L"Cancelled"), true, {}, {}},
      {"a frame with a menu bar keeps DWM's",
       [] {
         DestroyWindow(
             CreateWindowExW(0, L"SkinTestFrame", L"", WS_CAPTION, 0, 0, 9, 9, 0, CreateMenu(), 0, 0));
       },
       true,
       {},
       {}},
      {"high contrast on", contrast(true, WM_THEMECHANGED), false, given, {}},
      {"high contrast off again", contrast(false, WM_THEMECHANGED), true, taken, {}},
      {"detached", [] { TheEngine().detach(); }, false, given, {}},
  };
  for (const auto& [step, act, skinned, dwm, reached] : steps) {
    g_reached.clear();
    g_dwm_calls.clear();
    act();
    GetClientRect(h, &client);
    EXPECT_EQ(g_dwm_calls, dwm) << step;
    EXPECT_EQ(g_reached, reached) << step;
    EXPECT_EQ(EqualRect(&client, &plain), !skinned) << step;
    EXPECT_TRUE(IsWindowVisible(h)) << step;
  }
  EXPECT_FALSE(g_subclassed_when_asked) << "the later hook was asked before the engine skinned";
  wchar_t dwm[MAX_PATH];
  EXPECT_EQ(g_dwm_file, std::wstring(dwm, GetSystemDirectoryW(dwm, MAX_PATH)) + L"\\dwmapi.dll");
  UnhookWindowsHookEx(later);
  AttachSkin(SkinBytes(13));
  g_dwm_calls.clear();
  TestFrame made_later(L"SkinTestLaterFrame", 90, 90);
  EXPECT_EQ(g_dwm_calls, taken_from(made_later.hwnd())) << "told at creation";
}

TEST_F(SkinEngineTest, ScreenshotsOfTheTestWindow) {
  if (g_screens.empty()) GTEST_SKIP() << "no --screens=<dir> given";
  CreateDirectoryA(g_screens.c_str(), nullptr);
  TestFrame frame;
  EXPECT_TRUE(WritePng(g_screens + "\\skin_test_window_unskinned.png", frame.Shot()));
  for (int number : {13, 8}) {
    ASSERT_EQ(AttachSkin(SkinBytes(number)), SKINH_OK);
    SetFocus(frame.cancel());
    const std::string name = "\\skin_test_window_skin" + std::to_string(number) + ".png";
    EXPECT_TRUE(WritePng(g_screens + name, frame.Shot()));
  }
}

// What one of the program's windows shows: the whole window and its push
// buttons and pictures, each in creation order.
struct ProgramWindowShot {
  Pixels whole;
  std::vector<Pixels> buttons, pictures;
};

BOOL CALLBACK CollectControl(HWND hwnd, LPARAM lp) {
  auto* shot = reinterpret_cast<ProgramWindowShot*>(lp);
  wchar_t name[64];
  if (!IsWindowVisible(hwnd) || !GetClassNameW(hwnd, name, 64)) return TRUE;
  if (!lstrcmpiW(name, L"Button")) shot->buttons.push_back(Capture(hwnd));
  if (!lstrcmpiW(name, L"VelmoraPicBox")) shot->pictures.push_back(Capture(hwnd));
  return TRUE;
}

ProgramWindowShot ShootProgramWindow(uint32_t window_id, const std::string& file) {
  ProgramWindowShot shot;
  LiveWindow* window = LiveWindow::Load(window_id);
  EXPECT_NE(window, nullptr);
  if (!window) return shot;
  ShowWindow(window->hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(window->hwnd());
  RedrawWindow(window->hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages(150);
  shot.whole = Capture(window->hwnd(), true);
  EnumChildWindows(window->hwnd(), CollectControl, reinterpret_cast<LPARAM>(&shot));
  EXPECT_TRUE(WritePng(g_screens + "\\" + file, shot.whole)) << file;
  window->Destroy();
  PumpMessages(20);
  return shot;
}

// The program's windows with their pictures, unskinned and with skin 13: the
// skin draws the frame, the caption and the buttons, never the pictures.
TEST_F(SkinEngineTest, ScreenshotsOfTheProgramWindowsDifferWhereTheSkinDraws) {
  if (g_screens.empty()) GTEST_SKIP() << "no --screens=<dir> given";
  CreateDirectoryA(g_screens.c_str(), nullptr);
  ReadProgramWindows({});
  const struct {
    uint32_t id;
    const char* name;
    bool pictures;
  } windows[] = {{ids::MainWindow, "main_window", true},
                 {ids::NewVersionWindow, "new_version_window", false}};
  for (const auto& row : windows) {
    SCOPED_TRACE(row.name);
    const ProgramWindowShot plain = ShootProgramWindow(row.id, std::string(row.name) + "_unskinned.png");
    ASSERT_EQ(AttachSkin(SkinBytes(13)), SKINH_OK);
    const ProgramWindowShot skinned = ShootProgramWindow(row.id, std::string(row.name) + "_skin13.png");
    ASSERT_EQ(TheEngine().detach(), SKINH_OK);

    ASSERT_EQ(skinned.whole.width, plain.whole.width) << "the skin keeps the stored size";
    ASSERT_EQ(skinned.whole.height, plain.whole.height);
    const int b = Metric(kBorderWidth), c = Metric(kCaptionHeight), w = skinned.whole.width;
    EXPECT_TRUE(Near(skinned.whole.At(b + 1, b), Color(kCaptionActiveTop), kTolerance));
    EXPECT_TRUE(Near(skinned.whole.At(b + 1, b + c - 1), Color(kCaptionActiveBottom), kTolerance));
    EXPECT_TRUE(Near(skinned.whole.At(0, skinned.whole.height / 2), Color(kFrameEdge), kTolerance));
    int caption_changed = 0;
    for (int y = b; y < b + c; ++y) {
      for (int x = b; x < w - b; ++x)
        caption_changed += !Near(skinned.whole.At(x, y), plain.whole.At(x, y), 6);
    }
    EXPECT_GT(caption_changed, (w - 2 * b) * c / 2) << "the caption bar is the skin's";

    ASSERT_EQ(skinned.buttons.size(), plain.buttons.size());
    ASSERT_FALSE(skinned.buttons.empty());
    for (size_t i = 0; i < skinned.buttons.size(); ++i) {
      const Pixels& p = skinned.buttons[i];
      EXPECT_GT(CountDifferent(p, plain.buttons[i], 6), p.width * p.height / 4) << "button " << i;
      EXPECT_TRUE(Near(p.At(p.width / 2, 0), Color(kButtonBorder), kTolerance)) << "button " << i;
    }
    ASSERT_EQ(skinned.pictures.size(), plain.pictures.size());
    ASSERT_EQ(skinned.pictures.empty(), !row.pictures);
    for (size_t i = 0; i < skinned.pictures.size(); ++i) {
      EXPECT_EQ(CountDifferent(skinned.pictures[i], plain.pictures[i], 2), 0) << "picture " << i;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--engine=", 9) == 0) g_engine_path = WindowsPath(argv[i] + 9);
    if (std::strncmp(argv[i], "--screens=", 10) == 0) g_screens = WindowsPath(argv[i] + 10);
  }
  return RunTestMain(argc, argv);
}
