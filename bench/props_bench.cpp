// Throughput of the escape conversions over 10 MB of UTF-16 text and of a
// million-entry property container through the binary serial format, each
// next to baselines measured in the same run (copying the same
// std::u16string, memcpy of the same bytes).
// `--smoke` shrinks every size a hundredfold and runs each case once, for CI.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "platform/CString.h"
#include "props/Prop.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"
#include "text/TextUtil.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool g_failed = false;  // a result differed from what it must be

void Fail(benchmark::State& state, const char* what) {
  g_failed = true;
  state.SkipWithError(what);
}

// ---- Escapes ----

// Mostly letters and spaces; line feeds, tabs, backslashes and non-ASCII
// letters (Latin, Cyrillic, CJK) a few percent each, as in UI texts.
std::u16string MakeText(size_t units, bench::Random& random) {
  static const char16_t kForeign[] =
      u"\u00e9\u00fc\u00df\u00f1\u00e7\u0436\u044f\u0434"
      u"\u4e2d\u6587\u30d5\u30a1\u30a4\u30eb";
  const size_t foreignCount = std::size(kForeign) - 1;
  std::u16string text;
  text.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const uint32_t r = random.Below(1000);
    char16_t c;
    if (r < 30) {
      c = u'\n';
    } else if (r < 45) {
      c = u'\t';
    } else if (r < 60) {
      c = u'\\';
    } else if (r < 110) {
      c = kForeign[random.Below(static_cast<uint32_t>(foreignCount))];
    } else if (r < 260) {
      c = u' ';
    } else {
      const uint32_t letter = random.Below(52);
      c = static_cast<char16_t>(letter < 26 ? u'a' + letter : u'A' + (letter - 26));
    }
    text += c;
  }
  return text;
}

// The shown form written the plain way, to hold ShowEscapeCodes against.
std::u16string ReferenceShow(std::u16string_view in) {
  static const struct {
    char16_t ch;
    const char16_t* shown;
  } kEscapes[] = {{u'\\', u"\\\\"}, {0x07, u"\\a"}, {0x08, u"\\b"}, {0x0C, u"\\f"},
                  {0x0A, u"\\n"},   {0x0D, u"\\r"}, {0x09, u"\\t"}, {0x0B, u"\\v"}};
  std::u16string out;
  for (const char16_t c : in) {
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [c](const auto& e) { return e.ch == c; });
    if (escape != std::end(kEscapes)) {
      out += escape->shown;
    } else {
      out += c;
    }
  }
  return out;
}

// One conversion's input: the whole text as one string, or cut into short
// texts as a project holds them.
struct TextInput {
  std::vector<CString> texts;
  size_t bytes = 0;
};

struct TextCase {
  const char* name;
  TextInput plain;
  TextInput shown;  // `plain` with its escapes shown
};

TextCase MakeTextCase(const char* name, const std::u16string& text, bool cut) {
  TextCase c{name, {}, {}};
  bench::Random random(7);
  for (size_t at = 0; at < text.size();) {
    // 8 to 72 code units a text, 40 on average.
    const size_t length = cut ? 8 + random.Below(65) : text.size();
    c.plain.texts.emplace_back(std::u16string(text, at, length));
    at += length;
  }
  for (const CString& t : c.plain.texts) {
    c.plain.bytes += t.view().size() * sizeof(char16_t);
    std::u16string shown = ReferenceShow(t.view());
    c.shown.bytes += shown.size() * sizeof(char16_t);
    c.shown.texts.emplace_back(std::move(shown));
  }
  // Both directions once against the reference, before anything is timed.
  for (size_t i = 0; i < c.plain.texts.size(); ++i) {
    if (ShowEscapeCodes(c.plain.texts[i]) != c.shown.texts[i] ||
        HideEscapeCodes(c.shown.texts[i]) != c.plain.texts[i]) {
      std::fprintf(stderr, "props_bench: %s: text %zu does not convert as it must\n", name, i);
      g_failed = true;
      break;
    }
  }
  return c;
}

void SetBytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The texts are passed as callers pass them: the by-value parameter copies
// each one, and that copy is part of the figure (the copy baseline shows
// how much).
void Show(benchmark::State& state, const TextInput* in) {
  for (auto _ : state) {
    for (const CString& t : in->texts) {
      CString shown = ShowEscapeCodes(t);
      benchmark::DoNotOptimize(shown.GetString());
    }
  }
  SetBytes(state, in->bytes);
}

