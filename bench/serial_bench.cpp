// Throughput of the binary serial writer, reader and tree loader, in memory
// and through gzip files, each next to a baseline measured in the same run
// (memcpy of the same bytes, zlib alone on the same bytes at the same level).
// `--smoke` shrinks every size a hundredfold and runs each case once, for CI.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BenchCommon.h"

#include "platform/CString.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/SerialDo.h"
#include "serial/Streams.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned int kGzipLevel = 2;
constexpr int kFieldNodes = 8;  // the mixed fields are spread over this many nodes
constexpr int kNestDepth = 10;  // nested nodes come in chains this deep
constexpr int kStringCount = 8;

bool g_failed = false;  // a read gave back other values than were written

void Fail(benchmark::State& state, const char* what) {
  g_failed = true;
  state.SkipWithError(what);
}

// Names and values built once, so that the loops measure the stream only.
struct Vocabulary {
  std::vector<Serial::NodeName> groups;
  Serial::NodeName level{u"Level"};
  CString strings[kStringCount] = {u"en", u"de-DE",  u"ja",         u"Hello",
                                   u"OK", u"Cancel", u"File name:", u"Open..."};
  Vocabulary() {
    for (int i = 0; i < kFieldNodes; ++i) {
      groups.emplace_back(CString(u"Group") + static_cast<char16_t>(u'0' + i));
    }
  }
};

const Vocabulary& Words() {
  static const Vocabulary words;
  return words;
}

// The two workloads: `count` mixed fields (int, short string, double, bool
// in turn), or `count` nodes nested kNestDepth deep with an int field each.
// A chain starts with an anonymous node because a tree merges named
// siblings of the same name.
enum class Workload { kFields, kNested };

void WriteFields(Serial::ISerialStream& s, size_t count) {
  const Vocabulary& w = Words();
  const size_t perNode = count / kFieldNodes;
  size_t i = 0;
  for (int node = 0; node < kFieldNodes; ++node) {
    s.EnterNode(w.groups[node]);
    for (size_t end = i + perNode; i < end; ++i) {
      switch (i % 4) {
        case 0: {
          int value = static_cast<int>(i);
          Serial::Do(s, value);
          break;
        }
        case 1: {
          CString value = w.strings[(i / 4) % kStringCount];
          Serial::Do(s, value);
          break;
        }
        case 2: {
          double value = static_cast<double>(i) * 0.5;
          Serial::Do(s, value);
          break;
        }
        default: {
          bool value = (i & 4) != 0;
          Serial::Do(s, value);
          break;
        }
      }
    }
    s.LeaveNode();
  }
}

// Reads what WriteFields wrote; false at the first value that differs.
bool ReadFields(Serial::ISerialStream& s, size_t count) {
  const Vocabulary& w = Words();
  const size_t perNode = count / kFieldNodes;
  size_t i = 0;
  bool ok = true;
  CString text;
  for (int node = 0; node < kFieldNodes; ++node) {
    if (!s.EnterNode(w.groups[node])) return false;
    for (size_t end = i + perNode; i < end; ++i) {
      switch (i % 4) {
        case 0: {
          int value = -1;
          ok &= Serial::Do(s, value) && value == static_cast<int>(i);
          break;
        }
        case 1:
          ok &= Serial::Do(s, text) && text == w.strings[(i / 4) % kStringCount];
          break;
        case 2: {
          double value = -1;
          ok &= Serial::Do(s, value) && value == static_cast<double>(i) * 0.5;
          break;
        }
        default: {
          bool value = false;
          ok &= Serial::Do(s, value) && value == ((i & 4) != 0);
          break;
        }
      }
    }
    s.LeaveNode();
  }
  return ok;
}

