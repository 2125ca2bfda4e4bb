// What the engine's parts share: the attached skin, the skinned windows and
// the two skin procedures. Internal to SkinH_EL.dll.
#pragma once

#include <windows.h>

#include "skinengine/comctl_win32.h"
#include "skinengine/skin_format.h"

// One window the engine subclassed; lives until detach or WM_NCDESTROY.
struct SkinnedWindow {
  SkinnedWindow* next;  // the thread's skinned windows, newest first
  SkinnedWindow* prev;
  HWND hwnd;
  SUBCLASSPROC proc;   // the skin procedure installed on it
  LONG_PTR installed;  // GWLP_WNDPROC just after subclassing: another value means a raw subclass sits above
  bool passive;        // kept on detach under a raw subclass, forwarding everything
  bool left_alone;     // SkinH_SetWindowSkin(hwnd, 0)
  bool hot;            // pointer over the push button
  bool active;         // frame drawn active
  bool frame_taken;    // DWM told the skin draws this frame (own frame, corners and border off)
  int hot_part;        // caption box under the pointer (HTCLOSE, HTMAXBUTTON, HTMINBUTTON) or 0
  int pressed_part;    // caption box held down, or 0
};

struct EngineState {
  bool attached;
  DWORD thread;  // whose windows are skinned; only it may change the skin
  HHOOK hook;    // the thread's CBT hook
  skin::SkinLook look;
  HBRUSH window_brush;  // answers to WM_CTLCOLOR* in frames
  HBRUSH dialog_brush;
  HFONT caption_font;
  bool high_contrast;  // the user's high-contrast colours are on: every window is left to the system
  SkinnedWindow* windows;
};
extern EngineState g_engine;

inline COLORREF SkinColor(skin::Color c) { return g_engine.look.colors[c]; }
inline int SkinMetric(skin::Metric m) { return g_engine.look.metrics[m]; }
// The skin procedure leaves the message to the window's own procedure.
inline bool Forwarding(const SkinnedWindow* w) {
  return !g_engine.attached || w->passive || w->left_alone || g_engine.high_contrast;
}

// The frame and dialog skin: caption, border, caption boxes, background.
LRESULT CALLBACK FrameSkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
// The push button skin.
LRESULT CALLBACK ButtonSkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
// The engine's record of a window it subclassed, or null.
SkinnedWindow* FindSkinnedWindow(HWND hwnd);
// Ends the engine's part in a window at WM_NCDESTROY; the caller then forwards.
void ForgetWindow(SkinnedWindow* w);
// Redraws a window after its skin was put on, changed or taken off.
void RefreshWindow(HWND hwnd, SUBCLASSPROC proc);
// Re-reads the high-contrast setting; a change leaves every window to the system or takes them back.
void FollowHighContrast();
// Tells DWM whether the skin draws this window's frame, when that changed or `again` asks;
// the caller then sends SWP_FRAMECHANGED (RefreshWindow does).
void SyncSystemFrame(SkinnedWindow* w, bool again);
