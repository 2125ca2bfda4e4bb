// libFuzzer target: any bytes read as a page give runs whose texts are whole
// GBK characters without control bytes, whose links exist and whose tab stops
// rise, never a crash, a leak or a read outside the input.
#include <cstddef>
#include <cstdint>

#include "components/page_text.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool WholeGbk(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F || b == 0x80 || b == 0xFF) return false;
    if (b > 0x80 && (++i >= text.size() || static_cast<unsigned char>(text[i]) < 0x40)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const PageText page = ReadPageText(data, size);
  for (const PageRun& run : page.runs) {
    Check(run.kind == PageRunKind::kText ? !run.text.empty() && WholeGbk(run.text) : run.text.empty());
    Check(run.link >= -1 && run.link < static_cast<int32_t>(page.links.size()));
  }
  for (size_t i = 0; i < page.tab_stops.size(); ++i)
    Check(page.tab_stops[i] > (i ? page.tab_stops[i - 1] : 0));
  return 0;
}
