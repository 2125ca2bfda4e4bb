// velmora_formc OUT.bin SOURCE.json... : compiles the window sources, in the
// order given, into one block of window descriptions.
#include <cstdio>
#include <fstream>

#include "tools/form_compiler/compiler.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUT.bin SOURCE.json...\n", argv[0]);
    return 2;
  }
  try {
    std::vector<formc::WindowSource> sources;
    for (int i = 2; i < argc; ++i) sources.push_back(formc::LoadWindowSource(argv[i]));
    std::vector<uint8_t> block = formc::CompileWindows(sources);
    std::string tmp = std::string(argv[1]) + ".tmp";
    {
      std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
      if (!out) throw formc::CompileError("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora_formc: %s\n", e.what());
    return 1;
  }
  return 0;
}
