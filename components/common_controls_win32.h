// The common controls library, not linked at load so that it can never be
// taken from the program's folder: loaded by name once the DLL search is
// limited, so the manifest's activation context still gives version 6 from
// the side-by-side store. Every entry the program uses is in this one table.
#pragma once

#include <ole2.h>
#include <windows.h>
// After ole2.h: commctrl.h declares ImageList_Read only once IStream is known.
#include <commctrl.h>

struct CommonControlEntries {
  decltype(&::InitCommonControlsEx) InitCommonControlsEx;
  decltype(&::SetWindowSubclass) SetWindowSubclass;
  decltype(&::GetWindowSubclass) GetWindowSubclass;
  decltype(&::RemoveWindowSubclass) RemoveWindowSubclass;
  decltype(&::DefSubclassProc) DefSubclassProc;
  decltype(&::ImageList_Create) ImageList_Create;
  decltype(&::ImageList_Destroy) ImageList_Destroy;
  decltype(&::ImageList_Read) ImageList_Read;
  decltype(&::ImageList_AddMasked) ImageList_AddMasked;
  decltype(&::ImageList_GetIconSize) ImageList_GetIconSize;
  decltype(&::ImageList_GetImageCount) ImageList_GetImageCount;
  decltype(&::ImageList_Draw) ImageList_Draw;
  decltype(&::ImageList_DrawEx) ImageList_DrawEx;
};

// The table, loaded by the first call; null when the library or one of its
// entries is missing (the start window then cannot be made).
const CommonControlEntries* LoadCommonControls();
// The loaded table; a library that cannot be loaded ends in the fatal report.
const CommonControlEntries& CommonControls();