void Hide(benchmark::State& state, const TextInput* in) {
  for (auto _ : state) {
    for (const CString& t : in->texts) {
      CString hidden = HideEscapeCodes(t);
      benchmark::DoNotOptimize(hidden.GetString());
    }
  }
  SetBytes(state, in->bytes);
}

void Copy(benchmark::State& state, const TextInput* in) {
  for (auto _ : state) {
    for (const CString& t : in->texts) {
      std::u16string copy = t.str();
      benchmark::DoNotOptimize(copy.data());
    }
  }
  SetBytes(state, in->bytes);
}

void TextMemcpy(benchmark::State& state, const TextInput* in) {
  std::vector<char16_t> buffer(in->bytes / sizeof(char16_t));
  for (auto _ : state) {
    char16_t* out = buffer.data();
    for (const CString& t : in->texts) {
      const size_t units = t.view().size();
      std::memcpy(out, t.GetString(), units * sizeof(char16_t));
      out += units;
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, in->bytes);
}

// ---- Property container ----

struct ContainerCase {
  size_t count = 0;
  std::unique_ptr<CPropContainer> container;
  Bytes stream;  // the container as the writer wrote it first
};


ContainerCase MakeContainerCase(size_t count) {
  static const char16_t* const kValues[] = {u"OK",
                                            u"Cancel",
                                            u"&File",
                                            u"Open...",
                                            u"Save &As...",
                                            u"\u00dcbernehmen",
                                            u"Fermer",
                                            u"\u30d5\u30a1\u30a4\u30eb\u540d:",
                                            u"Print preview",
                                            u"Close all windows",
                                            u"&Help",
                                            u"Page %d of %d"};
  ContainerCase c;
  c.count = count;
  c.container = std::make_unique<CPropContainer>();
  char16_t key[] = u"Key.000000";
  for (size_t i = 0; i < count; ++i) {
    size_t n = i;
    for (int digit = 9; digit >= 4; --digit, n /= 10)
      key[digit] = static_cast<char16_t>(u'0' + n % 10);
    c.container->SetPropW(CPropName(key), new CStrProp(CString(kValues[i % std::size(kValues)])));
  }
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    c.container->Do(writer);
  }
  c.stream = out.Take();
  return c;
}

// The writer writes over one reused buffer, so that the figure is the
// writer's own and not the page faults of a fresh buffer every round.
void ContainerWrite(benchmark::State& state, ContainerCase* c) {
  std::vector<unsigned char> out(c->stream.size());
  for (auto _ : state) {
    Serial::MemoryStreamOut stream(std::move(out));
    {
      Serial::Binary::BinarySerialOut writer(stream);
      c->container->Do(writer);
    }
    out = stream.Take();
    benchmark::DoNotOptimize(out.data());
  }
  if (out != c->stream) Fail(state, "the writer gave other bytes than before");
  SetBytes(state, c->stream.size());
}

// Each round reads into a fresh container; freeing the previous one is not
// timed (see bench::KeepFreedPages).
void ContainerRead(benchmark::State& state, ContainerCase* c) {
  std::unique_ptr<CPropContainer> read;
  try {
    for (auto _ : state) {
      state.PauseTiming();
      read.reset();
      bench::MergeFreedBlocks();
      state.ResumeTiming();
      read = std::make_unique<CPropContainer>();
      Serial::MemoryStreamIn in(c->stream.data(), static_cast<unsigned int>(c->stream.size()));
      Serial::Binary::BinarySerialIn reader(in);
      read->Do(reader);
      reader.LeaveNode();  // "Root" must end right after the container
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    Fail(state, "the reader rejected what the writer wrote");
    return;
  }
  if (!read || !bench::SameProps(*read, *c->container)) Fail(state, "read back another container");
  SetBytes(state, c->stream.size());
}

void ContainerMemcpy(benchmark::State& state, ContainerCase* c) {
  Bytes copy(c->stream.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), c->stream.data(), c->stream.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, c->stream.size());
}

// ---- Summary ----

