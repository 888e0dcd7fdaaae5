// Localized-file requests and parse parameters: their gzip serial files with
// the ancestor chain of the file item, the defaults an absent node leaves,
// and that the project tree is whole again afterwards. Malformed files and
// byte-exact rewriting are held by the fuzz_localized_file and
// fuzz_parse_params oracles.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "items/ItemTestUtil.h"
#include "parsing/LocalizedTempFile.h"
#include "parsing/ParseParams.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/SerialTestUtil.h"
#include "serial/Streams.h"

namespace {

CString TempPath(const std::string& name) { return CString::FromUtf8(testutil::TempPath(name)); }

// The item tests' root { file { res }, sibling }, with a setting on the root
// and the file translated into German.
struct Project : itemtest::Tree {
  Project() {
    CCfgHolder::SetPropW(*root, u"OutputDir", new CStrProp(u"out"));
    file->AddTransItem(itemtest::NewTrans(0x407, u"Datei"));
  }
  void ExpectWhole() const {
    EXPECT_EQ(root->GetResItems(), (std::vector<CResItem*>{file, sibling}));
    EXPECT_EQ(file->GetParent(), root.get());
  }
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

TEST(CreateLocalizedTempFile, SaveAndLoadCarryTheAncestorChain) {
  CCreateLocalizedParam param;
  param.nativeLang = 0x409;
  param.targetLang = 0x10407;  // German with brand 1
  param.projectDir = u"C:\\prj";
  param.targetCultureName = u"de-DE";
  const CString path = TempPath("localized.serial.gz");
  for (const bool ofRoot : {false, true}) {
    Project project;
    CResItem& item = ofRoot ? *project.root : *project.file;
    ASSERT_TRUE(CreateLocalizedTempFile::Save(path, u"out\\de\\app.exe", u"app.exe", item, param));
    project.ExpectWhole();
    Serial::FileStreamIn raw(path);
    unsigned char magic[2] = {0, 0};
    EXPECT_EQ(raw.read(magic, 2), 2u);
    EXPECT_EQ(magic[0] * 256 + magic[1], 0x1F8B);  // gzip, not a plain serial file

    CreateLocalizedTempFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    std::ostringstream fields;
    fields << std::hex << loaded.fileName.ToUtf8() << '|' << loaded.originalFileName.ToUtf8() << '|'
           << loaded.param.nativeLang << '|' << loaded.param.targetLang << '|'
           << loaded.param.projectDir.ToUtf8() << '|' << loaded.param.targetCultureName.ToUtf8()
           << '|' << loaded.fileItemLevel << '|' << Chain(loaded.GetItem());
    EXPECT_EQ(fields.str(), std::string("out\\de\\app.exe|app.exe|409|10407|C:\\prj|de-DE|") +
                                (ofRoot ? "0|root(+)>file>res" : "1|root>file>res"));
    CResItem* fileCopy = loaded.GetFileItem();
    ASSERT_NE(fileCopy, nullptr);
    EXPECT_EQ(*fileCopy, item);
    const CProp* setting = CCfgHolder::GetPropW(*fileCopy, u"OutputDir", true);
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(setting->GetStr(), u"out");  // inherited along the chain
    CreateLocalizedTempFile copy(loaded);  // copying hands the chain over
    EXPECT_EQ(loaded.GetItem(), nullptr);
    EXPECT_EQ(copy.GetFileItem(), fileCopy);
  }
  EXPECT_FALSE(CreateLocalizedTempFile().Load(TempPath("no_such_file.serial.gz")));
}

TEST(CSerialParseFileParam, DetachesTheFileItemAndCarriesItsChain) {
  Project project;
  CParseFileParam param(*project.file);
  param.parseLang = 0x411;
  param.fileName = u"a.rc";
  param.useRelative = true;
  const CString path = TempPath("parse.serial.gz");
  {
    CSerialParseFileParam serial(param);
    EXPECT_EQ(serial.GetFileItem(), project.res);
    EXPECT_EQ(project.root->GetResItems(), std::vector<CResItem*>{project.sibling});
    Serial::GZFileStreamOut file(path, 2);
    Serial::Binary::BinarySerialOut writer(file);
    EXPECT_TRUE(serial.Do(writer));
  }
  project.ExpectWhole();

  CSerialParseFileParam read;
  Serial::GZFileStreamIn file(path);
  Serial::Binary::BinarySerialIn reader(file);
  EXPECT_TRUE(read.Do(reader));
  EXPECT_EQ(read.parseLang, 0x411);
  EXPECT_EQ(read.nativeLang, CLangId::Undefined);  // the default, written
  EXPECT_EQ(read.fileName, u"a.rc");
  EXPECT_TRUE(read.useRelative);
  EXPECT_EQ(Chain(read.GetItem()), "root>file>res");
  ASSERT_NE(read.GetFileItem(), nullptr);
  EXPECT_EQ(*read.GetFileItem(), *project.res);
}

}  // namespace
