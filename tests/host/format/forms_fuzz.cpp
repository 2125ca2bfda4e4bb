// Fuzzes the window description reader: the block, then every record's
// property stream and page list as loading a window would read them.
#include <cstddef>
#include <cstdint>

#include "read_everything.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WindowDescriptionTable table;
  if (size <= UINT32_MAX && table.Parse(ByteView{data, static_cast<uint32_t>(size)}, {})) ReadEveryStream(table);
  return 0;
}
