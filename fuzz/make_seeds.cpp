// Writes the seed corpora of the fuzzers through the library's own writers,
// so that the seeds follow the formats as they change and a short smoke run
// already starts past the header checks. Hand-written inputs and the inputs
// of past findings are data files below fuzz/corpus/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Convert.h"
#include "FuzzExchange.h"
#include "FuzzGraph.h"
#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "Hhp.h"
#include "Project.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "help/HhpInfo.h"
#include "lang/Encoding.h"
#include "lang/IntStrMap.h"
#include "lang/PrjLangs.h"
#include "parsing/LocalizedTempFile.h"
#include "parsing/ParseParams.h"
#include "services/MiscUtil.h"

namespace {

namespace fs = std::filesystem;

bool ok = true;

// `body` as a whole binary stream in `dir`/`name`, after the `prefix` bytes
// by which some targets pick a layout.
template <typename Body>
void Seed(const fs::path& dir, const char* name, Body body, fuzz::Bytes bytes = {}) {
  fs::create_directories(dir);
  const fuzz::Bytes stream = fuzz::Save(body);
  bytes.insert(bytes.end(), stream.begin(), stream.end());
  std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  ok = static_cast<bool>(file) && ok;
}

// One property value of `Prop` holding `value`.
template <typename Prop, typename Value>
void ValueSeed(const fs::path& dir, const char* name, const Value& value) {
  Seed(dir, name, [&](Serial::ISerialStream& s) {
    std::unique_ptr<CProp> prop(new Prop(value));
    fuzz::DoProp(s, prop);
  });
}

// Each exchange reader starts from our own document in its format.
bool WriteExchangeSeed(const std::filesystem::path& dir, ExchangeFormat format) {
  std::filesystem::create_directories(dir);
  const std::string text = fuzz::ExchangeSeed(format);
  std::ofstream file(dir / "exported", std::ios::binary | std::ios::trunc);
  file << text;
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_DIR\n");
    return 2;
  }
  const fs::path root(argv[1]);
  // Every part of the graph filled, the polymorphic shape included.
  const auto graph = [](Serial::ISerialStream& s) {
    fuzz::Graph g{-7,  u"caf\u00e9", _variant_t(u"v"),           {{1, u"one"}},
                  2.5, true,         Serial::NodeName(u"Shape"), nullptr};
    g.shape.reset(new fuzz::Shape(fuzz::ShapeClass()));
    g.shape->label = u"triangle";
    fuzz::DoGraph(s, g);
  };
  Seed(root / "fuzz_binary_serial_in", "graph", graph);
  Seed(root / "fuzz_serial_tree_in", "graph", graph);

  std::unique_ptr<CResItem> project = itemtool::BuildSampleProject();
  Seed(root / "fuzz_project", "project_sample", [&](auto& s) { DoProject(s, project); });
  // The sample's settings: properties of several classes.
  Seed(root / "fuzz_prop_container", "settings", [&](auto& s) { project->GetCfgProps().Do(s); });
  Seed(root / "fuzz_binary_paths", "project", [&](auto& s) { DoProject(s, project); }, {0});
  Seed(root / "fuzz_binary_paths", "settings", [&](auto& s) { project->GetCfgProps().Do(s); },
       {2});
  CResItem& file = *project->GetResItems()[0];
  fs::create_directories(root / "fuzz_old_project");
  ok = itemtool::WriteSampleOldDb((root / "fuzz_old_project/old_project.db").string(), 300,
                                  std::cerr) &&
       ok;

  // A file item handed over with its ancestor chain.
  {
    CParseFileParam live(file);
    live.fileName = u"C:\\project\\res\\main.rc";
    CSerialParseFileParam chain(live);
    Seed(root / "fuzz_parse_params", "parse_chain", [&](auto& s) { chain.Do(s); });
  }  // the file item is back in its project here
  const fs::path localized = root / "fuzz_localized_file";
  fs::create_directories(localized);
  const CString gzip = CString::FromUtf8((localized / "localized.serial.gz").string());
  CreateLocalizedTempFile request;
  ok = CreateLocalizedTempFile::Save(gzip, u"out\\main.rc", u"main.rc", file, {}) &&
       request.Load(gzip) && ok;
  Seed(localized, "localized.serial", [&](auto& s) { request.Do(s); });

  const fs::path values = root / "fuzz_value_props";
  const CHhpInfo hhp = itemtool::BuildSampleHhp();
  Seed(root / "fuzz_hhp", "hhp_sample", [&](auto& s) { itemtool::WriteHhp(s, hhp); });
  ValueSeed<CHhpInfoProp>(values, "hhp", hhp);
  ValueSeed<CEncodingCfgProp>(values, "encoding", CEncodingCfg(CEncoding(u"utf-8")));
  ValueSeed<CPrjLangsProp>(values, "prj_langs", CPrjLangs(0x0409));
  ValueSeed<CLangSetProp>(values, "lang_set", CLangSet{0x0409, 0xFF0407});
  ValueSeed<CFilterProp>(values, "filter", CFilter({u"*"}, {u"Debug"}));
  ValueSeed<CIntStrMapProp>(values, "int_str_map", CIntStrMap{{5, u"Brand"}});
  ValueSeed<CControlMappingProp>(values, "control_mapping",
                                 CControlMappingList{CControlTypeMapping(u"TButton*", u"Button")});
  ValueSeed<CDBTablesCfgProp>(values, "db_tables", CDBTablesCfg(1));

  const fs::path readers = root / "fuzz_file_readers";
  fs::create_directories(readers);
  ok = MiscUtil::RunReportFile()
           .SetFileName(CString::FromUtf8((readers / "report").string()))
           .SetResult(3)
           .SetText(u"OK")
           .Write() &&
       ok;
  ok = WriteExchangeSeed(root / "fuzz_xliff12", ExchangeFormat::kXliff12) &&
       WriteExchangeSeed(root / "fuzz_xliff20", ExchangeFormat::kXliff20) &&
       WriteExchangeSeed(root / "fuzz_po", ExchangeFormat::kPo) && ok;
  if (!ok) std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
  return ok ? 0 : 1;
}
