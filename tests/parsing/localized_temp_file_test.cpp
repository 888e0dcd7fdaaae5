// Localized-file requests and parse parameters: their defaults, their gzip
// serial files with the ancestor chain of the file item, tolerance of absent
// nodes, and that the project tree is whole again afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "items/CfgHolder.h"
#include "items/ResItem.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/Streams.h"
#include "parsing/LocalizedTempFile.h"
#include "parsing/ParseParams.h"

namespace {

CString TempPath(const std::string& name) {
  const char* dir = std::getenv("ITEMLIB_TEST_TMP");
  return CString::FromUtf8(std::string(dir ? dir : "/tmp") + "/" + name);
}

CResItem* NewItem(int type, const char16_t* resId) {
  auto* item = new CResItem();
  item->SetType(type);
  item->SetResId(resId);
  return item;
}

// root (with a setting) > folder > {sibling, file > dialog}.
struct Project {
  Project() : root(NewItem(1, u"root")) {
    CCfgHolder::SetPropW(*root, u"OutputDir", new CStrProp(u"out"));
    folder = NewItem(2, u"folder");
    root->AddResItem(folder);
    sibling = NewItem(3, u"sibling");
    folder->AddResItem(sibling);
    file = NewItem(3, u"file");
    auto* trans = new CTransItem(0x407);
    trans->SetStr(u"Datei");
    file->AddTransItem(trans);
    folder->AddResItem(file);
    file->AddResItem(NewItem(5, u"dialog"));
  }
  // The shape every test expects to find again.
  void ExpectWhole() const {
    ASSERT_EQ(root->GetResItems(), std::vector<CResItem*>{folder});
    EXPECT_EQ(folder->GetResItems(), (std::vector<CResItem*>{sibling, file}));
    EXPECT_EQ(file->GetParent(), folder);
    EXPECT_EQ(folder->GetParent(), root.get());
  }

  std::unique_ptr<CResItem> root;
  CResItem* folder;
  CResItem* sibling;
  CResItem* file;
};

// The chain below `top` as resource ids along the first-child line.
std::string Chain(const CResItem* top) {
  std::string chain;
  for (const CResItem* item = top; item;
       item = item->GetResItems().empty() ? nullptr : item->GetResItems().front()) {
    chain += (chain.empty() ? "" : ">") + item->GetResId().ToUtf8();
    if (item->GetResItems().size() > 1) chain += "(+)";
  }
  return chain;
}

// The serialised fields, languages in hex, and the chain below the item.
std::string Fields(const CreateLocalizedTempFile& r) {
  std::ostringstream out;
  out << std::hex << r.fileName.ToUtf8() << '|' << r.originalFileName.ToUtf8() << '|'
      << r.param.nativeLang << '|' << r.param.targetLang << '|' << r.param.projectDir.ToUtf8()
      << '|' << r.param.targetCultureName.ToUtf8() << '|' << r.fileItemLevel << '|'
      << Chain(r.GetItem());
  return out.str();
}

std::string Fields(const CSerialParseFileParam& p) {
  std::ostringstream out;
  out << std::hex << p.parseLang << '|' << p.nativeLang << '|' << p.format << '|'
      << p.fileName.ToUtf8() << '|' << p.useRelative << '|' << p.projectFolder.ToUtf8() << '|'
      << p.isScanForChanges << '|' << p.originalFile.ToUtf8() << '|' << Chain(p.GetItem());
  return out.str();
}

// A stream holding one int node, as an older or partial writer leaves it.
void LoadOneNode(Serial::Binary::BinarySerialTreeIn& tree, const char16_t* name, int value) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    Serial::InNode(writer, name, [&] { return Serial::Do(writer, value); });
  }
  Serial::MemoryStreamIn in(out.data().data(), static_cast<unsigned int>(out.data().size()));
  ASSERT_TRUE(tree.Load(in));
}

TEST(HandOverFiles, AbsentNodesKeepTheDefaults) {
  // An older or partial writer: one node of each kind.
  Serial::Binary::BinarySerialTreeIn tree;
  LoadOneNode(tree, u"tgt_lng", 0x409);
  CCreateLocalizedParam request;
  request.flag = false;
  EXPECT_TRUE(request.Do(tree));
  EXPECT_EQ(request.targetLang, 0x409);
  EXPECT_EQ(request.nativeLang, 7777);
  EXPECT_EQ(request.projectDir + request.targetCultureName, u"####");
  EXPECT_FALSE(request.flag);  // never serialised, so never overwritten

  Serial::Binary::BinarySerialTreeIn parseTree;
  LoadOneNode(parseTree, u"ParseLng", 0x40C);
  CSerialParseFileParam parse;
  EXPECT_TRUE(parse.Do(parseTree));
  EXPECT_EQ(Fields(parse), "40c|1e61|ffffffff||0||0||");
}

