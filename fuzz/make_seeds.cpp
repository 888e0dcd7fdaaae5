// Writes the seed corpora of the fuzzers: well-formed streams of the graph
// they read, plus deep and oddly named trees for the tree loader, so that a
// short smoke run already starts past the header checks.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FuzzGraph.h"
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

bool WriteSeeds(const std::filesystem::path& dir, const std::vector<Seed>& seeds) {
  std::filesystem::create_directories(dir);
  bool ok = true;
  for (const Seed& seed : seeds) ok = WriteSeed(dir, seed.name, seed.body, seed.version) && ok;
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
                  WriteSeeds(root / "fuzz_serial_tree_in", treeSeeds);
  if (!ok) {
    std::fprintf(stderr, "make_seeds: cannot write below %s\n", argv[1]);
    return 1;
  }
  return 0;
}
