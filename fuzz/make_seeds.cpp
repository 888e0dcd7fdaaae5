// Writes the seed corpora of the fuzzers through the library's own writers,
// so that the seeds follow the formats as they change and a short smoke run
// already starts past the header checks. Hand-written inputs and the inputs
// of past findings are data files below fuzz/corpus/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Convert.h"
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
#include "services/MiscUtil.h"
#include "parsing/ParseParams.h"

namespace {

namespace fs = std::filesystem;
using Body = std::function<void(Serial::ISerialStream&)>;

struct Seed {
  const char* name;
  Body body;
  Serial::VersionInfo version = Serial::UNDEFINED_SCHEME_VERSION;
};

bool WriteBytes(const fs::path& path, const fuzz::Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// `prefix` goes before each stream: the byte by which a target picks a layout.
bool WriteSeeds(const fs::path& dir, const std::vector<Seed>& seeds,
                const fuzz::Bytes& prefix = fuzz::Bytes()) {
  fs::create_directories(dir);
  bool ok = true;
  for (const Seed& seed : seeds) {
    Serial::MemoryStreamOut stream;
    stream.data() = prefix;
    {
      Serial::Binary::BinarySerialOut writer(stream, seed.version);
      seed.body(writer);
    }
    ok = WriteBytes(dir / seed.name, stream.data()) && ok;
  }
  return ok;
}

// The graph both serial fuzzers read: empty (0), full (1), or with numeric
// names, a number variant and no shape (2).
Body Graph(int kind) {
  return [kind](Serial::ISerialStream& s) {
    fuzz::Graph g;
    if (kind > 0) {
      g = fuzz::Graph{-7,
                      u"caf\u00e9",
                      _variant_t(u"variant text"),
                      {u"en-US", u"", u"ja-JP"},
                      {{1, u"one"}, {-2, u"minus two"}},
                      tagRECT{1, 2, 300, 400},
                      2.5,
                      true,
                      Serial::NodeName(u"Shape"),
                      nullptr};
      g.shape.reset(new fuzz::Shape(fuzz::ShapeClass()));
      g.shape->sides = 3;
      g.shape->label = u"triangle";
    }
    if (kind == 2) {
      g.variant = _variant_t(static_cast<int32_t>(42));
      g.className = Serial::NodeName(static_cast<unsigned char>(0x09));
      g.shape.reset();
    }
    fuzz::DoGraph(s, g);
  };
}

const std::vector<Seed> kGraphSeeds = {
    {"graph_empty", Graph(0)},
    {"graph_full", Graph(1)},
    {"graph_numbers", Graph(2), Serial::VersionInfo(7, 1, 2, 3)},
};

// Shapes only the tree loader cares about: a deep chain, then numeric, long,
// empty and repeated names (the tree merges the two "A").
void OddTree(Serial::ISerialStream& s) {
  for (int i = 0; i < 100; ++i) {
    s.EnterNode(Serial::NodeName());
    Serial::Do(s, i);
  }
  for (int i = 0; i < 100; ++i) s.LeaveNode();
  s.EnterNode(static_cast<unsigned char>(0x01));
  s.EnterNode(Serial::NodeName());
  const std::vector<unsigned char> big(1000, 0x5A);
  s.WriteField(static_cast<unsigned int>(big.size()), big.data());
  s.LeaveNode();
  s.LeaveNode();
  s.EnterNode(Serial::NodeName(CString(u'n', 200)));
  s.WriteField(0, nullptr);
  s.LeaveNode();
  for (const char16_t* name : {u"", u"A", u"A"}) {
    s.EnterNode(name);
    s.LeaveNode();
  }
}

// One value of every property class under numeric, string and empty names,
// and a NaN that differs from its own copy.
void AllClasses(Serial::ISerialStream& s) {
  const unsigned char bytes[] = {0x00, 0xFF, 0x10, 0x7F};
  CPropContainer c;
  c.SetPropW(CPropName::TransText, new CStrProp(CString(u"Text \u00e9\\n")));
  c.SetPropW(CPropName::TransData, new CBinaryProp(bytes, static_cast<int>(sizeof bytes)));
  c.SetPropW(u"Empty");
  c.SetPropW(u"", new CStrProp(CString()));
  c.SetPropW(u"Int", new CIntProp(-42));
  c.SetPropW(u"Bool", new CBoolProp(true));
  c.SetPropW(u"IntVector", new CIntVectorProp(std::vector<int>{1, -2, 0x7FFFFFFF}));
  c.SetPropW(u"StrSet", new CStrSetProp(std::set<CString>{u"", u"de-DE", u"ja-JP"}));
  c.SetPropW(u"VariantText", new CVariantProp(_variant_t(u"variant text")));
  c.SetPropW(u"VariantInt", new CVariantProp(_variant_t(static_cast<int32_t>(7))));
  c.SetPropW(u"VariantDouble", new CVariantProp(_variant_t(2.5)));
  c.SetPropW(u"Ratio", new CVariantProp(_variant_t(std::numeric_limits<double>::quiet_NaN())));
  c.Do(s);
}

Body Project(std::function<std::unique_ptr<CResItem>()> make) {
  return [make](Serial::ISerialStream& s) {
    std::unique_ptr<CResItem> root = make ? make() : nullptr;
    DoProject(s, root);
  };
}

std::unique_ptr<CResItem> DeepProject() {
  auto root = std::make_unique<CResItem>();
  CResItem* parent = root.get();
  for (int depth = 0; depth < 40; ++depth, parent = parent->GetResItems()[0]) {
    parent->AddResItem(new CResItem());
  }
  return root;
}

// `body` plain and as the gzip file the tool hands over.
bool WritePlainAndGzip(const fs::path& plain, const Body& body) {
  Serial::GZFileStreamOut gzip(CString::FromUtf8(plain.string() + ".gz"), 2);
  if (!gzip.IsOpen()) return false;
  {
    Serial::Binary::BinarySerialOut writer(gzip);
    body(writer);
  }
  return WriteBytes(plain, fuzz::Save(body));
}

// A file item (app.exe of the sample project) handed over with its chain:
// parse parameters and localized-file requests, each plain and gzip.
bool WriteHandOverSeeds(const fs::path& params, const fs::path& localized) {
  fs::create_directories(params);
  fs::create_directories(localized);
  std::unique_ptr<CResItem> root = itemtool::BuildSampleProject();
  CResItem& file = *root->GetResItems()[0];
  bool ok;
  {
    CParseFileParam live(file);
    live.parseLang = 0x0407;
    live.format = 3;
    live.fileName = u"C:\\project\\res\\main.rc";
    live.useRelative = true;
    CSerialParseFileParam chain(live), empty;
    ok = WritePlainAndGzip(params / "parse_chain.serial", [&](auto& s) { chain.Do(s); }) &&
         WritePlainAndGzip(params / "parse_no_item.serial", [&](auto& s) { empty.Do(s); });
  }  // the file item is back in its project before the project goes
  CCreateLocalizedParam param;
  param.targetLang = 0x0407;
  param.targetCultureName = u"de-DE";
  const std::pair<const char*, CResItem*> requests[] = {{"localized_file", &file},
                                                        {"localized_root", root.get()}};
  for (const auto& [name, item] : requests) {
    const fs::path plain = localized / (std::string(name) + ".serial");
    const CString gzip = CString::FromUtf8(plain.string() + ".gz");
    CreateLocalizedTempFile request;
    ok = ok &&
         CreateLocalizedTempFile::Save(gzip, u"out\\main.rc", u"res\\main.rc", *item, param) &&
         request.Load(gzip) && WriteBytes(plain, fuzz::Save([&](auto& s) { request.Do(s); }));
  }
  return ok;
}

// The sample help project, an empty one, and one with more windows, every
// field of them valid and at its limits.
Body Hhp(int kind) {
  return [kind](Serial::ISerialStream& s) {
    CHhpInfo info = kind == 1 ? CHhpInfo() : itemtool::BuildSampleHhp();
    if (kind == 2) {
      CWindowEntry window = info.Windows[0];
      window.ValidMask = 0x277E;
      window.Position = RECT{-5, 0, 0x7FFFFFFF, -0x7FFFFFFF};
      window.NotifyId = 0xFFFFFFFFu;
      info.Windows.assign(2, window);
      info.MergeList = {u"other.chm", u""};
      info.InitSkippedFields();
    }
    itemtool::WriteHhp(s, info);
  };
}

template <typename Prop, typename Value>
Body Value(Value value) {
  return [value](Serial::ISerialStream& s) {
    std::unique_ptr<CProp> prop(new Prop(value));
    fuzz::DoProp(s, prop);
  };
}

// Tables with a column per language and with a row per language.
CDBTablesCfg SampleTables() {
  CDBTableCfg byColumn, byRow;
  byColumn.TableName = u"Strings";
  byColumn.KeyFields = {u"Id", u"Module"};
  CDBSROFFieldCfg field;
  field.NameByLang = {{0x0407, u"Text_DE"}, {0x10407, u"Text_DE_Brand"}};
  byColumn.SROFCfg.TransFields.push_back(field);
  byColumn.WhereCond = u"Module <> ''";
  byRow.TableName = u"Messages";
  byRow.KeyFields = {u"Id"};
  byRow.LocalizationSchemeId = CDBTableCfg::LangIdScheme;
  byRow.LangIdSchemeCfg.LangIdField = u"Lang";
  byRow.LangIdSchemeCfg.LangIdValueMap = {{0x0409, u"en"}};
  byRow.LangIdSchemeCfg.TransFields = {u"Text", u"Tooltip"};
  CDBTableCfg unknown;
  unknown.LocalizationSchemeId = static_cast<enum CDBTableCfg::LocalizationSchemeId>(7);
  return CDBTablesCfg{byColumn, byRow, unknown};
}

std::vector<Seed> ValueSeeds() {
  CEncodingCfg encodings(CEncoding(u"utf-8"));
  encodings.GetEncodingsByLang()[0x0411] = CEncoding(932);
  encodings.GetEncodingsByLang()[0x0419] = CEncoding::SelectAnsiByLang;
  CPrjLangs langs(0x0409);
  langs.setSelectedLangs(CLangSet{0x0407, 0x040C, 0x10407});
  langs.setTarget(0x0407);
  langs.setSecondary(0x040C);
  return {
      {"value_null",
       [](Serial::ISerialStream& s) {
         std::unique_ptr<CProp> none;
         fuzz::DoProp(s, none);
       }},
      {"value_encoding", Value<CEncodingCfgProp>(encodings)},
      {"value_prj_langs", Value<CPrjLangsProp>(langs)},
      {"value_lang_set", Value<CLangSetProp>(CLangSet{7777, 0x0409, 0xFF0407})},
      {"value_filter",
       Value<CFilterProp>(CFilter(CFilter::NameSet{u"*"}, CFilter::NameSet{u"Debug", u"tmp"}))},
      {"value_int_str_map", Value<CIntStrMapProp>(CIntStrMap{{-1, u""}, {5, u"Brand"}})},
      {"value_control_mapping",
       Value<CControlMappingProp>(CControlMappingList{CControlTypeMapping(u"TButton*", u"Button"),
                                                      CControlTypeMapping()})},
      {"value_db_tables", Value<CDBTablesCfgProp>(SampleTables())},
      {"value_hhp", Value<CHhpInfoProp>(itemtool::BuildSampleHhp())},
  };
}

// Reports as RunReportFile writes them.
bool WriteFileReaderSeeds(const fs::path& dir) {
  fs::create_directories(dir);
  bool ok = true;
  const std::tuple<const char*, unsigned int, CString> reports[] = {
      {"report_ok", 3, u"OK"},
      {"report_empty", 0, CString()},
      {"report_long", 0xFFFFFFFFu, CString(u'\u00e9', MiscUtil::RunReportFile::kMaxTextLength + 3)},
  };
  for (const auto& [name, result, text] : reports) {
    ok = MiscUtil::RunReportFile()
             .SetFileName(CString::FromUtf8((dir / name).string()))
             .SetResult(result)
             .SetText(text)
             .Write() &&
         ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_DIR\n");
    return 2;
  }
  const fs::path root(argv[1]);
  std::vector<Seed> treeSeeds = kGraphSeeds;
  treeSeeds.push_back({"tree_odd", OddTree});
  fs::create_directories(root / "fuzz_old_project");
  const std::vector<Seed> containerSeeds = {
      {"container_empty", [](Serial::ISerialStream& s) { CPropContainer().Do(s); }},
      {"container_all_classes", AllClasses}};
  const std::vector<Seed> projectSeeds = {{"project_null", Project(nullptr)},
                                          {"project_sample", Project(itemtool::BuildSampleProject)},
                                          {"project_deep", Project(DeepProject)}};
  const bool ok =
      WriteSeeds(root / "fuzz_binary_serial_in", kGraphSeeds) &&
      WriteSeeds(root / "fuzz_serial_tree_in", treeSeeds) &&
      WriteSeeds(root / "fuzz_prop_container", containerSeeds) &&
      WriteSeeds(root / "fuzz_project", projectSeeds) &&
      WriteSeeds(root / "fuzz_binary_paths", projectSeeds, {0}) &&
      WriteSeeds(root / "fuzz_binary_paths", containerSeeds, {2}) &&
      itemtool::WriteSampleOldDb((root / "fuzz_old_project/old_project_small.db").string(), 300,
                                 std::cerr) &&
      WriteHandOverSeeds(root / "fuzz_parse_params", root / "fuzz_localized_file") &&
      WriteSeeds(root / "fuzz_hhp",
                 {{"hhp_sample", Hhp(0)}, {"hhp_default", Hhp(1)}, {"hhp_windows", Hhp(2)}}) &&
      WriteSeeds(root / "fuzz_value_props", ValueSeeds()) &&
      WriteFileReaderSeeds(root / "fuzz_file_readers");
  if (!ok) {
    std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
    return 1;
  }
  return 0;
}
