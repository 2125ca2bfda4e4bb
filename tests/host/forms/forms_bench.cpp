// What reading the program's window descriptions costs at start.
#include <benchmark/benchmark.h>

#include "forms/program_windows.h"

namespace {

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

}  // namespace

BENCHMARK_MAIN();