void WriteNested(Serial::ISerialStream& s, size_t count) {
  const Serial::NodeName& level = Words().level;
  const Serial::NodeName anonymous;
  for (size_t chain = 0; chain < count / kNestDepth; ++chain) {
    for (int depth = 0; depth < kNestDepth; ++depth) {
      s.EnterNode(depth == 0 ? anonymous : level);
      int value = static_cast<int>(chain) * kNestDepth + depth;
      Serial::Do(s, value);
    }
    for (int depth = 0; depth < kNestDepth; ++depth) s.LeaveNode();
  }
}

bool ReadNested(Serial::ISerialStream& s, size_t count) {
  const Serial::NodeName& level = Words().level;
  const Serial::NodeName anonymous;
  bool ok = true;
  for (size_t chain = 0; chain < count / kNestDepth; ++chain) {
    for (int depth = 0; depth < kNestDepth; ++depth) {
      if (!s.EnterNode(depth == 0 ? anonymous : level)) return false;
      int value = -1;
      ok &= Serial::Do(s, value) && value == static_cast<int>(chain) * kNestDepth + depth;
    }
    for (int depth = 0; depth < kNestDepth; ++depth) s.LeaveNode();
  }
  return ok;
}

struct Case {
  Workload workload;
  size_t count;
};

void WriteCase(Serial::ISerialStream& s, const Case& c) {
  if (c.workload == Workload::kFields) {
    WriteFields(s, c.count);
  } else {
    WriteNested(s, c.count);
  }
}

bool ReadCase(Serial::ISerialStream& s, const Case& c) {
  return c.workload == Workload::kFields ? ReadFields(s, c.count) : ReadNested(s, c.count);
}

bench::TempDir* g_temp = nullptr;

// Everything a case's benchmarks share: the stream bytes and a gzip file of
// them, both made once.
struct Prepared {
  Case c;
  Bytes stream;
  std::string gzPath;     // the stream, compressed by our writer
  std::string writePath;  // scratch file for the write benchmarks
};

Prepared Prepare(const Case& c, const std::string& tag) {
  Prepared p{c,
             {},
             (g_temp->path() / (tag + ".serial.gz")).string(),
             (g_temp->path() / (tag + ".write.gz")).string()};
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    WriteCase(writer, c);
  }
  p.stream = out.Take();
  Serial::GZFileStreamOut file(CString::FromUtf8(p.gzPath), kGzipLevel);
  if (!file.IsOpen() ||
      file.write(p.stream.data(), static_cast<unsigned int>(p.stream.size())) != p.stream.size()) {
    std::fprintf(stderr, "serial_bench: cannot write %s\n", p.gzPath.c_str());
    g_failed = true;
  }
  return p;
}

void SetBytes(benchmark::State& state, const Prepared& p) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(p.stream.size()));
}

// The writer writes over one reused buffer, so that the figure is the
// writer's own and not the page faults of a fresh buffer every round.
void MemoryWrite(benchmark::State& state, const Prepared* p) {
  std::vector<unsigned char> out(p->stream.size());
  for (auto _ : state) {
    Serial::MemoryStreamOut stream(std::move(out));
    {
      Serial::Binary::BinarySerialOut writer(stream);
      WriteCase(writer, p->c);
    }
    out = stream.Take();
    benchmark::DoNotOptimize(out.data());
  }
  if (out != p->stream) Fail(state, "the writer gave other bytes than before");
  SetBytes(state, *p);
}

void MemoryRead(benchmark::State& state, const Prepared* p) {
  for (auto _ : state) {
    Serial::MemoryStreamIn in(p->stream.data(), static_cast<unsigned int>(p->stream.size()));
    Serial::Binary::BinarySerialIn reader(in);
    if (!ReadCase(reader, p->c)) Fail(state, "read back other values");
  }
  SetBytes(state, *p);
}

