// The scheme version: its text form and its four header nodes.
#include "serial/VersionInfo.h"

#include "serial/SerialDo.h"

namespace Serial {

VersionInfo VersionInfo::FromString(const CString& text) {
  unsigned int parts[4] = {1, 0, 0, 0};
  // Like "%d.%d.%d.%d" scanning: stop at the first part that is not a number.
  const char16_t* p = text.GetString();
  for (unsigned int& part : parts) {
    while (*p == u' ' || *p == u'\t') ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
    if (*p < u'0' || *p > u'9') break;
    unsigned int value = 0;
    while (*p >= u'0' && *p <= u'9') value = value * 10 + static_cast<unsigned int>(*p++ - u'0');
    part = negative ? 0u - value : value;
    if (*p != u'.') break;
    ++p;
  }
  return VersionInfo(parts[0], parts[1], parts[2], parts[3]);
}

CString VersionInfo::ToString() const {
  CString text;
  if (SubBuild != 0) {
    text.Format(u"%d.%d.%d.%d", Major, Minor, Build, SubBuild);
  } else {
    text.Format(u"%d.%d.%d", Major, Minor, Build);
  }
  return text;
}

bool VersionInfo::Do(ISerialStream& s) {
  unsigned int* const members[] = {&Major, &Minor, &Build, &SubBuild};
  static const char16_t* const kNames[] = {u"Major", u"Minor", u"Build", u"SubBuild"};
  for (int i = 0; i < 4; ++i) {
    if (s.EnterNode(NodeName(kNames[i]))) {
      Serial::Do(s, *members[i]);
      s.LeaveNode();
    }
  }
  return true;
}

}  // namespace Serial
