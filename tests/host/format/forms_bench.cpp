// What reading the program's window descriptions and decoding MainWindow's
// pictures cost at start, each beside a floor that touches the same bytes
// once, so that scripts/bench.sh can state them as ratios.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "components/jpeg_decoder.h"
#include "format/program_windows.h"
#include "format/property_streams.h"
#include "format/window_ids.h"

namespace {

// The stored pictures of MainWindow's picture boxes, as the loader hands them over.
std::vector<ByteView> MainWindowPictures() {
  static WindowDescriptionTable table;
  static bool parsed = table.Parse(ProgramWindowBlock(), {});
  std::vector<ByteView> pictures;
  const WindowDescription* main = parsed ? table.Find(ids::MainWindow) : nullptr;
  if (!main) return pictures;
  for (const ControlRecord& r : main->records) {
    PicBoxProperties p;
    if (r.kind == kKindPicBox && ReadPicBoxProperties(r.properties, &p) == StreamResult::kOk &&
        LooksLikeJpeg(p.Picture.data, p.Picture.size)) {
      pictures.push_back(p.Picture);
    }
  }
  return pictures;
}

// Copies the bytes once, as the least any reader of them does.
void CopyOnce(ByteView bytes, std::vector<uint8_t>* to) {
  to->resize(bytes.size);
  std::memcpy(to->data(), bytes.data, bytes.size);
  benchmark::DoNotOptimize(to->data());
  benchmark::ClobberMemory();
}

void BM_ReadProgramWindows(benchmark::State& state) {
  for (auto _ : state) {
    WindowDescriptionTable table;
    bool ok = table.Parse(ProgramWindowBlock(), {});
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(table.windows().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ProgramWindowBlock().size);
}
BENCHMARK(BM_ReadProgramWindows)->Unit(benchmark::kMicrosecond);

// The floor for reading: one copy of the block.
void BM_CopyProgramWindowBlock(benchmark::State& state) {
  std::vector<uint8_t> copy;
  for (auto _ : state) CopyOnce(ProgramWindowBlock(), &copy);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ProgramWindowBlock().size);
}
BENCHMARK(BM_CopyProgramWindowBlock)->Unit(benchmark::kMicrosecond);

void BM_DecodeMainWindowPictures(benchmark::State& state) {
  const std::vector<ByteView> pictures = MainWindowPictures();
  if (pictures.size() != 10) state.SkipWithError("MainWindow does not hold ten pictures");
  for (auto _ : state) {
    for (ByteView p : pictures) {
      DecodedImage image = DecodeJpeg(p.data, p.size);
      benchmark::DoNotOptimize(image.pixels.get());
    }
  }
  state.counters["pictures"] = static_cast<double>(pictures.size());
}
BENCHMARK(BM_DecodeMainWindowPictures)->Unit(benchmark::kMicrosecond);

// The floor for decoding: copying every stored picture once and writing
// every pixel of its decoded size once, into memory of its own.
void BM_TouchMainWindowPictures(benchmark::State& state) {
  const std::vector<ByteView> pictures = MainWindowPictures();
  std::vector<size_t> decoded_sizes;
  for (ByteView p : pictures) {
    DecodedImage image = DecodeJpeg(p.data, p.size);
    decoded_sizes.push_back(static_cast<size_t>(image.stride) * static_cast<size_t>(image.height));
  }
  std::vector<uint8_t> copy;
  for (auto _ : state) {
    for (size_t i = 0; i < pictures.size(); ++i) {
      CopyOnce(pictures[i], &copy);
      std::unique_ptr<uint8_t[]> pixels(new uint8_t[decoded_sizes[i]]);
      std::memset(pixels.get(), 0x80, decoded_sizes[i]);
      benchmark::DoNotOptimize(pixels.get());
    }
  }
}
BENCHMARK(BM_TouchMainWindowPictures)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
