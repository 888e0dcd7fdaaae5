// Writes the seed corpora of the fuzzers through the library's own writers,
// so that the seeds follow the formats as they change and a short smoke run
// already starts past the header checks. Hand-written inputs and the inputs
// of past findings are data files below fuzz/corpus/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "Convert.h"
#include "FuzzGraph.h"
#include "FuzzSupport.h"
#include "Hhp.h"
#include "Project.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "exchange/ExchangeTestUtil.h"
#include "help/HhpInfo.h"
#include "lang/Encoding.h"
#include "lang/IntStrMap.h"
#include "lang/PrjLangs.h"
#include "parsing/LocalizedTempFile.h"
#include "parsing/ParseParams.h"
#include "services/MiscUtil.h"

namespace {

std::filesystem::path seeds;
bool ok = true;

// The path of the seed `name` of `target`, its folder made.
std::string Path(const char* target, const char* name) {
  std::filesystem::create_directories(seeds / target);
  return (seeds / target / name).string();
}

// `bytes` as the seed `name` of `target`.
void Put(const char* target, const char* name, const std::string& bytes) {
  std::ofstream file(Path(target, name), std::ios::binary | std::ios::trunc);
  ok = static_cast<bool>(file << bytes) && ok;
}

// The `prefix` bytes by which some targets pick a layout, then the whole
// binary stream `body` writes.
void Seed(const char* target, const char* name,
          const std::function<void(Serial::ISerialStream&)>& body, std::string prefix = "") {
  const fuzz::Bytes stream = fuzz::Write(body);
  Put(target, name, prefix.append(stream.begin(), stream.end()));
}

// One property value behind a class name, as the value fuzzer reads it.
void Value(const char* name, CProp* value) {
  std::unique_ptr<CProp> prop(value);
  Seed("fuzz_value_props", name, fuzz::Prop(prop));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_DIR\n");
    return 2;
  }
  seeds = argv[1];
  // Every part of the graph filled, the polymorphic shape included.
  const auto graph = [](Serial::ISerialStream& s) {
    fuzz::Graph g{-7,  u"caf\u00e9", _variant_t(u"v"),           {{1, u"one"}},
                  2.5, true,         Serial::NodeName(u"Shape"), nullptr};
    g.shape.reset(new fuzz::Shape(fuzz::ShapeClass()));
    g.shape->label = u"triangle";
    fuzz::DoGraph(s, g);
  };
  Seed("fuzz_binary_serial_in", "graph", graph);
  Seed("fuzz_serial_tree_in", "graph", graph);

  // The sample project and its settings, properties of several classes.
  std::unique_ptr<CResItem> project = itemtool::BuildSampleProject();
  const auto settings = [&](Serial::ISerialStream& s) { project->GetCfgProps().Do(s); };
  Seed("fuzz_project", "project_sample", fuzz::Project(project));
  Seed("fuzz_prop_container", "settings", settings);
  Seed("fuzz_binary_paths", "project", fuzz::Project(project), std::string(1, '\0'));
  Seed("fuzz_binary_paths", "settings", settings, "\2");
  ok = itemtool::WriteSampleOldDb(Path("fuzz_old_project", "old_project.db"), 300, std::cerr) && ok;

  // A file item handed over with its ancestor chain, as parse parameters
  // and as a localized-file request (gzip as written, and plain).
  CResItem& file = *project->GetResItems()[0];
  {
    CParseFileParam live(file);
    live.fileName = u"C:\\project\\res\\main.rc";
    CSerialParseFileParam chain(live);
    Seed("fuzz_parse_params", "parse_chain", [&](Serial::ISerialStream& s) { chain.Do(s); });
  }  // the file item is back in its project here
  const CString gzip = CString::FromUtf8(Path("fuzz_localized_file", "localized.serial.gz"));
  CreateLocalizedTempFile request;
  ok = CreateLocalizedTempFile::Save(gzip, u"out\\main.rc", u"main.rc", file, {}) &&
       request.Load(gzip) && ok;
  Seed("fuzz_localized_file", "localized.serial", [&](Serial::ISerialStream& s) { request.Do(s); });

  const CHhpInfo hhp = itemtool::BuildSampleHhp();
  Seed("fuzz_hhp", "hhp_sample", [&](Serial::ISerialStream& s) { itemtool::WriteHhp(s, hhp); });
  Value("hhp", new CHhpInfoProp(hhp));
  Value("encoding", new CEncodingCfgProp(CEncodingCfg(CEncoding(u"utf-8"))));
  Value("prj_langs", new CPrjLangsProp(CPrjLangs(0x0409)));
  Value("lang_set", new CLangSetProp(CLangSet{0x0409, 0xFF0407}));
  Value("filter", new CFilterProp(CFilter({u"*"}, {u"Debug"})));
  Value("int_str_map", new CIntStrMapProp(CIntStrMap{{5, u"Brand"}}));
  Value("control_mapping",
        new CControlMappingProp(CControlMappingList{CControlTypeMapping(u"TButton*", u"Button")}));
  Value("db_tables", new CDBTablesCfgProp(CDBTablesCfg(1)));

  ok = MiscUtil::RunReportFile()
           .SetFileName(CString::FromUtf8(Path("fuzz_file_readers", "report")))
           .SetResult(3)
           .SetText(u"OK")
           .Write() &&
       ok;
  // Our own documents, with every kind of character the writers escape.
  const auto units = exchange_test::Project();
  exchange_test::Add(*units, 6, u"#9", u"a\u0001\r\n\t<&>\"\\n lone \xD800 \U0001F600", u"\xD800");
  Put("fuzz_xliff12", "exported", exchange_test::Export(*units, ExchangeFormat::kXliff12));
  Put("fuzz_xliff20", "exported", exchange_test::Export(*units, ExchangeFormat::kXliff20));
  Put("fuzz_po", "exported", exchange_test::Export(*units, ExchangeFormat::kPo));
  if (!ok) std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
  return ok ? 0 : 1;
}
