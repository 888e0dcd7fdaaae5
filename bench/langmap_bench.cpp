// Cost of building the language map and of its queries, each next to a
// baseline measured in the same run: the bare locale queries the build
// makes, and a hash look-up of the same ids.
// `--smoke` runs each case once, for CI.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "BenchCommon.h"
#include "lang/LangMap.h"
#include "platform/Nls.h"

namespace {

// Reaches the protected constructor and Init: each object is a new build.
class FreshLangMap : public CLangMap {
 public:
  FreshLangMap() { Init(); }
};

bool g_failed = false;

Nls::BOOL CollectLocale(Nls::LGRPID, Nls::LCID locale, char16_t*, Nls::LONG_PTR param) {
  reinterpret_cast<std::vector<int>*>(param)->push_back(static_cast<int>(locale));
  return Nls::TRUE;
}

Nls::BOOL CollectGroup(Nls::LGRPID group, char16_t*, char16_t*, Nls::DWORD, Nls::LONG_PTR param) {
  Nls::EnumLanguageGroupLocalesW(CollectLocale, group, 0, param);
  return Nls::TRUE;
}

// Every listed locale, plus an unknown id for each eight known ones, so that
// the queries meet their fallbacks too.
const std::vector<int>& Ids() {
  static const std::vector<int> ids = [] {
    std::vector<int> known;
    Nls::EnumSystemLanguageGroupsW(CollectGroup, Nls::LGRPID_SUPPORTED,
                                   reinterpret_cast<Nls::LONG_PTR>(&known));
    std::vector<int> all;
    for (size_t i = 0; i < known.size(); ++i) {
      all.push_back(known[i]);
      if (i % 8 == 7) all.push_back(0x7700 + static_cast<int>(i));
    }
    return all;
  }();
  return ids;
}

void Build(benchmark::State& state) {
  for (auto _ : state) {
    const FreshLangMap map;
    if (map.GetAnsiCodepage(0x0409) != 1252) g_failed = true;
    benchmark::DoNotOptimize(&map);
  }
}

// The locale queries of a build without the map around them.
void BareLocaleQueries(benchmark::State& state) {
  const Nls::LCTYPE types[] = {Nls::LOCALE_ILANGUAGE,       Nls::LOCALE_SISO3166CTRYNAME,
                               Nls::LOCALE_SISO639LANGNAME, Nls::LOCALE_IDEFAULTANSICODEPAGE,
                               Nls::LOCALE_SENGLANGUAGE,    Nls::LOCALE_SENGCOUNTRY};
  char16_t buffer[200];
  for (auto _ : state) {
    for (const int id : Ids()) {
      for (const Nls::LCTYPE type : types) {
        benchmark::DoNotOptimize(
            Nls::GetLocaleInfoW(static_cast<Nls::LCID>(id), type, buffer, 200));
      }
    }
  }
}

template <typename Query>
void RunQuery(benchmark::State& state, Query query) {
  const CLangMap& map = CLangMap::Instance();
  for (auto _ : state) {
    for (const int id : Ids()) benchmark::DoNotOptimize(query(map, id));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Ids().size()));
}

void HashFind(benchmark::State& state) {
  std::unordered_map<int, int> table;
  for (const int id : Ids()) table.emplace(id, id);
  for (auto _ : state) {
    for (const int id : Ids()) benchmark::DoNotOptimize(table.find(id));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Ids().size()));
}

// Culture names prepared outside the loop, as a caller would hold them.
void GetLangByCulName(benchmark::State& state) {
  const CLangMap& map = CLangMap::Instance();
  std::vector<CString> cultures;
  for (const int id : Ids()) cultures.push_back(map.GetLang(id).cultureName);
  for (auto _ : state) {
    for (const CString& culture : cultures) {
      benchmark::DoNotOptimize(map.GetLangByCulName(culture));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(cultures.size()));
}

}  // namespace

int main(int argc, char** argv) {
  bool argsOk = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, argsOk);
  if (!argsOk) return 2;

  struct Entry {
    const char* name;
    void (*fn)(benchmark::State&);
  };
  const Entry entries[] = {
      {"Build/LangMap", Build},
      {"Baseline/locale_queries", BareLocaleQueries},
      {"Query/GetLang",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return &m.GetLang(id); });
       }},
      {"Query/GetAnsiCodepage",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return m.GetAnsiCodepage(id); });
       }},
      {"Query/IsRtlLang",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return m.IsRtlLang(id); });
       }},
      {"Query/GetWinLang",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return m.GetWinLang(id); });
       }},
      {"Query/GetLongLangName",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return m.GetLongLangName(id); });
       }},
      {"Query/GetLangMacros",
       [](benchmark::State& s) {
         RunQuery(s, [](const CLangMap& m, int id) { return m.GetLangMacros(id); });
       }},
      {"Query/GetLangByCulName", GetLangByCulName},
      {"Baseline/hash_find", HashFind},
  };
  for (const Entry& e : entries) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(e.name, e.fn);
    b->Unit(benchmark::kMicrosecond)->UseRealTime();
    if (smoke) b->Iterations(1);
  }

  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const double count = static_cast<double>(Ids().size());
  std::printf("\n%zu ids per query round (%zu locales listed)\n", Ids().size(),
              static_cast<size_t>(Nls::LocaleCount()));
  std::printf("%-24s %12s  %-24s %12s %8s  %s\n", "ours", "time", "baseline", "time", "ratio",
              "target");
  const double build = reporter.Seconds("Build/LangMap");
  const double bare = reporter.Seconds("Baseline/locale_queries");
  if (build > 0 && bare > 0) {
    std::printf("%-24s %9.2f ms  %-24s %9.2f ms %7.2fx  %s\n", "Build/LangMap", build * 1e3,
                "Baseline/locale_queries", bare * 1e3, build / bare,
                build < 0.020 ? "ok (< 20 ms)" : "MISSED (< 20 ms)");
  }
  const double hash = reporter.Seconds("Baseline/hash_find");
  for (const char* query :
       {"Query/GetLang", "Query/GetAnsiCodepage", "Query/IsRtlLang", "Query/GetWinLang",
        "Query/GetLongLangName", "Query/GetLangMacros", "Query/GetLangByCulName"}) {
    const double ours = reporter.Seconds(query);
    if (ours <= 0 || hash <= 0) continue;
    std::printf("%-24s %9.1f ns  %-24s %9.1f ns %7.2fx\n", query, ours / count * 1e9,
                "Baseline/hash_find", hash / count * 1e9, ours / hash);
  }
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "langmap_bench: a fresh map gave a wrong code page\n");
    return 1;
  }
  return 0;
}
