// Writes the seed corpora of the fuzzers: well-formed streams of the graph
// they read, deep and oddly named trees for the tree loader, property
// containers and small projects, so that a short smoke run already starts
// past the header checks.
#include <cstdio>
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
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "props/Prop.h"
#include "props/PropContainer.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace {

using Body = std::function<void(Serial::ISerialStream&)>;

bool WriteSeed(const std::filesystem::path& dir, const std::string& name, const Body& body,
               Serial::VersionInfo version) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, version);
    body(writer);
  }
  std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
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
         fuzz::DoProject(s, root);
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
         fuzz::DoProject(s, root);
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
         fuzz::DoProject(s, root);
       },
       Serial::UNDEFINED_SCHEME_VERSION},
  };
}

bool WriteSeeds(const std::filesystem::path& dir, const std::vector<Seed>& seeds) {
  std::filesystem::create_directories(dir);
  bool ok = true;
  for (const Seed& seed : seeds) ok = WriteSeed(dir, seed.name, seed.body, seed.version) && ok;
  return ok;
}

// A small old project database, its data block a few bytes so that the seed
// stays a handful of SQLite pages.
bool WriteOldProjectSeed(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  return itemtool::WriteSampleOldDb((dir / "old_project_small.db").string(), 300, std::cerr);
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
                  WriteOldProjectSeed(root / "fuzz_old_project");
  if (!ok) {
    std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
    return 1;
  }
  return 0;
}
