// What the start-up tests and the tests of the real velmora.exe share.
#pragma once

#include <windows.h>

#include <string>

#include "core/pages.h"
#include "services/services.h"
#include "skin/skin_catalogue.h"

namespace startup_test {

inline std::string PageBytes(const ContentPage& page) {
  return std::string(reinterpret_cast<const char*>(ByteArrayData(page.bytes)),
                     static_cast<size_t>(ByteArrayLength(page.bytes)));
}

// Wine reports every regular file as archive; the other bits are what matter.
inline DWORD VisibleAttributes(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? a : a & ~FILE_ATTRIBUTE_ARCHIVE;
}

inline constexpr const char kEngineFile[] = "SkinH_EL.dll";

inline std::string EngineImage() {
  ByteArray image = SkinEngineImage();
  return std::string(reinterpret_cast<const char*>(ByteArrayData(image)), static_cast<size_t>(image->length));
}

// Where the frame's client area starts inside the window.
inline POINT ClientOrigin(HWND hwnd) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  return {origin.x - wr.left, origin.y - wr.top};
}

}  // namespace startup_test
