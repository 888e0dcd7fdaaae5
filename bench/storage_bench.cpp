// Loading an old project database: CStorage::Load over 100,000 items with
// three translations and two properties each, next to a bare scan of the same
// five queries with sqlite_compile/sqlite_step in the same run, so the figure
// is the loader's own cost over SQLite's. The check that a caller runs once
// before opening a file from outside (a separate process that reads it
// through) is measured apart. `--smoke` shrinks it all a hundredfold.
#include <benchmark/benchmark.h>
#include <sqlite.h>
#include <sys/resource.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>

#include "BenchCommon.h"
#include "items/ResItem.h"
#include "storage/DatabaseCheck.h"
#include "storage/Storage.h"

namespace {

constexpr int kTranslations = 3;
constexpr int kProperties = 2;
constexpr int kFiles = 100;  // the items hang below this many file items

// The loader's five queries, word for word.
constexpr const char* kQueries[] = {
    " SELECT rowid, parent_key, binary_key, type, comment, res_id, tab_num, state FROM res_item "
    "ORDER BY rowid ",
    " SELECT rowid, parent_key, binary_key, type, comment, lang, status, string FROM trans_item "
    "ORDER BY rowid ",
    " SELECT rowid, parent_key, num, data FROM binary ORDER BY rowid ",
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 1 ORDER BY rowid ",
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 2 ORDER BY rowid ",
};

bool g_failed = false;
std::string g_path;
long long g_items = 0;  // rows of RES_ITEM
long long g_rows = 0;   // rows of all five queries

bool Exec(sqlite* db, const char* format, ...) {
  va_list args;
  va_start(args, format);
  char* error = nullptr;
  const int rc = sqlite_exec_vprintf(db, format, nullptr, nullptr, &error, args);
  va_end(args);
  if (error) {
    std::fprintf(stderr, "storage_bench: %s\n", error);
    sqlite_freemem(error);
  }
  return rc == SQLITE_OK;
}

// Root, kFiles files, then `items` resources spread over the files, each
// with its translations and properties; rows in the order the loader walks.
bool BuildDatabase(const std::string& path, long long items) {
  { CStorage(CString::FromUtf8(path)).CreateDb(); }
  char* error = nullptr;
  sqlite* db = sqlite_open(path.c_str(), 0, &error);
  if (!db) return false;
  constexpr int kNone = CStorage::NoKey;
  const char* item =
      "INSERT INTO res_item ( parent_key, binary_key, type, comment, res_id, tab_num, state ) "
      "VALUES ( %d, %d, %d, '', %Q, %d, 0 )";
  bool ok = Exec(db, "begin;") && Exec(db, item, kNone, kNone, 1, "@project", 0);
  const long long perFile = items / kFiles;
  int itemRow = 1, transRow = 0;
  for (int f = 0; f < kFiles && ok; ++f) {
    ok = Exec(db, item, 1, kNone, 2, "@file.exe", f);
    const int file = ++itemRow;
    for (long long i = 0; i < perFile && ok; ++i) {
      const std::string id = "#" + std::to_string(i + 100);
      ok = Exec(db, item, file, kNone, 7, id.c_str(), static_cast<int>(i));
      const int row = ++itemRow;
      ok = ok && Exec(db,
                      "INSERT INTO prop ( parent_key, name, type, binary_key, string, value, "
                      "prop_type ) VALUES ( %d, '@Caption', 1, %d, 'Caption text', 0, 1 )",
                      row, kNone);
      ok = ok && Exec(db,
                      "INSERT INTO prop ( parent_key, name, type, binary_key, string, value, "
                      "prop_type ) VALUES ( %d, '@HelpId', 2, %d, '', %d, 1 )",
                      row, kNone, row);
      for (int t = 0; t < kTranslations && ok; ++t) {
        ok = Exec(db,
                  "INSERT INTO trans_item ( parent_key, binary_key, type, comment, lang, status, "
                  "string ) VALUES ( %d, %d, 0, '', %d, 1, 'Translated text of a string' )",
                  row, kNone, 0x0407 + t);
        ++transRow;
      }
    }
  }
  ok = ok && Exec(db, "commit;");
  sqlite_close(db);
  g_items = itemRow;
  g_rows = itemRow + transRow + perFile * kFiles * kProperties;
  return ok;
}

// Load alone, on one connection. Freeing the tree is not loading it.
void Load(benchmark::State& state) {
  CStorage storage(CString::FromUtf8(g_path));
  std::unique_ptr<CResItem> root(storage.Load());
  for (auto _ : state) {
    state.PauseTiming();
    root.reset();
    bench::MergeFreedBlocks();
    state.ResumeTiming();
    root.reset(storage.Load());
    if (!root || root->GetResItems().size() != kFiles) {
      g_failed = true;
      state.SkipWithError("the tree did not load");
      break;
    }
  }
}

double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ChildSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CheckProjectDatabase: starting the checking program, which reads the file
// through and loads it, until its answer is in. Processor time of this
// process and of the checker together, which a busy machine does not inflate
// as it does wall-clock time.
void CheckFromOutside(benchmark::State& state) {
  DatabaseCheckOptions options;
  options.checker = ITEMLIB_BENCH_DBCHECK;
  for (auto _ : state) {
    const double before = ProcessSeconds() + ChildSeconds();
    const DatabaseCheck verdict = CheckProjectDatabase(CString::FromUtf8(g_path), options);
    state.SetIterationTime(ProcessSeconds() + ChildSeconds() - before);
    if (verdict != DatabaseCheck::kSound) {
      g_failed = true;
      state.SkipWithError("the check refused the file");
      break;
    }
  }
}

// What any loader must do at least: open, step through every row of the five
// queries and look at each column once.
void BareScan(benchmark::State& state) {
  for (auto _ : state) {
    char* error = nullptr;
    sqlite* db = sqlite_open(g_path.c_str(), 0, &error);
    size_t bytes = 0;
    long long rows = 0;
    sqlite_exec(db, "begin;", nullptr, nullptr, nullptr);
    for (const char* sql : kQueries) {
      sqlite_vm* vm = nullptr;
      const char* tail = nullptr;
      if (sqlite_compile(db, sql, &tail, &vm, nullptr) != SQLITE_OK) continue;
      int columns = 0;
      const char** values = nullptr;
      const char** names = nullptr;
      while (sqlite_step(vm, &columns, &values, &names) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) bytes += values[c] ? std::strlen(values[c]) : 0;
      }
      sqlite_finalize(vm, nullptr);
    }
    sqlite_exec(db, "commit;", nullptr, nullptr, nullptr);
    sqlite_close(db);
    benchmark::DoNotOptimize(bytes);
    if (rows != g_rows) {
      g_failed = true;
      state.SkipWithError("the scan missed rows");
      break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool argsOk = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, argsOk);
  if (!argsOk) return 2;
  bench::KeepFreedPages();
  const bench::TempDir dir("storage_bench");
  g_path = (dir.path() / "project.db").string();
  const long long items = smoke ? 1000 : 100000;
  if (dir.path().empty() || !BuildDatabase(g_path, items)) {
    std::fprintf(stderr, "storage_bench: cannot build the database\n");
    return 1;
  }

  {
    // One load before the runs, so that every run meets a heap that has
    // been grown once.
    CStorage storage(CString::FromUtf8(g_path));
    const std::unique_ptr<CResItem> root(storage.Load());
  }

  for (const auto& [name, fn] : {std::pair{"Load/CStorage", &Load},
                                  std::pair{"Check/open_from_outside", &CheckFromOutside},
                                  std::pair{"Baseline/bare_scan", &BareScan}}) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, fn);
    b->Unit(benchmark::kMillisecond);
    if (fn == &CheckFromOutside) b->UseManualTime();
    if (smoke) b->Iterations(1);
  }
  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const double load = reporter.CpuSeconds("Load/CStorage");
  const double check = reporter.Seconds("Check/open_from_outside");
  const double bare = reporter.CpuSeconds("Baseline/bare_scan");
  std::printf("\n%lld items, %lld rows in the five queries\n", g_items, g_rows);
  if (load > 0 && bare > 0) {
    const double ratio = bare / load;  // the loader's speed as a share of the bare scan's
    std::printf("%-28s %12.0f rows/s\n%-28s %12.0f rows/s\n%-28s %12.2f  %s\n", "Load/CStorage",
                g_rows / load, "Baseline/bare_scan", g_rows / bare, "Load / bare scan", ratio,
                ratio >= 0.5 ? "ok (>= 0.5)" : "MISSED (>= 0.5)");
  }
  if (check > 0 && load > 0 && bare > 0) {
    std::printf("%-28s %12.3f s (%.2f bare scans)\n%-28s %12.2f\n", "Check of a file from outside",
                check, check / bare, "Check + Load / bare scan", bare / (check + load));
  }
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "storage_bench: a run did not read what was written\n");
    return 1;
  }
  return 0;
}
