// Builds, saves and loads a project of a million resource items (a root,
// a thousand files, their resources; each with properties and translations)
// through memory and through gzip files, next to memcpy and zlib alone on
// the same bytes, and measures the resident memory a load costs per item.
// `--smoke` shrinks every size a hundredfold and runs each case once, for CI.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchCommon.h"
#include "BenchProject.h"
#include "items/ResItem.h"
#include "platform/CString.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace {

using bench::BuildProject;
using bench::CountItems;
using bench::Plan;
using bench::SameProject;
using Bytes = std::vector<unsigned char>;

constexpr unsigned int kGzipLevel = 2;
constexpr size_t kZlibChunk = size_t{1} << 30;  // gzwrite and gzread take an int count

bool g_failed = false;  // a save or load gave back other content

void Fail(benchmark::State& state, const char* what) {
  g_failed = true;
  state.SkipWithError(what);
}

// ---- zlib alone ----

bool ZlibWriteFile(const std::string& path, const Bytes& bytes) {
  const std::string mode = "wb" + std::to_string(kGzipLevel);
  gzFile file = gzopen(path.c_str(), mode.c_str());
  if (!file) return false;
  bool ok = true;
  for (size_t at = 0; at < bytes.size() && ok; at += kZlibChunk) {
    const unsigned int n = static_cast<unsigned int>(std::min(kZlibChunk, bytes.size() - at));
    ok = gzwrite(file, bytes.data() + at, n) == static_cast<int>(n);
  }
  return gzclose(file) == Z_OK && ok;
}

// Fills `out` (already of the expected size) from the file; false unless
// the file holds exactly that many bytes.
bool ZlibReadFile(const std::string& path, Bytes& out) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (!file) return false;
  bool ok = true;
  for (size_t at = 0; at < out.size() && ok; at += kZlibChunk) {
    const unsigned int n = static_cast<unsigned int>(std::min(kZlibChunk, out.size() - at));
    ok = gzread(file, out.data() + at, n) == static_cast<int>(n);
  }
  unsigned char extra;
  ok = ok && gzread(file, &extra, 1) == 0;
  gzclose(file);
  return ok;
}

// ---- A load in a fresh process ----

// ru_maxrss only grows, and a forked child starts with its parent's pages
// (exec keeps the peak too), so a load measured inside this process would
// include the built project and the saved bytes. A helper forked at the
// start of main, while the process is still small, forks one worker per
// request instead; the worker notes its peak just before loading and again
// after, and the difference is the load's own. The worker leaves without
// freeing the project, so nothing after the load counts.
// Such a load is also what opening a project costs, first touch of every
// page included; a worker that only touches as much fresh memory tells how
// much of that is the system's.
class LoadProbe {
 public:
  enum Task : char { kLoadMemory = 'm', kLoadGzip = 'g', kTouch = 't' };
  struct Result {
    bool ok = false;
    size_t items = 0;
    long peakBeforeKiB = 0;  // the worker's peak before the load (file bytes included)
    long peakAfterKiB = 0;
    double seconds = 0;  // the load, or the touch
  };

  LoadProbe() = default;
  LoadProbe(const LoadProbe&) = delete;
  LoadProbe& operator=(const LoadProbe&) = delete;
  ~LoadProbe() {
    if (pid_ <= 0) return;
    close(request_);
    close(reply_);
    waitpid(pid_, nullptr, 0);
  }

