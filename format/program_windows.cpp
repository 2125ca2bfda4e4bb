#include "format/program_windows.h"

#include "window_block.h"

ByteView ProgramWindowBlock() {
  return ByteView{ByteArrayData(&velmora_window_descriptions),
                  static_cast<uint32_t>(velmora_window_descriptions.length)};
}

WindowDescriptionTable& ProgramWindows() {
  static WindowDescriptionTable table;
  return table;
}

void ReadProgramWindows(HandlerTable handlers) { ProgramWindows().Read(ProgramWindowBlock(), handlers); }