void MemoryTreeLoad(benchmark::State& state, const Prepared* p) {
  for (auto _ : state) {
    Serial::MemoryStreamIn in(p->stream.data(), static_cast<unsigned int>(p->stream.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    if (!tree.Load(in) || !ReadCase(tree, p->c)) Fail(state, "tree read back other values");
  }
  SetBytes(state, *p);
}

void Memcpy(benchmark::State& state, const Prepared* p) {
  Bytes copy(p->stream.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), p->stream.data(), p->stream.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, *p);
}

void GzipWrite(benchmark::State& state, const Prepared* p) {
  const CString path = CString::FromUtf8(p->writePath);
  for (auto _ : state) {
    Serial::GZFileStreamOut file(path, kGzipLevel);
    if (!file.IsOpen()) Fail(state, "cannot create the gzip file");
    Serial::Binary::BinarySerialOut writer(file);
    WriteCase(writer, p->c);
  }
  SetBytes(state, *p);
}

void GzipRead(benchmark::State& state, const Prepared* p) {
  const CString path = CString::FromUtf8(p->gzPath);
  for (auto _ : state) {
    Serial::GZFileStreamIn file(path);
    Serial::Binary::BinarySerialIn reader(file);
    if (!ReadCase(reader, p->c)) Fail(state, "read back other values");
  }
  SetBytes(state, *p);
}

void GzipTreeLoad(benchmark::State& state, const Prepared* p) {
  const CString path = CString::FromUtf8(p->gzPath);
  for (auto _ : state) {
    Serial::GZFileStreamIn file(path);
    Serial::Binary::BinarySerialTreeIn tree;
    if (!tree.Load(file) || !ReadCase(tree, p->c)) Fail(state, "tree read back other values");
  }
  SetBytes(state, *p);
}

// zlib alone: the same bytes in one gzwrite at the same level.
void ZlibWrite(benchmark::State& state, const Prepared* p) {
  const std::string mode = "wb" + std::to_string(kGzipLevel);
  for (auto _ : state) {
    gzFile file = gzopen(p->writePath.c_str(), mode.c_str());
    if (!file) {
      Fail(state, "gzopen failed");
      break;
    }
    gzwrite(file, p->stream.data(), static_cast<unsigned int>(p->stream.size()));
    gzclose(file);
  }
  SetBytes(state, *p);
}

// zlib alone: the same file in one gzread.
void ZlibRead(benchmark::State& state, const Prepared* p) {
  Bytes buffer(p->stream.size());
  for (auto _ : state) {
    gzFile file = gzopen(p->gzPath.c_str(), "rb");
    if (!file) {
      Fail(state, "gzopen failed");
      break;
    }
    const int got = gzread(file, buffer.data(), static_cast<unsigned int>(buffer.size()));
    gzclose(file);
    if (got != static_cast<int>(buffer.size())) Fail(state, "short gzread");
  }
  if (buffer != p->stream) Fail(state, "gzread gave other bytes");
  SetBytes(state, *p);
}

// Keeps every run's time per iteration so that main() can set each of our
// figures next to its baseline.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions the median stands for the benchmark; it comes after
    // the single runs and replaces them.
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type != Run::RT_Iteration && !median) || run.iterations == 0) continue;
      seconds_[run.run_name.function_name] =
          run.real_accumulated_time / static_cast<double>(run.iterations);
    }
  }
  // Seconds per iteration, or 0 when the run is unknown.
  double Seconds(const std::string& name) const {
    const auto it = seconds_.find(name);
    return it == seconds_.end() ? 0 : it->second;
  }

 private:
  std::map<std::string, double> seconds_;
};

struct Comparison {
  std::string ours;
  std::string baseline;
  const Prepared* prepared;
  double minMBps;   // 0: no absolute target
  double maxRatio;  // 0: no ratio target
};

