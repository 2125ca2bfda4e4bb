// velmora_formc [--media-dir DIR] OUT.bin SOURCE.json... : compiles the window
// sources, in the order given, into one block of window descriptions. Pictures
// and cursors are found from DIR, or else from each source's own folder (a
// source made by the build lives apart from the media it names).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "tools/form_compiler/compiler.h"

int main(int argc, char** argv) {
  std::optional<std::filesystem::path> media_dir;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--media-dir") == 0) {
    media_dir = argv[2];
    first = 3;
  }
  if (argc < first + 2) {
    std::fprintf(stderr, "usage: %s [--media-dir DIR] OUT.bin SOURCE.json...\n", argv[0]);
    return 2;
  }
  const char* out_path = argv[first];
  try {
    std::vector<formc::WindowSource> sources;
    for (int i = first + 1; i < argc; ++i) {
      sources.push_back(formc::LoadWindowSource(argv[i]));
      if (media_dir) sources.back().dir = *media_dir;
    }
    std::vector<uint8_t> block = formc::CompileWindows(sources);
    std::string tmp = std::string(out_path) + ".tmp";
    {
      std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
      if (!out) throw formc::CompileError("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, out_path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora_formc: %s\n", e.what());
    return 1;
  }
  return 0;
}
