// Statistics and checks over the million-item bench project, next to the
// plain walk over the same tree that reads every text once and does nothing
// with it. German is the source, French and Japanese the targets.
// `--smoke` shrinks the project a hundredfold and runs each case once.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "BenchCommon.h"
#include "BenchProject.h"
#include "exchange/Checks.h"
#include "exchange/Stats.h"
#include "items/TransItem.h"
#include "props/Prop.h"

namespace {

constexpr int kSource = 0x0407;
constexpr int kTargets[] = {0x040C, 0x0411};

std::unique_ptr<CResItem> g_root;
bool g_failed = false;

// The baseline: every unit's source and both targets read once.
void Walk(benchmark::State& state) {
  for (auto _ : state) {
    size_t units = 0;
    size_t units16 = 0;
    ForEachUnit(*g_root, CUnitLangs{kSource, kTargets[0]}, [&](const CUnit& u) {
      ++units;
      units16 += u.source.size();
      for (const int lang : kTargets) {
        const CTransItem* trans = u.item->GetTranslation(lang);
        const auto* text =
            trans ? dynamic_cast<const CStrProp*>(trans->GetPropW(CPropName::TransText)) : nullptr;
        if (text != nullptr) units16 += text->value.view().size();
      }
      return true;
    });
    benchmark::DoNotOptimize(units16);
    state.counters["units"] = static_cast<double>(units);
  }
}

void Stats(benchmark::State& state) {
  for (auto _ : state) {
    const auto stats = CollectStats(
        *g_root, {CUnitLangs{kSource, kTargets[0]}, CUnitLangs{kSource, kTargets[1]}}, false);
    // Every item is a unit, fully translated.
    if (stats[1].total.translated != stats[1].total.units || stats[0].total.words == 0) {
      g_failed = true;
      state.SkipWithError("wrong counts");
    }
    state.counters["words"] = static_cast<double>(stats[0].total.words);
  }
}

void Check(benchmark::State& state) {
  for (auto _ : state) {
    size_t found = 0;
    for (const int target : kTargets) {
      found += CheckProject(*g_root, CUnitLangs{kSource, target}, [](const CFinding&) { return true; });
    }
    // "OK" is "OK" in every language: one item in eight is identical.
    if (found == 0) {
      g_failed = true;
      state.SkipWithError("no findings");
    }
    state.counters["findings"] = static_cast<double>(found);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool argsOk = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, argsOk);
  if (!argsOk) return 2;
  const size_t divisor = smoke ? 100 : 1;
  g_root = bench::BuildProject(bench::Plan{1000000 / divisor, 1000 / divisor});

  struct Entry {
    const char* name;
    void (*fn)(benchmark::State&);
  };
  const Entry entries[] = {
      {"Baseline/walk", Walk},
      {"Insight/stats", Stats},
      {"Insight/check", Check},
  };
  for (const Entry& e : entries) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(e.name, e.fn);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (smoke) b->Iterations(1);
  }
  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%zu items, source de-DE, targets fr-FR and ja-JP (both in each run)\n",
              1000000 / divisor);
  std::printf("%-16s %12s  %-16s %12s %8s  %s\n", "ours", "cpu time", "baseline", "cpu time",
              "ratio", "target");
  const double walk = reporter.CpuSeconds("Baseline/walk");
  for (const char* name : {"Insight/stats", "Insight/check"}) {
    const double ours = reporter.CpuSeconds(name);
    if (ours <= 0 || walk <= 0) continue;
    std::printf("%-16s %9.1f ms  %-16s %9.1f ms %7.2fx  %s\n", name, ours * 1e3, "Baseline/walk",
                walk * 1e3, ours / walk, ours / walk <= 5 ? "ok (<= 5x)" : "MISSED (<= 5x)");
  }
  benchmark::Shutdown();
  g_root.reset();
  if (g_failed) {
    std::fprintf(stderr, "insight_bench: wrong statistics or findings\n");
    return 1;
  }
  return 0;
}