TEST(CreateLocalizedTempFile, SaveAndLoadCarryTheAncestorChain) {
  CCreateLocalizedParam param;
  param.nativeLang = 0x409;
  param.targetLang = 0x10407;  // German with brand 1
  param.projectDir = u"C:\\prj";
  param.targetCultureName = u"de-DE";
  const CString path = TempPath("localized.serial.gz");
  const struct {
    bool ofRoot;
    const char* fields;
  } cases[] = {
      {false, "out\\de\\app.exe|app.exe|409|10407|C:\\prj|de-DE|2|root>folder>file>dialog"},
      {true, "out\\de\\app.exe|app.exe|409|10407|C:\\prj|de-DE|0|root>folder(+)>sibling"},
  };
  for (const auto& c : cases) {
    Project project;
    CResItem& item = c.ofRoot ? *project.root : *project.file;
    ASSERT_TRUE(CreateLocalizedTempFile::Save(path, u"out\\de\\app.exe", u"app.exe", item, param));
    project.ExpectWhole();
    Serial::FileStreamIn raw(path);
    unsigned char magic[2] = {0, 0};
    EXPECT_EQ(raw.read(magic, 2), 2u);
    EXPECT_EQ(magic[0] * 256 + magic[1], 0x1F8B);  // gzip, not a plain serial file

    CreateLocalizedTempFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(Fields(loaded), c.fields);
    CResItem* fileCopy = loaded.GetFileItem();
    ASSERT_NE(fileCopy, nullptr);
    EXPECT_EQ(*fileCopy, item);
    const CTransItem* german = fileCopy->GetTranslation(0x407);
    EXPECT_EQ(german ? german->GetStr() : CString(), c.ofRoot ? u"" : u"Datei");
    const CProp* setting = CCfgHolder::GetPropW(*fileCopy, u"OutputDir", true);
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(setting->GetStr(), u"out");  // inherited along the chain

    CreateLocalizedTempFile copy(loaded);  // copying hands the chain over
    EXPECT_EQ(loaded.GetItem(), nullptr);
    EXPECT_EQ(copy.GetFileItem(), fileCopy);
  }
}

TEST(CreateLocalizedTempFile, LoadFailures) {
  const CString path = TempPath("localized_no_item.serial.gz");
  {
    Serial::GZFileStreamOut file(path, 2);
    Serial::Binary::BinarySerialOut writer(file);
    CreateLocalizedTempFile request;
    request.fileName = u"x";
    CString name = request.fileName, original;
    int level = 0;
    Serial::InNode(writer, u"FileName", [&] { return Serial::Do(writer, name); });
    Serial::InNode(writer, u"OriginalFileName", [&] { return Serial::Do(writer, original); });
    Serial::InNode(writer, u"Param", [&] { return request.param.Do(writer); });
    Serial::InNode(writer, u"FileItemLevel", [&] { return Serial::Do(writer, level); });
  }
  CreateLocalizedTempFile loaded;
  EXPECT_FALSE(loaded.Load(path));
  EXPECT_EQ(loaded.fileName, u"x");  // what was read before the gap stays
  EXPECT_EQ(loaded.GetItem(), nullptr);
  EXPECT_FALSE(loaded.Load(TempPath("no_such_file.serial.gz")));
}

TEST(CSerialParseFileParam, BuiltInProcessDetachesAndRestoresTheFileItem) {
  Project project;
  CCommonParseFileParam common;
  common.parseLang = 0x407;
  common.format = 3;
  common.fileName = u"app.exe";
  CParseFileParam param(*project.file, common);
  {
    CSerialParseFileParam serial(param);
    EXPECT_EQ(serial.GetFileItem(), project.file->GetResItems().front());  // the dialog
    EXPECT_EQ(Chain(serial.GetItem()), "root>folder>file>dialog");
    EXPECT_NE(serial.GetItem(), project.root.get());
    EXPECT_NE(project.file->GetParent(), project.folder);
    EXPECT_EQ(project.folder->GetResItems(), std::vector<CResItem*>{project.sibling});
    EXPECT_EQ(serial.parseLang, 0x407);
    EXPECT_EQ(serial.fileName, u"app.exe");

    CSerialParseFileParam moved(serial);  // the substituter moves along
    EXPECT_EQ(serial.GetItem(), nullptr);
    EXPECT_EQ(serial.GetFileItem(), nullptr);
  }
  project.ExpectWhole();
}

TEST(CSerialParseFileParam, GzipRoundTrip) {
  Project project;
  // Without children below the file item, the first-child line ends there.
  std::unique_ptr<CResItem> dialog(project.file->RemoveItem(project.file->GetResItems().front()));
  CParseFileParam param(*project.file);
  param.parseLang = 0x411;
  param.nativeLang = 0x409;
  param.format = 7;
  param.fileName = u"a.rc";
  param.useRelative = true;
  param.projectFolder = u"C:\\prj";
  param.isScanForChanges = true;
  param.originalFile = u"orig.rc";
  const CString path = TempPath("parse.serial.gz");
  {
    CSerialParseFileParam serial(param);
    Serial::GZFileStreamOut file(path, 2);
    Serial::Binary::BinarySerialOut writer(file);
    EXPECT_TRUE(serial.Do(writer));
  }
  project.ExpectWhole();

  CSerialParseFileParam read;
  {
    Serial::GZFileStreamIn file(path);
    Serial::Binary::BinarySerialIn reader(file);
    EXPECT_TRUE(read.Do(reader));
  }
  EXPECT_EQ(Fields(read), "411|409|7|a.rc|1|C:\\prj|1|orig.rc|root>folder>file");
  ASSERT_NE(read.GetFileItem(), nullptr);
  EXPECT_EQ(*read.GetFileItem(), *project.file);
  EXPECT_EQ(read.GetFileItem()->GetParent()->GetParent(), read.GetItem());
}

}  // namespace
