// stats, check and pseudo as a user runs them: the printed statistics, the
// exit status of check, and a pseudo-translated project that checks clean.
#include <gtest/gtest.h>

#include <sstream>

#include "Insight.h"
#include "exchange/ExchangeTestUtil.h"
#include "serial/SerialTestUtil.h"

namespace {

int Insight(const std::string& command, const std::vector<std::string>& args,
            std::string* printed = nullptr) {
  std::ostringstream out, err;
  const int status = itemtool::RunInsightCommand(command, args, out, err);
  if (printed != nullptr) *printed = out.str();
  return status;
}

}  // namespace

TEST(InsightCommand, StatsCheckAndPseudo) {
  const std::string project = testutil::TempPath("insight-project.gz");
  CString error;
  ASSERT_TRUE(::SaveProjectFile(CString::FromUtf8(project), *exchange_test::Project(), 6, error));
  std::string printed;
  ASSERT_EQ(Insight("stats", {project, "--lang", "de-DE", "--by-file"}, &printed), 0);
  EXPECT_EQ(printed,
            "de-DE (0x0407): 80.0% translated by words\n"
            "                      units        words   characters\n"
            "  translated              3            4           20\n"
            "  untranslated            1            1            7\n"
            "  total                   4            5           27\n"
            "  file #2:@app.exe: 66.7%, units 2 of 3, words 2 of 3, characters 7 of 14\n"
            "  file #2:@res.dll: 100.0%, units 1 of 1, words 2 of 2, characters 13 of 13\n");
  ASSERT_EQ(Insight("stats", {project, "--json"}, &printed), 0);
  EXPECT_NE(printed.find("\"lang\": \"ja-JP\", \"id\": 1041, \"source\": 1033, \"units\": 4, "
                         "\"translated\": 0"),
            std::string::npos)
      << printed;
  // "OK" is its own source: identical.
  ASSERT_EQ(Insight("check", {project, "--lang", "de-DE"}, &printed), 1);
  EXPECT_EQ(printed,
            "de-DE\t#2:@app.exe/#5:#101/#6:#1\tidentical\tthe translation is the source text\n");

  const std::string pseudo = testutil::TempPath("insight-pseudo.gz");
  ASSERT_EQ(Insight("pseudo", {project, "--lang", "ja", "--expand", "50", "-o", pseudo}), 0);
  EXPECT_EQ(Insight("check", {pseudo, "--lang", "ja-JP", "--json"}, &printed), 0);
  EXPECT_EQ(printed, "{\"findings\": [], \"count\": 0}\n");

  EXPECT_EQ(Insight("pseudo", {project, "--lang", "fr-FR"}), 2);  // not selected
  EXPECT_EQ(Insight("pseudo", {project, "--lang", "ja", "--expand", "-1"}), 2);
  EXPECT_EQ(Insight("check", {"/nonexistent.gz"}), 2);
}
