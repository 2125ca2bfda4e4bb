// A stand-in SkinH_EL.dll that records every SkinH_AttachRes call.
#include "recording_engine.h"

#include <windows.h>

#include <cstring>

namespace {
RecordedAttachCalls g_recorded;
}

extern "C" __declspec(dllexport) int WINAPI
    SkinH_AttachRes(const void* skin, int length, const char* text, int r1, int r2, int r3) {
  if (g_recorded.count == 4) return 1;
  RecordedAttachCall& call = g_recorded.calls[g_recorded.count++];
  call = {skin, length, text, {}, {r1, r2, r3}, {}};
  if (text) std::strncpy(call.text_start, text, sizeof call.text_start - 1);
  if (skin && length > 0) {
    std::memcpy(call.bytes, skin, length < static_cast<int>(sizeof call.bytes) ? length : sizeof call.bytes);
  }
  return 0;
}

extern "C" __declspec(dllexport) const RecordedAttachCalls* __cdecl GetRecordedAttachCalls() {
  return &g_recorded;
}
