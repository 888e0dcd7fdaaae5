// Writes the seed corpora of the fuzzers: well-formed streams of the graph
// they read, deep and oddly named trees for the tree loader, property
// containers and small projects, the files the tool's parts hand each other
// (parse parameters, localized-file requests, help projects, run reports)
// and the value classes of the settings, so that a short smoke run already
// starts past the header checks.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Convert.h"
#include "FuzzGraph.h"
#include "FuzzItems.h"
#include "FuzzSupport.h"
#include "Hhp.h"
#include "config/ControlMapping.h"
#include "config/DBCfg.h"
#include "help/HhpInfo.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "lang/Encoding.h"
#include "lang/IntStrMap.h"
#include "lang/PrjLangs.h"
#include "props/Prop.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"
#include "util/LocalizedTempFile.h"
#include "util/MiscUtil.h"
#include "util/ParseParams.h"

namespace {

using Body = std::function<void(Serial::ISerialStream&)>;

// `prefix` goes before the stream: the byte by which a target picks a layout.
bool WriteSeed(const std::filesystem::path& dir, const std::string& name, const Body& body,
               Serial::VersionInfo version, const std::string& prefix = std::string()) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, version);
    body(writer);
  }
  std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
  file << prefix;
  file.write(reinterpret_cast<const char*>(out.data().data()),
             static_cast<std::streamsize>(out.data().size()));
  return static_cast<bool>(file);
}

fuzz::Graph FullGraph() {
  fuzz::Graph g;
  g.number = -7;
  g.text = u"caf\u00e9";
  g.variant = _variant_t(u"variant text");
  g.list = {u"en-US", u"", u"ja-JP"};
  g.map = {{1, u"one"}, {-2, u"minus two"}};
  g.rect.left = 1;
  g.rect.top = 2;
  g.rect.right = 300;
  g.rect.bottom = 400;
  g.inner = 2.5;
  g.flag = true;
  g.className = Serial::NodeName(u"Shape");
  g.shape.reset(new fuzz::Shape(fuzz::ShapeClass()));
  g.shape->sides = 3;
  g.shape->label = u"triangle";
  return g;
}

struct Seed {
  const char* name;
  Body body;
  Serial::VersionInfo version;
};