  bool Start() {
    int requests[2];
    int replies[2];
    if (pipe(requests) != 0) return false;
    if (pipe(replies) != 0) {
      close(requests[0]);
      close(requests[1]);
      return false;
    }
    std::fflush(nullptr);
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      close(requests[1]);
      close(replies[0]);
      Serve(requests[0], replies[1]);
      _exit(0);  // no static destructors or leak report in the copy
    }
    close(requests[0]);
    close(replies[1]);
    request_ = requests[1];
    reply_ = replies[0];
    return true;
  }

  // Loads the file at `path`, or touches `bytes` of fresh memory.
  Result Run(Task task, const std::string& path, size_t bytes = 0) {
    Request request{};
    if (pid_ <= 0 || path.size() >= sizeof request.path) return Result();
    request.task = task;
    request.bytes = bytes;
    std::memcpy(request.path, path.data(), path.size());
    Result result;
    if (!WriteAll(request_, &request, sizeof request) || !ReadAll(reply_, &result, sizeof result)) {
      return Result();
    }
    return result;
  }

 private:
  struct Request {
    Task task;
    size_t bytes;
    char path[1024];
  };

  static bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size != 0) {
      const ssize_t n = write(fd, p, size);
      if (n <= 0) return false;
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  static bool ReadAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size != 0) {
      const ssize_t n = read(fd, p, size);
      if (n <= 0) return false;
      p += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  static long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  }

  static double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  static void Serve(int requests, int replies) {
    Request request;
    while (ReadAll(requests, &request, sizeof request)) {
      request.path[sizeof request.path - 1] = 0;
      Result result;
      int pipeToParent[2];
      if (pipe(pipeToParent) == 0) {
        const pid_t worker = fork();
        if (worker == 0) {
          close(pipeToParent[0]);
          const Result r =
              request.task == kTouch ? Touch(request.bytes) : Load(request.task, request.path);
          WriteAll(pipeToParent[1], &r, sizeof r);
          _exit(0);
        }
        close(pipeToParent[1]);
        if (worker > 0) {
          if (!ReadAll(pipeToParent[0], &result, sizeof result)) result = Result();
          waitpid(worker, nullptr, 0);
        }
        close(pipeToParent[0]);
      }
      if (!WriteAll(replies, &result, sizeof result)) break;
    }
  }

  static Result Load(Task task, const char* path) {
    Result result;
    try {
      std::unique_ptr<CResItem> root;
      if (task == kLoadMemory) {
        // Read at its exact size: a growing buffer would raise the peak
        // before the load and hide part of the load's own.
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (error) return result;
        Bytes bytes(static_cast<size_t>(size));
        std::ifstream file(path, std::ios::binary);
        if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
          return result;
        }
        result.peakBeforeKiB = PeakKiB();
        const double start = Now();
        Serial::MemoryStreamIn in(bytes.data(), static_cast<unsigned int>(bytes.size()));
        Serial::Binary::BinarySerialIn reader(in);
        result.ok = DoProject(reader, root) && root;
        result.seconds = Now() - start;
        result.peakAfterKiB = PeakKiB();
      } else {
        result.peakBeforeKiB = PeakKiB();
        const double start = Now();
        Serial::GZFileStreamIn in(CString::FromUtf8(path));
        Serial::Binary::BinarySerialIn reader(in);
        result.ok = DoProject(reader, root) && root;
        result.seconds = Now() - start;
        result.peakAfterKiB = PeakKiB();
      }
      if (root) result.items = CountItems(*root);
      root.release();  // see the class comment: the process ends right after
    } catch (const Serial::Exceptions::FormatIO&) {
      result.ok = false;
    }
    return result;
  }

  // Writes one byte into every page of `bytes` of fresh memory.
  static Result Touch(size_t bytes) {
    Result result;
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return result;
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    volatile char* p = static_cast<char*>(block);
    const double start = Now();
    for (size_t at = 0; at < bytes; at += page) p[at] = 1;
    result.seconds = Now() - start;
    result.ok = true;
    return result;
  }

  pid_t pid_ = -1;
  int request_ = -1;
  int reply_ = -1;
};

// ---- Benchmarks ----

struct Project {
  Plan plan;
  std::unique_ptr<CResItem> root;
  Bytes stream;           // the project as saved to memory
  std::string plainPath;  // `stream` in a plain file, for the memory probe
  std::string gzPath;     // `stream` through zlib alone: what both gzip loads read
  std::string savePath;   // scratch file of the gzip saves
  std::string zlibPath;   // scratch file of the zlib writes
};

