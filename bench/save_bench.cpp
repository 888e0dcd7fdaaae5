// What the safe save costs: the bench project saved as gzip straight onto its
// path, and through SaveProjectFile (temporary file, checked writes and
// close, fsync, rename), in interleaved rounds of one process.
#include <cstdio>
#include <memory>

#include "BenchCommon.h"
#include "BenchProject.h"
#include "items/ResItem.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace {

constexpr int kLevel = 2;
bool g_failed = false;

struct Setup {
  std::unique_ptr<CResItem> root;
  CString plainPath;
  CString safePath;
};

void PlainSave(benchmark::State& state, Setup* s) {
  for (auto _ : state) {
    Serial::GZFileStreamOut file(s->plainPath, kLevel);
    Serial::Binary::BinarySerialOut writer(file);
    if (!DoProject(writer, s->root)) g_failed = true;
  }
}

void SafeSave(benchmark::State& state, Setup* s) {
  for (auto _ : state) {
    CString error;
    if (!SaveProjectFile(s->safePath, *s->root, kLevel, error)) {
      state.SkipWithError(error.ToUtf8().c_str());
      g_failed = true;
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool argsOk = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, argsOk);
  if (!argsOk) return 2;
  bench::TempDir temp("save_bench");
  if (temp.path().empty()) return 1;
  const size_t divisor = smoke ? 100 : 1;
  Setup setup;
  setup.root = bench::BuildProject({1000000 / divisor, 1000 / divisor});
  setup.plainPath = CString::FromUtf8((temp.path() / "plain.serial.gz").string());
  setup.safePath = CString::FromUtf8((temp.path() / "safe.serial.gz").string());

  // Interleaved rounds: the machine's drift falls on both alike.
  const int rounds = smoke ? 1 : 3;
  for (int r = 0; r < rounds; ++r) {
    using Fn = void (*)(benchmark::State&, Setup*);
    const struct {
      const char* name;
      Fn fn;
    } entries[] = {{"Gzip/PlainSave", PlainSave}, {"Gzip/SafeSave", SafeSave}};
    for (const auto& e : entries) {
      const std::string label = std::string(e.name) + "/round:" + std::to_string(r);
      benchmark::RegisterBenchmark(label.c_str(), e.fn, &setup)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(1);
    }
  }
  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double plain = 0, safe = 0;
  for (int r = 0; r < rounds; ++r) {
    plain += reporter.Seconds("Gzip/PlainSave/round:" + std::to_string(r));
    safe += reporter.Seconds("Gzip/SafeSave/round:" + std::to_string(r));
  }
  if (plain > 0) {
    std::printf("Safe save of %zu items: %.3f s, plain save %.3f s: %.2fx\n",
                bench::CountItems(*setup.root), safe / rounds, plain / rounds, safe / plain);
  }
  benchmark::Shutdown();
  return g_failed ? 1 : 0;
}
