// velmora_formc [--media-dir DIR] [--ids-header OUT.h] OUT.bin SOURCE.json... :
// compiles the window sources, in the order given, into one block of window
// descriptions, and writes the header naming their identifiers. Pictures and
// cursors are found from DIR, or else from each source's own folder (a source
// made by the build lives apart from the media it names).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "tools/form_compiler/compiler.h"

namespace {

void WriteFile(const std::string& path, const void* data, size_t size) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) throw formc::CompileError("cannot write " + tmp);
  }
  std::filesystem::rename(tmp, path);
}

// An unchanged header keeps its time, so what includes it is not rebuilt.
void WriteIfChanged(const std::string& path, const std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (in && std::string(std::istreambuf_iterator<char>(in), {}) == text) return;
  WriteFile(path, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::filesystem::path> media_dir;
  std::optional<std::string> ids_header;
  int first = 1;
  while (argc > first + 1 && std::strncmp(argv[first], "--", 2) == 0) {
    if (std::strcmp(argv[first], "--media-dir") == 0) {
      media_dir = argv[first + 1];
    } else if (std::strcmp(argv[first], "--ids-header") == 0) {
      ids_header = argv[first + 1];
    } else {
      break;
    }
    first += 2;
  }
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: %s [--media-dir DIR] [--ids-header OUT.h] OUT.bin SOURCE.json...\n",
                 argv[0]);
    return 2;
  }
  try {
    std::vector<formc::WindowSource> sources;
    for (int i = first + 1; i < argc; ++i) {
      sources.push_back(formc::LoadWindowSource(argv[i]));
      if (media_dir) sources.back().dir = *media_dir;
    }
    std::vector<uint8_t> block = formc::CompileWindows(sources);
    if (ids_header) WriteIfChanged(*ids_header, formc::IdsHeader(sources));
    WriteFile(argv[first], block.data(), block.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora_formc: %s\n", e.what());
    return 1;
  }
  return 0;
}
