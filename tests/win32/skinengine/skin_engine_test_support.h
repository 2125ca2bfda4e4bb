// Shared by the skin engine's Wine tests: the engine loaded from the image the
// program carries, skin 13's look, and test frames with a caption and buttons.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "skinengine/skin_format.h"
#include "skinengine/skinh.h"
#include "support/screen_pixels.h"
#include "support/test_support.h"

extern std::string g_engine_path;  // the padded SkinH_EL.dll, as Windows sees it
extern std::string g_screens;      // where screenshots go; empty: nowhere

struct Engine {
  HMODULE module = nullptr;
  SkinH_AttachResProc attach = nullptr;
  SkinH_DetachProc detach = nullptr;
  SkinH_CheckResProc check = nullptr;
  SkinH_GetColorProc color = nullptr;
  SkinH_SetWindowSkinProc set_window_skin = nullptr;
};
// Loaded once; every entry is looked up by its plain name. Its imports are patched so
// DWM calls are recorded and high contrast is the test's (Wine 8 refuses SPI_SETHIGHCONTRAST).
const Engine& TheEngine();
using DwmCall = std::tuple<HWND, DWORD, DWORD>;  // window, attribute, value
extern std::vector<DwmCall> g_dwm_calls;
extern std::wstring g_dwm_file;  // where the engine looked DwmSetWindowAttribute up
extern bool g_high_contrast;

// Skin 13's bytes (from its ".SHE" marker on) and what they say.
std::vector<uint8_t> SkinBytes(int number);
skin::SkinLook LookOf(int number);
int AttachSkin(const std::vector<uint8_t>& bytes);

// 0x00RRGGBB, as captured pixels hold colours.
inline uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// A top-level window with a caption, an OK (default), a Cancel and a disabled
// Off button, shown and active; destroyed when it goes.
class TestFrame {
 public:
  explicit TestFrame(const wchar_t* class_name = L"SkinTestFrame", int x = 60, int y = 60);
  ~TestFrame();
  TestFrame(const TestFrame&) = delete;
  TestFrame& operator=(const TestFrame&) = delete;
  HWND hwnd() const { return hwnd_; }
  HWND ok() const { return GetDlgItem(hwnd_, 1); }
  HWND cancel() const { return GetDlgItem(hwnd_, 2); }
  HWND off() const { return GetDlgItem(hwnd_, 3); }
  // Repaints everything and reads the whole window back.
  Pixels Shot() const;

 private:
  HWND hwnd_;
};

// Registers a window class with DefWindowProc once per name.
void RegisterPlainClass(const wchar_t* name);
// Where the skin puts the close box's centre, in window coordinates.
POINT CloseBoxCentre(HWND frame, const skin::SkinLook& look);
// Pixels that differ by more than tolerance in any channel.
int CountDifferent(const Pixels& a, const Pixels& b, int tolerance);
