// SkinH_EL.dll, Velmora's skin engine: given a skin held in memory, it draws
// every window of the calling thread, present and future, with the skin's
// frames, caption bars, push buttons and backgrounds. It does not skin windows
// of other threads, menus, scroll bars or the browser control's windows.
// Every entry is stdcall and exported without decoration.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef SKINH_BUILDING_ENGINE
#define SKINH_API __declspec(dllexport)
#else
#define SKINH_API __declspec(dllimport)
#endif

// Results of the entries that report one.
#define SKINH_OK 0
#define SKINH_E_BADSKIN 1      // unreadable skin: nothing was changed
#define SKINH_E_THREAD 2       // attached on another thread, which alone may change it
#define SKINH_E_NOTATTACHED 3  // nothing to detach
#define SKINH_E_SYSTEM 4       // the thread hook could not be set

// Skins the calling thread's windows with the skin at skin (length bytes, from
// its ".SHE" marker on). The engine copies what it needs; the caller may free
// the bytes on return. A second call changes the skin. reserved_text may be
// null or empty and the three reserved numbers are 0; all four are ignored.
// An unreadable skin changes nothing: windows stay as they were.
// While the user's high contrast is on, every window keeps the system's look
// until it goes off.
SKINH_API int __stdcall SkinH_AttachRes(const void* skin, int length, const char* reserved_text,
                                        int reserved1, int reserved2, int reserved3);
// Puts every skinned window back as it was and stops skinning new ones.
SKINH_API int __stdcall SkinH_Detach(void);
// Checks a skin without attaching it: SKINH_OK or SKINH_E_BADSKIN.
SKINH_API int __stdcall SkinH_CheckRes(const void* skin, int length);
// A colour of the attached skin, by its palette index (skinengine/skin_format.h),
// or CLR_INVALID when nothing is attached or the index is out of range.
SKINH_API COLORREF __stdcall SkinH_GetColor(int index);
// Leaves one window (skinned = 0) or takes it back (skinned = 1); the choice
// holds for the window's life, across detach and attach. Not for child windows
// of other threads. SKINH_OK, or SKINH_E_THREAD for a window of another thread.
SKINH_API int __stdcall SkinH_SetWindowSkin(HWND hwnd, int skinned);

typedef int(__stdcall* SkinH_AttachResProc)(const void*, int, const char*, int, int, int);
typedef int(__stdcall* SkinH_DetachProc)(void);
typedef int(__stdcall* SkinH_CheckResProc)(const void*, int);
typedef COLORREF(__stdcall* SkinH_GetColorProc)(int);
typedef int(__stdcall* SkinH_SetWindowSkinProc)(HWND, int);

#ifdef __cplusplus
}
#endif