bool WritePlain(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool Prepare(Project& p, const std::filesystem::path& dir) {
  p.root = BuildProject(p.plan);
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    DoProject(writer, p.root);
  }
  p.stream = out.Take();
  p.plainPath = (dir / "project.serial").string();
  p.gzPath = (dir / "project.zlib.gz").string();
  p.savePath = (dir / "project.save.gz").string();
  p.zlibPath = (dir / "project.write.gz").string();
  return p.stream.size() < 0xFFFFFFFFu && WritePlain(p.plainPath, p.stream) &&
         ZlibWriteFile(p.gzPath, p.stream);
}

void SetItems(benchmark::State& state, const Project& p) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(p.plan.items));
}

// Frees a project between timed rounds; see bench::KeepFreedPages.
void FreeProject(std::unique_ptr<CResItem>& project) {
  project.reset();
  bench::MergeFreedBlocks();
}

// Freeing the previous round's project is not timed.
void Build(benchmark::State& state, Project* p) {
  std::unique_ptr<CResItem> built;
  for (auto _ : state) {
    state.PauseTiming();
    FreeProject(built);
    state.ResumeTiming();
    built = BuildProject(p->plan);
  }
  if (!built || CountItems(*built) != p->plan.items) Fail(state, "built another item count");
  FreeProject(built);
  SetItems(state, *p);
}

// The writer writes over one reused buffer, so that the figure is the
// writer's own and not the page faults of a fresh buffer every round.
void MemorySave(benchmark::State& state, Project* p) {
  std::vector<unsigned char> out(p->stream.size());
  for (auto _ : state) {
    Serial::MemoryStreamOut stream(std::move(out));
    {
      Serial::Binary::BinarySerialOut writer(stream);
      DoProject(writer, p->root);
    }
    out = stream.Take();
  }
  if (out != p->stream) Fail(state, "the save gave other bytes than before");
  SetItems(state, *p);
}

