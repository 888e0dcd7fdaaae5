// Pieces the benchmarks share: the `--smoke` switch, a reporter that keeps
// each run's time for the summary tables, a temporary folder, heap settings
// for rounds that free large structures and a repeatable random source.
#pragma once

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "props/PropContainer.h"

namespace bench {

// Removes `--smoke` from the command line, hands the rest to Google
// Benchmark and tells whether it was there. False in `ok` when an argument
// is unknown.
inline bool TakeSmokeFlag(int argc, char** argv, bool& ok) {
  bool smoke = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      smoke = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  ok = !benchmark::ReportUnrecognizedArguments(count, args.data());
  return smoke;
}

// Keeps every run's time per iteration so that main() can set each figure
// next to its baseline.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions the median stands for the benchmark; it comes after
    // the single runs and replaces them.
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type != Run::RT_Iteration && !median) || run.iterations == 0) continue;
      const double iterations = static_cast<double>(run.iterations);
      seconds_[run.run_name.function_name] = run.real_accumulated_time / iterations;
      cpuSeconds_[run.run_name.function_name] = run.cpu_accumulated_time / iterations;
    }
  }
  // Seconds per iteration, or 0 when the run is unknown (filtered out or
  // failed).
  double Seconds(const std::string& name) const {
    const auto it = seconds_.find(name);
    return it == seconds_.end() ? 0 : it->second;
  }
  // Processor seconds of the process per iteration: on a shared machine
  // the figure that other load disturbs least.
  double CpuSeconds(const std::string& name) const {
    const auto it = cpuSeconds_.find(name);
    return it == cpuSeconds_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> seconds_;
  std::map<std::string, double> cpuSeconds_;
};

// A temporary folder, removed with everything in it at exit.
class TempDir {
 public:
  explicit TempDir(const char* prefix) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "_XXXXXX")).string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Same names and equal values in the same order. The container's own ==
// ignores names, so they are compared here.
inline bool SameProps(const CPropContainer& a, const CPropContainer& b) {
  if (a.GetProps().size() != b.GetProps().size()) return false;
  auto theirs = b.GetProps().begin();
  for (const auto& mine : a.GetProps()) {
    if (!(mine.first == theirs->first) || !mine.second->IsEqual(*theirs->second)) return false;
    ++theirs;
  }
  return true;
}

// First touches of fresh memory can cost more than the code under test
// (seconds per GiB on some virtual machines), so benchmarks that free and
// rebuild large structures keep freed pages in the process: each round then
// measures the code, and a fresh process is measured apart where it matters.
// Blocks up to 32 MiB come from the heap, as glibc's adaptive threshold
// would have them after the first round (fixing one threshold stops it
// adapting the other).
inline void KeepFreedPages() {
  mallopt(M_TRIM_THRESHOLD, -1);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
}

// glibc merges freed small blocks only at the next larger request; making
// one now keeps that work, which belongs to the free, out of the next timed
// round.
inline void MergeFreedBlocks() {
  void* block = malloc(4096);
  benchmark::DoNotOptimize(block);
  free(block);
}

// xorshift64*: the same data on every run, so that runs compare.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed ? seed : 1) {}
  uint32_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1DULL) >> 32);
  }
  // Uniform enough in [0, bound) for test data.
  uint32_t Below(uint32_t bound) { return Next() % bound; }

 private:
  uint64_t state_;
};

}  // namespace bench
