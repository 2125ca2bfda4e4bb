// What the recording SkinH_EL.dll kept of each SkinH_AttachRes call.
#pragma once

struct RecordedAttachCall {
  const void* skin;  // the pointer as passed
  int length;
  const char* text;    // the pointer as passed
  char text_start[8];  // its first bytes, when not null
  int reserved[3];
  unsigned char bytes[65536];  // copy of the skin bytes (at most this many)
};
struct RecordedAttachCalls {
  int count;
  RecordedAttachCall calls[4];
};
typedef const RecordedAttachCalls*(__cdecl* RecordedAttachCallsProc)();
