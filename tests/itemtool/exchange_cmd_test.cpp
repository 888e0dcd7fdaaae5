// export and import as a user runs them: the project file's round trip, and
// our documents through the translators' tools themselves (translate-toolkit
// and GNU gettext; skipped where they are not installed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ExchangeCmd.h"
#include "serial/SerialTestUtil.h"
#include "exchange/ExchangeTestUtil.h"

using testutil::Slurp;
const auto Temp = testutil::TempPath;

namespace {

int Cmd(int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
        const std::vector<std::string>& args, std::string* printed = nullptr) {
  std::ostringstream out, err;
  const int status = command(args, out, err);
  if (printed != nullptr) *printed = out.str();
  return status;
}

std::string SavedProject(const std::string& name) {
  const std::string path = Temp(name);
  CString error;
  EXPECT_TRUE(::SaveProjectFile(CString::FromUtf8(path), *exchange_test::Project(), 6, error));
  return path;
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int Shell(const std::string& command) {
  return std::system(("(" + command + ") >/dev/null 2>&1").c_str());
}

}  // namespace

TEST(ExchangeCommand, RoundTripsKeepTheProjectAndChangeOnlyTargets) {
  using itemtool::ExportCommand;
  using itemtool::ImportCommand;
  for (const char* ext : {".xlf", ".po"}) {
    const std::string project = SavedProject(std::string("exch-project") + ext + ".gz");
    const std::string doc = Temp(std::string("exch-doc") + ext);
    const std::string before = Slurp(project);
    ASSERT_EQ(Cmd(ExportCommand, {project, "--lang", "de-DE", "-o", doc}), 0);
    std::string report;
    ASSERT_EQ(Cmd(ImportCommand, {project, doc}, &report), 0);
    EXPECT_EQ(report, "applied 0, unchanged 3, stale 0, unknown 0, empty 1\n");
    EXPECT_EQ(Slurp(project), before);  // byte for byte

    std::string text = Slurp(doc);
    const std::string from = std::string(ext) == ".po" ? "msgstr \"Info\"" : ">Info<";
    const std::string to = std::string(ext) == ".po" ? "msgstr \"Inhalt\"" : ">Inhalt<";
    text.replace(text.find(from), from.size(), to);
    std::ofstream(doc, std::ios::binary) << text;
    ASSERT_EQ(Cmd(ImportCommand, {project, doc, "--json"}, &report), 0);
    EXPECT_EQ(report.substr(0, 50), "{\"applied\":1,\"unchanged\":2,\"stale\":0,\"unknown\":0,\"");
    const std::string again = Temp(std::string("exch-again") + ext);
    ASSERT_EQ(Cmd(ExportCommand, {project, "--lang", "0x0407", "-o", again}), 0);
    EXPECT_EQ(Slurp(again), text);
  }
  EXPECT_EQ(Cmd(ExportCommand, {"p", "--lang", "de-DE", "-o", "x.txt"}), 2);  // no format
  EXPECT_EQ(Cmd(ImportCommand, {SavedProject("exch-bad.gz"), "/nonexistent.po"}), 2);
}

TEST(ExchangeCommand, TranslatorsToolsReadAndWriteOurDocuments) {
  for (const char* tool : {"pocount", "xliff2po", "po2xliff", "podebug", "msgfmt"}) {
    if (!Have(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  const std::string project = SavedProject("exch-tools.gz");
  const std::string po = Temp("exch-tools.po"), xlf = Temp("exch-tools.xlf");
  ASSERT_EQ(Cmd(itemtool::ExportCommand, {project, "--lang", "de-DE", "-o", po}), 0);
  ASSERT_EQ(Cmd(itemtool::ExportCommand, {project, "--lang", "de-DE", "-o", xlf}), 0);
  EXPECT_EQ(Shell("msgfmt -c -o /dev/null " + po), 0);
  // pocount counts the units and translated units we count: 4 and 3.
  for (const std::string& doc : {po, xlf}) {
    ASSERT_EQ(Shell("pocount --csv " + doc + " > " + doc + ".count"), 0);
    EXPECT_NE(Slurp(doc + ".count").find(",  3, 4, 3, 0, 0, 1, 1, 4, 5"), std::string::npos)
        << Slurp(doc + ".count");
  }
  EXPECT_EQ(Shell("xliff2po " + xlf + " " + xlf + ".po"), 0);
  EXPECT_EQ(Shell("po2xliff " + po + " " + po + ".xlf"), 0);
  EXPECT_NE(Slurp(xlf + ".po").find("msgstr \"Speichern?\""), std::string::npos);
  EXPECT_NE(Slurp(po + ".xlf").find(">Speichern?<"), std::string::npos);
  // A tool rewrites the targets (and fills the empty one); they come back in.
  ASSERT_EQ(Shell("podebug --rewrite=xxx " + po + " " + po + ".debug"), 0);
  std::string report;
  ASSERT_EQ(Cmd(itemtool::ImportCommand, {project, po + ".debug"}, &report), 0);
  EXPECT_EQ(report, "applied 4, unchanged 0, stale 0, unknown 0, empty 0\n");
  ASSERT_EQ(Cmd(itemtool::ExportCommand, {project, "--lang", "de-DE", "-o", po}), 0);
  EXPECT_NE(Slurp(po).find("msgstr \"xxxSpeichern?xxx\""), std::string::npos);
}