void PrintSummary(const RecordingReporter& reporter, const std::vector<Comparison>& rows,
                  const std::vector<const Prepared*>& cases) {
  std::printf("\n");
  for (const Prepared* p : cases) {
    std::error_code error;
    const auto packed = std::filesystem::file_size(p->gzPath, error);
    const bool fields = p->c.workload == Workload::kFields;
    std::printf("%s: %zu %s, %.2f MB of stream, %.2f MB as gzip level %u\n",
                fields ? "fields" : "nested", p->c.count, fields ? "fields" : "nodes",
                static_cast<double>(p->stream.size()) / 1e6,
                error ? 0.0 : static_cast<double>(packed) / 1e6, kGzipLevel);
  }
  std::printf("%-22s %9s  %-26s %9s %8s  %s\n", "ours", "MB/s", "baseline", "MB/s", "ratio",
              "target");
  for (const Comparison& row : rows) {
    const double ours = reporter.Seconds(row.ours);
    const double base = reporter.Seconds(row.baseline);
    if (ours <= 0 || base <= 0) continue;
    const double mb = static_cast<double>(row.prepared->stream.size()) / 1e6;
    const double ratio = ours / base;
    std::string target = "-";
    if (row.minMBps > 0) {
      target = (mb / ours >= row.minMBps ? "ok (>= " : "MISSED (>= ") +
               std::to_string(static_cast<int>(row.minMBps)) + " MB/s)";
    } else if (row.maxRatio > 0) {
      char text[48];
      std::snprintf(text, sizeof(text), "%s (<= %.1fx)", ratio <= row.maxRatio ? "ok" : "MISSED",
                    row.maxRatio);
      target = text;
    }
    std::printf("%-22s %9.1f  %-26s %9.1f %7.2fx  %s\n", row.ours.c_str(), mb / ours,
                row.baseline.c_str(), mb / base, ratio, target.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool ok = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, ok);
  if (!ok) return 2;

  bench::TempDir temp("serial_bench");
  if (temp.path().empty()) {
    std::fprintf(stderr, "serial_bench: cannot create a temporary folder\n");
    return 1;
  }
  g_temp = &temp;
  const size_t divisor = smoke ? 100 : 1;
  const Prepared fields = Prepare({Workload::kFields, 1000000 / divisor}, "fields");
  const Prepared nested = Prepare({Workload::kNested, 100000 / divisor}, "nested");

  using Fn = void (*)(benchmark::State&, const Prepared*);
  struct Entry {
    const char* name;
    Fn fn;
  };
  const Entry entries[] = {
      {"Memory/Write", MemoryWrite},
      {"Memory/Read", MemoryRead},
      {"Memory/TreeLoad", MemoryTreeLoad},
      {"Baseline/memcpy", Memcpy},
      {"Gzip/Write", GzipWrite},
      {"Baseline/zlib_write", ZlibWrite},
      {"Gzip/Read", GzipRead},
      {"Baseline/zlib_read", ZlibRead},
      {"Gzip/TreeLoad", GzipTreeLoad},
  };
  for (const Prepared* p : {&fields, &nested}) {
    const std::string suffix = p == &fields ? "/fields" : "/nested";
    for (const Entry& e : entries) {
      benchmark::internal::Benchmark* b =
          benchmark::RegisterBenchmark((e.name + suffix).c_str(), e.fn, p);
      b->Unit(benchmark::kMillisecond)->UseRealTime();
      if (smoke) b->Iterations(1);
    }
  }

  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::vector<Comparison> rows;
  for (const Prepared* p : {&fields, &nested}) {
    const std::string s = p == &fields ? "/fields" : "/nested";
    rows.push_back({"Memory/Write" + s, "Baseline/memcpy" + s, p, 400, 0});
    rows.push_back({"Memory/Read" + s, "Baseline/memcpy" + s, p, 400, 0});
    rows.push_back({"Memory/TreeLoad" + s, "Baseline/memcpy" + s, p, 0, 0});
    rows.push_back({"Gzip/Write" + s, "Baseline/zlib_write" + s, p, 0, 1.2});
    rows.push_back({"Gzip/Read" + s, "Baseline/zlib_read" + s, p, 0, 1.2});
    rows.push_back({"Gzip/TreeLoad" + s, "Baseline/zlib_read" + s, p, 0, 0});
  }
  PrintSummary(reporter, rows, {&fields, &nested});
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "serial_bench: a stream did not read back as written\n");
    return 1;
  }
  return 0;
}