void PrintTextSummary(const bench::RecordingReporter& r,
                      const std::vector<const TextCase*>& cases) {
  std::printf("\n%-14s %9s  %10s %7s  %12s %7s\n", "escapes", "MB/s", "copy MB/s", "ratio",
              "memcpy MB/s", "ratio");
  for (const TextCase* c : cases) {
    const std::string suffix = std::string("/") + c->name;
    const struct {
      const char* op;
      const TextInput* in;
      const char* baseline;
    } rows[] = {{"Show", &c->plain, "plain"}, {"Hide", &c->shown, "shown"}};
    for (const auto& row : rows) {
      const double ours = r.Seconds(row.op + suffix);
      const double copy = r.Seconds(std::string("Copy/") + row.baseline + suffix);
      const double mem = r.Seconds(std::string("Memcpy/") + row.baseline + suffix);
      if (ours <= 0 || copy <= 0 || mem <= 0) continue;
      const double mb = static_cast<double>(row.in->bytes) / 1e6;
      std::printf("%-14s %9.1f  %10.1f %6.2fx  %12.1f %6.2fx\n", (row.op + suffix).c_str(),
                  mb / ours, mb / copy, ours / copy, mb / mem, ours / mem);
    }
    std::printf("  %s: %zu text(s), %.2f MB plain, %.2f MB shown\n", c->name, c->plain.texts.size(),
                static_cast<double>(c->plain.bytes) / 1e6,
                static_cast<double>(c->shown.bytes) / 1e6);
  }
}

void PrintContainerSummary(const bench::RecordingReporter& r, const ContainerCase& c) {
  std::printf("\ncontainer: %zu string properties, %.2f MB of stream (%.1f bytes each)\n", c.count,
              static_cast<double>(c.stream.size()) / 1e6,
              static_cast<double>(c.stream.size()) / static_cast<double>(c.count));
  std::printf("%-18s %12s %9s  %12s %7s\n", "ours", "props/s", "MB/s", "memcpy MB/s", "ratio");
  const double base = r.Seconds("Baseline/memcpy/container");
  for (const char* name : {"Container/Write", "Container/Read"}) {
    const double ours = r.Seconds(name);
    if (ours <= 0 || base <= 0) continue;
    const double mb = static_cast<double>(c.stream.size()) / 1e6;
    std::printf("%-18s %12.0f %9.1f  %12.1f %6.2fx\n", name, static_cast<double>(c.count) / ours,
                mb / ours, mb / base, ours / base);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool argsOk = true;
  const bool smoke = bench::TakeSmokeFlag(argc, argv, argsOk);
  if (!argsOk) return 2;
  bench::KeepFreedPages();
  const size_t divisor = smoke ? 100 : 1;

  bench::Random random(42);
  const std::u16string text = MakeText(10000000 / sizeof(char16_t) / divisor, random);
  TextCase one = MakeTextCase("one", text, false);
  TextCase texts = MakeTextCase("texts", text, true);
  ContainerCase container = MakeContainerCase(1000000 / divisor);

  std::vector<benchmark::internal::Benchmark*> all;
  for (TextCase* c : {&one, &texts}) {
    const std::string s = std::string("/") + c->name;
    all.push_back(benchmark::RegisterBenchmark(("Show" + s).c_str(), Show, &c->plain));
    all.push_back(benchmark::RegisterBenchmark(("Hide" + s).c_str(), Hide, &c->shown));
    all.push_back(benchmark::RegisterBenchmark(("Copy/plain" + s).c_str(), Copy, &c->plain));
    all.push_back(benchmark::RegisterBenchmark(("Copy/shown" + s).c_str(), Copy, &c->shown));
    all.push_back(
        benchmark::RegisterBenchmark(("Memcpy/plain" + s).c_str(), TextMemcpy, &c->plain));
    all.push_back(
        benchmark::RegisterBenchmark(("Memcpy/shown" + s).c_str(), TextMemcpy, &c->shown));
  }
  all.push_back(benchmark::RegisterBenchmark("Container/Write", ContainerWrite, &container));
  all.push_back(benchmark::RegisterBenchmark("Container/Read", ContainerRead, &container));
  all.push_back(
      benchmark::RegisterBenchmark("Baseline/memcpy/container", ContainerMemcpy, &container));
  for (benchmark::internal::Benchmark* b : all) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (smoke) b->Iterations(1);
  }

  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintTextSummary(reporter, {&one, &texts});
  PrintContainerSummary(reporter, container);
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "props_bench: a result was not what it must be\n");
    return 1;
  }
  return 0;
}
