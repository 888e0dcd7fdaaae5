// The example graph: one node per kind of value (plain numbers, a RECT, a
// string, a string list, a map through strategies, a string variant), plus a
// byte-named and an anonymous node, so that a dump shows every name type.
#include "Example.h"

#include <map>
#include <vector>

#include "platform/CString.h"
#include "platform/Variant.h"
#include "platform/WinTypes.h"
#include "serial/SerialDo.h"
#include "serial/SerialFile.h"
#include "serial/SerialStrategies.h"

namespace itemtool {

void WriteExampleGraph(Serial::ISerialStream& s) {
  s.EnterNode(u"Project");

  CString name(u"Demo \u00e9dition");
  s.EnterNode(u"Name");
  Serial::Do(s, name);
  s.LeaveNode();

  int version = 3;
  s.EnterNode(u"Version");
  Serial::Do(s, version);
  s.LeaveNode();

  tagRECT window;
  window.left = 10;
  window.top = 20;
  window.right = 640;
  window.bottom = 480;
  s.EnterNode(u"Window");
  Serial::Do(s, window);
  s.LeaveNode();

  std::vector<CString> languages = {u"en-US", u"de-DE", u"ja-JP"};
  s.EnterNode(u"Languages");
  Serial::Do(s, languages);
  s.LeaveNode();

  std::map<int, CString> glossary = {{1, u"one"}, {2, u"two"}};
  Serial::DefaultSerialStrategy<int> key;
  Serial::DefaultSerialStrategy<CString> value;
  Serial::PairSerialStrategy<int, CString> pair(key, value);
  Serial::MapSerialStrategy<std::map<int, CString>> map(pair);
  s.EnterNode(u"Glossary");
  map.Do(s, glossary);
  s.LeaveNode();

  _variant_t note(u"Reviewed");
  s.EnterNode(u"Note");
  Serial::Do(s, note);
  s.LeaveNode();

  double ratio = 0.5;
  s.EnterNode(static_cast<unsigned char>(0x01));
  Serial::Do(s, ratio);
  s.LeaveNode();

  bool enabled = true;
  s.EnterNode(Serial::NodeName());
  Serial::Do(s, enabled);
  s.LeaveNode();

  s.LeaveNode();  // Project
}

bool WriteExampleFile(const std::string& path, CString& error) {
  return Serial::SaveSerialFile(CString::FromUtf8(path), kExampleGzipLevel,
                                [](Serial::ISerialStream& s) {
                                  WriteExampleGraph(s);
                                  return true;
                                },
                                error);
}

}  // namespace itemtool