// Streams of the graph both fuzzers read.
std::vector<Seed> GraphSeeds() {
  return {
      {"graph_empty",
       [](Serial::ISerialStream& s) {
         fuzz::Graph g;
         fuzz::DoGraph(s, g);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"graph_full",
       [](Serial::ISerialStream& s) {
         fuzz::Graph g = FullGraph();
         fuzz::DoGraph(s, g);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"graph_numbers",
       [](Serial::ISerialStream& s) {
         fuzz::Graph g = FullGraph();
         g.variant = _variant_t(static_cast<int32_t>(42));
         g.className = Serial::NodeName(static_cast<unsigned char>(0x09));
         g.shape.reset();
         fuzz::DoGraph(s, g);
       },
       Serial::VersionInfo(7, 1, 2, 3)},
  };
}

// Shapes that only the tree loader cares about.
std::vector<Seed> TreeSeeds() {
  return {
      {"tree_deep",
       [](Serial::ISerialStream& s) {
         for (int i = 0; i < 100; ++i) {
           s.EnterNode(Serial::NodeName());
           Serial::Do(s, i);
         }
         for (int i = 0; i < 100; ++i) s.LeaveNode();
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"tree_names",
       [](Serial::ISerialStream& s) {
         s.EnterNode(static_cast<unsigned char>(0x01));
         s.EnterNode(Serial::NodeName());
         std::vector<unsigned char> big(1000, 0x5A);
         s.WriteField(static_cast<unsigned int>(big.size()), big.data());
         s.LeaveNode();
         s.LeaveNode();
         s.EnterNode(Serial::NodeName(CString(u'n', 200)));
         s.WriteField(0, nullptr);
         s.LeaveNode();
         s.EnterNode(u"");
         s.LeaveNode();
         s.EnterNode(u"A");  // a repeated name: the tree merges the two
         s.LeaveNode();
         s.EnterNode(u"A");
         int value = 1;
         Serial::Do(s, value);
         s.LeaveNode();
       },
       Serial::UNDEFINED_SCHEME_VERSION},
  };
}

// One value of every property class, under numeric and string names.
void FillAllClasses(CPropContainer& c) {
  const unsigned char bytes[] = {0x00, 0xFF, 0x10, 0x7F};
  c.SetPropW(CPropName::TransText, new CStrProp(CString(u"Text \u00e9\\n")));
  c.SetPropW(CPropName::TransData, new CBinaryProp(bytes, static_cast<int>(sizeof bytes)));
  c.SetPropW(u"Empty");
  c.SetPropW(u"Int", new CIntProp(-42));
  c.SetPropW(u"Bool", new CBoolProp(true));
  c.SetPropW(u"IntVector", new CIntVectorProp(std::vector<int>{1, -2, 0x7FFFFFFF}));
  c.SetPropW(u"StrSet", new CStrSetProp(std::set<CString>{u"", u"de-DE", u"ja-JP"}));
  c.SetPropW(u"VariantText", new CVariantProp(_variant_t(u"variant text")));
  c.SetPropW(u"VariantInt", new CVariantProp(_variant_t(static_cast<int32_t>(7))));
  c.SetPropW(u"VariantDouble", new CVariantProp(_variant_t(2.5)));
}

std::vector<Seed> ContainerSeeds() {
  return {
      {"container_empty", [](Serial::ISerialStream& s) { CPropContainer().Do(s); },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"container_all_classes",
       [](Serial::ISerialStream& s) {
         CPropContainer c;
         FillAllClasses(c);
         c.Do(s);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      // A value that differs from its own copy: the round trip can only be
      // held to its bytes.
      {"container_nan",
       [](Serial::ISerialStream& s) {
         CPropContainer c;
         c.SetPropW(u"Ratio",
                    new CVariantProp(_variant_t(std::numeric_limits<double>::quiet_NaN())));
         c.SetPropW(u"Scale", new CVariantProp(_variant_t(1.5)));
         c.Do(s);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"container_strings",
       [](Serial::ISerialStream& s) {
         CPropContainer c;
         c.SetPropW(u"Caption", new CStrProp(CString(u"OK")));
         c.SetPropW(u"Font", new CStrProp(CString(u"MS Shell Dlg")));
         c.SetPropW(u"", new CStrProp(CString()));
         c.Do(s);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
  };
}

// An item with fields, properties, configuration and `translations`
// translations carrying text and data.
CResItem* MakeItem(int n, int translations) {
  auto* item = new CResItem();
  item->SetType(n % 4);
  item->SetResId(n % 2 ? CString(u"#") + CString(static_cast<char16_t>(u'0' + n % 10))
                       : CString(u"@IDD_MAIN"));
  item->SetComment(n % 3 ? CString() : CString(u"comment"));
  item->SetTabNum(n);
  item->SetState(n % 4);
  item->SetPropW(u"Caption", new CStrProp(CString(u"Caption")));
  item->SetPropW(u"HelpId", new CIntProp(n));
  item->SetPropW(u"Visible", new CBoolProp(n % 2 == 0));
  for (int i = 0; i < translations; ++i) {
    auto* trans = new CTransItem(0x0407 + i);
    trans->SetStr(u"\u00dcbersetzung");
    const unsigned char data[] = {static_cast<unsigned char>(n), 0x00, 0xAB};
    if (i % 2 == 0) trans->SetData(data, sizeof data);
    trans->SetStatus(i);
    trans->SetKey(100 + i);
    item->AddTransItem(trans);
  }
  return item;
}

std::vector<Seed> ProjectSeeds() {
  return {
      {"project_null",
       [](Serial::ISerialStream& s) {
         std::unique_ptr<CResItem> root;
         DoProject(s, root);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"project_small",
       [](Serial::ISerialStream& s) {
         std::unique_ptr<CResItem> root(MakeItem(0, 0));
         root->GetCfgProps().SetPropW(u"Parser.Encoding", new CStrProp(CString(u"utf-8")));
         root->GetCfgProps().SetPropW(u"Parser.Strict", new CBoolProp(false));
         const unsigned char block[] = {'M', 'Z', 0x90, 0x00};
         root->SetData(block, sizeof block);
         for (int f = 1; f <= 2; ++f) {
           CResItem* file = MakeItem(f, 1);
           file->GetCfgProps().SetPropW(u"Target.Path", new CStrProp(CString(u"out/file.rc")));
           for (int r = 0; r < 2; ++r) {
             CResItem* resource = MakeItem(10 * f + r, 2);
             resource->AddResItem(MakeItem(100 * f + r, 3));
             file->AddResItem(resource);
           }
           root->AddResItem(file);
         }
         DoProject(s, root);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"project_deep",
       [](Serial::ISerialStream& s) {
         std::unique_ptr<CResItem> root(new CResItem());
         CResItem* parent = root.get();
         for (int depth = 0; depth < 40; ++depth) {
           CResItem* child = new CResItem();
           parent->AddResItem(child);
           parent = child;
         }
         DoProject(s, root);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
  };
}

// A project of root, folder and file, the shape whose file item the tool
// hands over; settings on every level so that the chain carries them.
std::unique_ptr<CResItem> HandOverProject() {
  std::unique_ptr<CResItem> root(MakeItem(0, 0));
  root->GetCfgProps().SetPropW(u"Parser.Encoding", new CStrProp(CString(u"utf-8")));
  CResItem* folder = MakeItem(1, 0);
  folder->GetCfgProps().SetPropW(u"Target.Path", new CStrProp(CString(u"out\\")));
  CResItem* file = MakeItem(2, 2);
  file->AddResItem(MakeItem(3, 1));
  folder->AddResItem(MakeItem(4, 0));  // a sibling the chain leaves out
  folder->AddResItem(file);
  root->AddResItem(folder);
  return root;
}

CResItem& FileItemOf(CResItem& root) { return *root.GetResItems()[0]->GetResItems()[1]; }

bool WriteBytes(const std::filesystem::path& path, const fuzz::Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// `bytes` through the gzip writer at the level the tool hands files over with.
bool WriteGzip(const std::filesystem::path& path, const fuzz::Bytes& bytes) {
  Serial::GZFileStreamOut out(CString::FromUtf8(path.string()), 2);
  return out.IsOpen() &&
         (bytes.empty() ||
          out.write(bytes.data(), static_cast<unsigned int>(bytes.size())) == bytes.size());
}

// The content of a gzip file, so that a seed also exists in plain form.
fuzz::Bytes Gunzip(const std::filesystem::path& path) {
  Serial::GZFileStreamIn in(CString::FromUtf8(path.string()));
  fuzz::Bytes bytes;
  unsigned char buffer[4096];
  for (unsigned int n; (n = in.read(buffer, sizeof buffer)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

// Each parameter set gzip (as handed over) and plain.
bool WriteParseParamSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  std::vector<std::pair<std::string, fuzz::Bytes>> seeds;
  {
    std::unique_ptr<CResItem> root = HandOverProject();
    CParseFileParam live(FileItemOf(*root));
    live.parseLang = 0x0407;
    live.nativeLang = 0x0409;
    live.format = 3;
    live.fileName = u"C:\\project\\res\\main.rc";
    live.useRelative = true;
    live.projectFolder = u"C:\\project\\";
    live.isScanForChanges = true;
    live.originalFile = u"main.rc";
    CSerialParseFileParam param(live);
    seeds.emplace_back("parse_chain",
                       fuzz::Save([&param](Serial::ISerialStream& s) { param.Do(s); }));
  }  // the file item is back in its project before the project goes
  CSerialParseFileParam empty;
  seeds.emplace_back("parse_no_item",
                     fuzz::Save([&empty](Serial::ISerialStream& s) { empty.Do(s); }));
  bool ok = true;
  for (const auto& seed : seeds) {
    ok = WriteBytes(dir / (seed.first + ".serial"), seed.second) &&
         WriteGzip(dir / (seed.first + ".serial.gz"), seed.second) && ok;
  }
  return ok;
}

bool WriteLocalizedFileSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  std::unique_ptr<CResItem> root = HandOverProject();
  CCreateLocalizedParam param;
  param.nativeLang = 0x0409;
  param.targetLang = 0x0407;
  param.projectDir = u"C:\\project\\";
  param.targetCultureName = u"de-DE";
  const std::filesystem::path deep = dir / "localized_file.serial.gz";
  const std::filesystem::path top = dir / "localized_root.serial.gz";
  bool ok = CreateLocalizedTempFile::Save(CString::FromUtf8(deep.string()), u"out\\main.rc",
                                          u"res\\main.rc", FileItemOf(*root), param) &&
            CreateLocalizedTempFile::Save(CString::FromUtf8(top.string()), u"", u"", *root,
                                          CCreateLocalizedParam());
  for (const auto& path : {deep, top}) {
    ok = ok && WriteBytes(std::filesystem::path(path).replace_extension(), Gunzip(path));
  }
  return ok;
}

CWindowEntry EveryBitWindow() {
  CWindowEntry window;
  window.ValidMask = 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x100 | 0x200 | 0x400 | 0x2000;
  window.WindowType = u"second";
  window.TitleBarText = u"Zweite Hilfe";
  window.Jump1File = u"a.htm";
  window.Jump1Text = u"A";
  window.Width = -1;
  window.Position = RECT{-5, 0, 0x7FFFFFFF, -0x7FFFFFFF};
  window.NotifyId = 0xFFFFFFFFu;
  return window;
}

std::vector<Seed> HhpSeeds() {
  return {
      {"hhp_sample",
       [](Serial::ISerialStream& s) { itemtool::WriteHhp(s, itemtool::BuildSampleHhp()); },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"hhp_default", [](Serial::ISerialStream& s) { itemtool::WriteHhp(s, CHhpInfo()); },
       Serial::UNDEFINED_SCHEME_VERSION},
      {"hhp_windows",
       [](Serial::ISerialStream& s) {
         CHhpInfo info = itemtool::BuildSampleHhp();
         info.Version = 2;
         info.DefaultWindow = u"second";
         info.Windows.push_back(EveryBitWindow());
         info.Windows.push_back(EveryBitWindow());
         info.MergeList = {u"other.chm", u""};
         info.Title.Empty();
         info.InitSkippedFields();
         itemtool::WriteHhp(s, info);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
  };
}

template <typename Prop, typename Value>
Body PropBody(Value value) {
  return [value](Serial::ISerialStream& s) {
    std::unique_ptr<CProp> prop(new Prop(value));
    fuzz::DoProp(s, prop);
  };
}

CDBTablesCfg SampleTables() {
  CDBTableCfg byColumn;
  byColumn.TableName = u"Strings";
  byColumn.KeyFields = {u"Id", u"Module"};
  CDBSROFFieldCfg field;
  field.NameByLang = {{0x0407, u"Text_DE"}, {0x10407, u"Text_DE_Brand"}};
  byColumn.SROFCfg.TransFields.push_back(field);
  byColumn.WhereCond = u"Module <> ''";
  CDBTableCfg byRow;
  byRow.TableName = u"Messages";
  byRow.KeyFields = {u"Id"};
  byRow.SchemeId = CDBTableCfg::LangIdScheme;
  byRow.LangIdSchemeCfg.LangIdField = u"Lang";
  byRow.LangIdSchemeCfg.LangIdValueMap = {{0x0409, u"en"}};
  byRow.LangIdSchemeCfg.TransFields = {u"Text", u"Tooltip"};
  CDBTableCfg unknown;
  unknown.SchemeId = static_cast<CDBTableCfg::LocalizationSchemeId>(7);
  return CDBTablesCfg{byColumn, byRow, unknown};
}

std::vector<Seed> ValuePropSeeds() {
  CEncodingCfg encodings(CEncoding(u"utf-8"));
  encodings.GetEncodingsByLang()[0x0411] = CEncoding(932);
  encodings.GetEncodingsByLang()[0x0419] = CEncoding::SelectAnsiByLang;
  CPrjLangs langs(0x0409);
  langs.setSelectedLangs(CLangSet{0x0407, 0x040C, 0x10407});
  langs.setTarget(0x0407);
  langs.setSecondary(0x040C);
  const CFilter filter(CFilter::NameSet{u"*"}, CFilter::NameSet{u"Debug", u"tmp"});
  const CControlMappingList mappings{CControlTypeMapping(u"TButton*", u"Button"),
                                     CControlTypeMapping()};
  const Serial::VersionInfo version = Serial::UNDEFINED_SCHEME_VERSION;
  return {
      {"value_null",
       [](Serial::ISerialStream& s) {
         std::unique_ptr<CProp> none;
         fuzz::DoProp(s, none);
       },
       version},
      {"value_encoding", PropBody<CEncodingCfgProp>(encodings), version},
      {"value_prj_langs", PropBody<CPrjLangsProp>(langs), version},
      {"value_lang_set", PropBody<CLangSetProp>(CLangSet{7777, 0x0409, 0xFF0407}), version},
      {"value_filter", PropBody<CFilterProp>(filter), version},
      {"value_int_str_map", PropBody<CIntStrMapProp>(CIntStrMap{{-1, u""}, {5, u"Brand"}}),
       version},
      {"value_control_mapping", PropBody<CControlMappingProp>(mappings), version},
      {"value_db_tables", PropBody<CDBTablesCfgProp>(SampleTables()), version},
      {"value_hhp", PropBody<CHhpInfoProp>(itemtool::BuildSampleHhp()), version},
  };
}

// Reports as RunReportFile writes them, and a bare image header for the
// checksum.
bool WriteFileReaderSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  bool ok = true;
  const auto report = [&](const char* name, unsigned int result, const CString& text) {
    ok = MiscUtil::RunReportFile()
             .SetFileName(CString::FromUtf8((dir / name).string()))
             .SetResult(result)
             .SetText(text)
             .Write() &&
         ok;
  };
  report("report_ok", 3, u"OK");
  report("report_empty", 0, CString());
  report("report_long", 0xFFFFFFFFu,
         CString(u'\u00e9', MiscUtil::RunReportFile::kMaxTextLength + 3));
  fuzz::Bytes image(0x200, 0);
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x80;
  std::memcpy(image.data() + 0x80, "PE\0\0", 4);
  image[0x80 + 4 + 20 + 64] = 0x12;  // a stored checksum the sum must skip
  return WriteBytes(dir / "image_pe", image) && ok;
}

bool WriteSeeds(const std::filesystem::path& dir, const std::vector<Seed>& seeds,
                const std::string& prefix = std::string()) {
  std::filesystem::create_directories(dir);
  bool ok = true;
  for (const Seed& seed : seeds) {
    ok = WriteSeed(dir, seed.name, seed.body, seed.version, prefix) && ok;
  }
  return ok;
}

// A small old project database, its data block a few bytes so that the seed
// stays a handful of SQLite pages.
bool WriteOldProjectSeed(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  return itemtool::WriteSampleOldDb((dir / "old_project_small.db").string(), 300, std::cerr);
}

// Command lines as the run-localized settings hold them: quoting, escaped
// quotes and backslash runs.
bool WriteCommandLineSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const std::pair<const char*, const char*> lines[] = {
      {"cmd_plain", "tool.exe /in main.rc /lang 1031"},
      {"cmd_quoted", "\"C:\\Program Files\\Tool\\run.exe\" \"out dir\\\\\" a\\\"b \"x\"\"y\""},
      {"cmd_utf8", "\tpr\u00fcfen\r\n\u65e5\u672c \\\\server\\share\\"},
  };
  bool ok = true;
  for (const auto& line : lines) {
    const std::string text(line.second);
    ok = WriteBytes(dir / line.first, fuzz::Bytes(text.begin(), text.end())) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_DIR\n");
    return 2;
  }
  const std::filesystem::path root(argv[1]);
  std::vector<Seed> treeSeeds = GraphSeeds();
  for (Seed& seed : TreeSeeds()) treeSeeds.push_back(std::move(seed));
  const bool ok = WriteSeeds(root / "fuzz_binary_serial_in", GraphSeeds()) &&
                  WriteSeeds(root / "fuzz_serial_tree_in", treeSeeds) &&
                  WriteSeeds(root / "fuzz_prop_container", ContainerSeeds()) &&
                  WriteSeeds(root / "fuzz_project", ProjectSeeds()) &&
                  WriteOldProjectSeed(root / "fuzz_old_project") &&
                  WriteParseParamSeeds(root / "fuzz_parse_params") &&
                  WriteLocalizedFileSeeds(root / "fuzz_localized_file") &&
                  WriteSeeds(root / "fuzz_hhp", HhpSeeds()) &&
                  WriteSeeds(root / "fuzz_value_props", ValuePropSeeds()) &&
                  WriteFileReaderSeeds(root / "fuzz_file_readers") &&
                  WriteCommandLineSeeds(root / "fuzz_command_line") &&
                  WriteSeeds(root / "fuzz_binary_paths", ProjectSeeds(), std::string(1, '\0')) &&
                  WriteSeeds(root / "fuzz_binary_paths", ContainerSeeds(), "\2");
  if (!ok) {
    std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
    return 1;
  }
  return 0;
}