// Loads through `open`, which gives the byte stream; the load ends with
// "Root" closed, and the last round's project is compared item by item.
template <typename Open>
void Load(benchmark::State& state, Project* p, Open open) {
  std::unique_ptr<CResItem> loaded;
  try {
    for (auto _ : state) {
      state.PauseTiming();
      FreeProject(loaded);
      state.ResumeTiming();
      auto in = open();
      Serial::Binary::BinarySerialIn reader(*in);
      if (!DoProject(reader, loaded)) {
        Fail(state, "the load failed");
        return;
      }
      reader.LeaveNode();
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    Fail(state, "the reader rejected what the writer wrote");
    return;
  }
  if (!loaded || !SameProject(*p->root, *loaded)) Fail(state, "loaded another project");
  FreeProject(loaded);
  SetItems(state, *p);
}

void MemoryLoad(benchmark::State& state, Project* p) {
  Load(state, p, [p] {
    return std::make_unique<Serial::MemoryStreamIn>(p->stream.data(),
                                                    static_cast<unsigned int>(p->stream.size()));
  });
}

void GzipLoad(benchmark::State& state, Project* p) {
  const CString path = CString::FromUtf8(p->gzPath);
  Load(state, p, [&path] { return std::make_unique<Serial::GZFileStreamIn>(path); });
}

void GzipSave(benchmark::State& state, Project* p) {
  const CString path = CString::FromUtf8(p->savePath);
  for (auto _ : state) {
    Serial::GZFileStreamOut file(path, kGzipLevel);
    if (!file.IsOpen()) {
      Fail(state, "cannot create the gzip file");
      return;
    }
    Serial::Binary::BinarySerialOut writer(file);
    DoProject(writer, p->root);
  }
  Bytes unpacked(p->stream.size());
  if (!ZlibReadFile(p->savePath, unpacked) || unpacked != p->stream) {
    Fail(state, "the gzip file does not hold the saved bytes");
  }
  SetItems(state, *p);
}

void Memcpy(benchmark::State& state, Project* p) {
  Bytes copy(p->stream.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), p->stream.data(), p->stream.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  SetItems(state, *p);
}

void ZlibWrite(benchmark::State& state, Project* p) {
  for (auto _ : state) {
    if (!ZlibWriteFile(p->zlibPath, p->stream)) {
      Fail(state, "gzwrite failed");
      return;
    }
  }
  SetItems(state, *p);
}

void ZlibRead(benchmark::State& state, Project* p) {
  Bytes buffer(p->stream.size());
  for (auto _ : state) {
    if (!ZlibReadFile(p->gzPath, buffer)) {
      Fail(state, "gzread failed");
      return;
    }
  }
  if (buffer != p->stream) Fail(state, "gzread gave other bytes");
  SetItems(state, *p);
}

// ---- Summary ----

struct Row {
  const char* ours;
  const char* baseline;      // null: none
  double minItemsPerSecond;  // 0: no absolute target
  double maxRatio;           // 0: no ratio target
};

void PrintSummary(const bench::RecordingReporter& r, const Project& p, LoadProbe& probe,
                  bool smoke) {
  const double items = static_cast<double>(p.plan.items);
  const double mb = static_cast<double>(p.stream.size()) / 1e6;
  std::error_code error;
  const auto packed = std::filesystem::file_size(p.gzPath, error);
  std::printf(
      "\nproject: %zu items (root, %zu files, %zu resources), 5 properties and 3 "
      "translations each\n",
      p.plan.items, p.plan.files, p.plan.items - 1 - p.plan.files);
  std::printf("stream: %.2f MB, %.1f bytes/item; gzip level %u: %.2f MB, %.1f bytes/item\n", mb,
              static_cast<double>(p.stream.size()) / items, kGzipLevel,
              error ? 0.0 : static_cast<double>(packed) / 1e6,
              error ? 0.0 : static_cast<double>(packed) / items);
  std::printf("%-14s %11s %11s %8s  %-19s %8s %7s  %s\n", "ours", "items/s", "cpu items/s", "MB/s",
              "baseline", "MB/s", "ratio", "target");
  const Row rows[] = {
      {"Build", nullptr, 0, 0},
      {"Memory/Save", "Baseline/memcpy", 1e6, 0},
      {"Memory/Load", "Baseline/memcpy", 5e5, 0},
      {"Gzip/Save", "Baseline/zlib_write", 0, 1.1},
      {"Gzip/Load", "Baseline/zlib_read", 0, 1.2},
  };
  for (const Row& row : rows) {
    const double ours = r.Seconds(row.ours);
    const double cpu = r.CpuSeconds(row.ours);
    if (ours <= 0 || cpu <= 0) continue;
    const double base = row.baseline ? r.Seconds(row.baseline) : 0;
    std::string target = "-";
    char text[64];
    if (row.minItemsPerSecond > 0) {
      std::snprintf(text, sizeof text, "%s (>= %.0f items/s)",
                    items / ours >= row.minItemsPerSecond ? "ok" : "MISSED", row.minItemsPerSecond);
      target = text;
    } else if (row.maxRatio > 0 && base > 0) {
      std::snprintf(text, sizeof text, "%s (<= %.1fx)",
                    ours / base <= row.maxRatio ? "ok" : "MISSED", row.maxRatio);
      target = text;
    }
    if (base > 0) {
      std::printf("%-14s %11.0f %11.0f %8.1f  %-19s %8.1f %6.2fx  %s\n", row.ours, items / ours,
                  items / cpu, mb / ours, row.baseline, mb / base, ours / base, target.c_str());
    } else {
      std::printf("%-14s %11.0f %11.0f %8.1f  %-19s %8s %7s  %s\n", row.ours, items / ours,
                  items / cpu, mb / ours, "-", "-", "-", target.c_str());
    }
  }
  // How much a gzip save or load costs beyond the same work in memory,
  // set against zlib alone: the stream layer's own share.
  const struct {
    const char* gzip;
    const char* memory;
    const char* zlib;
  } shares[] = {{"Gzip/Save", "Memory/Save", "Baseline/zlib_write"},
                {"Gzip/Load", "Memory/Load", "Baseline/zlib_read"}};
  for (const auto& s : shares) {
    const double gzip = r.Seconds(s.gzip);
    const double memory = r.Seconds(s.memory);
    const double zlib = r.Seconds(s.zlib);
    if (gzip <= 0 || memory <= 0 || zlib <= 0) continue;
    std::printf("%s beyond %s: %.3f s, zlib alone %.3f s (%.2fx)\n", s.gzip, s.memory,
                gzip - memory, zlib, (gzip - memory) / zlib);
  }

  // Only one load in smoke runs: the gzip one takes the same way through
  // the probe, and sanitizer builds are slow.
  const struct {
    LoadProbe::Task task;
    const std::string* path;
    const char* name;
  } loads[] = {{LoadProbe::kLoadMemory, &p.plainPath, "memory"},
               {LoadProbe::kLoadGzip, &p.gzPath, "gzip"}};
  long largestKiB = 0;
  for (size_t i = 0; i < (smoke ? 1 : std::size(loads)); ++i) {
    const auto& load = loads[i];
    const LoadProbe::Result result = probe.Run(load.task, *load.path);
    if (!result.ok || result.items != p.plan.items) {
      std::fprintf(stderr, "project_bench: the %s load in a fresh process failed\n", load.name);
      g_failed = true;
      continue;
    }
    const long deltaKiB = result.peakAfterKiB - result.peakBeforeKiB;
    largestKiB = std::max(largestKiB, deltaKiB);
    const double perItem = static_cast<double>(deltaKiB) * 1024.0 / items;
    std::printf(
        "fresh process, load from %s: %.2f s, %.0f items/s; peak +%.0f MB, %.0f bytes/item "
        "(%.2f KiB), process peak %.0f MB  %s (<= 1.5 KiB/item)\n",
        load.name, result.seconds, items / result.seconds, static_cast<double>(deltaKiB) / 1024.0,
        perItem, perItem / 1024.0, static_cast<double>(result.peakAfterKiB) / 1024.0,
        perItem <= 1.5 * 1024 ? "ok" : "MISSED");
  }
  if (largestKiB > 0) {
    const LoadProbe::Result touch =
        probe.Run(LoadProbe::kTouch, std::string(), static_cast<size_t>(largestKiB) * 1024);
    if (touch.ok) {
      std::printf("fresh process, first touch of as much memory alone: %.2f s\n", touch.seconds);
    } else {
      std::fprintf(stderr, "project_bench: cannot map %ld KiB in a fresh process\n", largestKiB);
      g_failed = true;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  // First, while the process is small: see LoadProbe.
  LoadProbe probe;
  if (!probe.Start()) {
    std::fprintf(stderr, "project_bench: cannot start the load probe\n");
    return 1;
  }
  const bench::ProjectBenchStart start("project_bench", argc, argv);
  if (start.status() != 0) return start.status();
  const bool smoke = start.smoke();
  Project project;
  project.plan = start.plan();
  if (!Prepare(project, start.dir())) {
    std::fprintf(stderr, "project_bench: cannot write the project files\n");
    return 1;
  }

  using Fn = void (*)(benchmark::State&, Project*);
  const struct {
    const char* name;
    Fn fn;
  } entries[] = {
      {"Build", Build},
      {"Memory/Save", MemorySave},
      {"Memory/Load", MemoryLoad},
      {"Baseline/memcpy", Memcpy},
      {"Gzip/Save", GzipSave},
      {"Baseline/zlib_write", ZlibWrite},
      {"Gzip/Load", GzipLoad},
      {"Baseline/zlib_read", ZlibRead},
  };
  for (const auto& e : entries) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(e.name, e.fn, &project);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (smoke) b->Iterations(1);
  }

  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter, project, probe, smoke);
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "project_bench: a project did not save or load as it must\n");
    return 1;
  }
  return 0;
}
