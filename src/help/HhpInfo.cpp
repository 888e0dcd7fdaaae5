// Serialisation, completion and rendering of help project descriptions. The
// rendered text is what the help compiler is fed, so its lines and their
// order are fixed here and nowhere else.
#include "help/HhpInfo.h"

#include "serial/BinarySerialOut.h"
#include "serial/SerialDo.h"
#include "serial/SerialStrategies.h"
#include "serial/Streams.h"

ITEMLIB_REGISTER_PROP(CHhpInfoProp, u"HhpInfoProp");

namespace {

// One member in its own node; an absent node (tree reader) leaves it as is.
template <typename T>
void DoMember(Serial::ISerialStream& s, const char16_t* name, T& value) {
  Serial::InNode(s, Serial::NodeName(name),
                 [&] { return Serial::DefaultSerialStrategy<T>().Do(s, value); });
}

template <typename T>
void DoVector(Serial::ISerialStream& s, const char16_t* name, std::vector<T>& value) {
  Serial::InNode(s, Serial::NodeName(name), [&] {
    Serial::DefaultSerialStrategy<T> element;
    return Serial::STLContainerSerialStrategy<std::vector<T>, T>(element).Do(s, value);
  });
}

const char16_t* YesNo(bool value) { return value ? u"Yes" : u"No"; }

void AddLine(CString& text, const CString& line) {
  text += line;
  text += u'\n';
}

// "key=value", only when the value is not empty.
void AddOptional(CString& text, const char16_t* key, const CString& value) {
  if (value.IsEmpty()) return;
  text += key;
  text += u'=';
  AddLine(text, value);
}

}  // namespace

bool CWindowEntry::operator==(const CWindowEntry& o) const {
  return ValidMask == o.ValidMask && WindowType == o.WindowType && TitleBarText == o.TitleBarText &&
         TOCFile == o.TOCFile && IndexFile == o.IndexFile && DefaultFile == o.DefaultFile &&
         HomeFile == o.HomeFile && Jump1File == o.Jump1File && Jump1Text == o.Jump1Text &&
         Jump2File == o.Jump2File && Jump2Text == o.Jump2Text && NavPaneStyle == o.NavPaneStyle &&
         Width == o.Width && bfButtonsShow == o.bfButtonsShow && Position == o.Position &&
         Style == o.Style && StyleEx == o.StyleEx && ShowState == o.ShowState &&
         IsClosed == o.IsClosed && DefaultPane == o.DefaultPane &&
         DefaultPaneTab == o.DefaultPaneTab && NotifyId == o.NotifyId;
}

bool CWindowEntry::Do(Serial::ISerialStream& s) {
  DoMember(s, u"ValidMask", ValidMask);
  DoMember(s, u"WindowType", WindowType);
  DoMember(s, u"TitleBarText", TitleBarText);
  DoMember(s, u"TOCFile", TOCFile);
  DoMember(s, u"IndexFile", IndexFile);
  DoMember(s, u"DefaultFile", DefaultFile);
  DoMember(s, u"HomeFile", HomeFile);
  DoMember(s, u"Jump1File", Jump1File);
  DoMember(s, u"Jump1Text", Jump1Text);
  DoMember(s, u"Jump2File", Jump2File);
  DoMember(s, u"Jump2Text", Jump2Text);
  DoMember(s, u"NavPaneStyle", NavPaneStyle);
  DoMember(s, u"Width", Width);
  DoMember(s, u"bfButtonsShow", bfButtonsShow);
  DoMember(s, u"Position", Position);
  DoMember(s, u"Style", Style);
  DoMember(s, u"StyleEx", StyleEx);
  DoMember(s, u"ShowState", ShowState);
  DoMember(s, u"IsClosed", IsClosed);
  DoMember(s, u"DefaultPane", DefaultPane);
  DoMember(s, u"DefaultPaneTab", DefaultPaneTab);
  DoMember(s, u"NotifyId", NotifyId);
  return true;
}

void CWindowEntry::AddStr(CString& line, const CString& value) {
  line += u',';
  if (value.IsEmpty()) return;
  line += u'"';
  line += value;
  line += u'"';
}

void CWindowEntry::AddInt(CString& line, int value, bool present) {
  line += u',';
  if (present) line.AppendFormat(u"0x%X", value);
}

void CWindowEntry::AddRect(CString& line, const RECT& rect, bool present) {
  line += u',';
  if (present) {
    line.AppendFormat(u"[%d,%d,%d,%d]", static_cast<int>(rect.left), static_cast<int>(rect.top),
                      static_cast<int>(rect.right), static_cast<int>(rect.bottom));
  }
}

CString CWindowEntry::ToString() const {
  const auto has = [this](int bit) { return (ValidMask & bit) != 0; };
  // The help API keeps these members as 32-bit DWORDs; the text shows their bits.
  const auto bits = [](unsigned long value) { return static_cast<int>(value); };
  CString line;
  line.Format(u"%s=\"%s\"", WindowType.GetString(), TitleBarText.GetString());
  for (const CString* text : {&TOCFile, &IndexFile, &DefaultFile, &HomeFile, &Jump1File, &Jump1Text,
                              &Jump2File, &Jump2Text}) {
    AddStr(line, *text);
  }
  AddInt(line, bits(NavPaneStyle), has(kNavPaneStyleBit));
  AddInt(line, Width, has(kWidthBit));
  AddInt(line, bits(bfButtonsShow), has(kButtonsShowBit));
  AddRect(line, Position, has(kPositionBit));
  AddInt(line, bits(Style), has(kStyleBit));
  AddInt(line, bits(StyleEx), has(kStyleExBit));
  AddInt(line, ShowState, has(kShowStateBit));
  AddInt(line, bits(IsClosed), has(kIsClosedBit));
  AddInt(line, bits(DefaultPane), has(kDefaultPaneBit));
  AddInt(line, bits(DefaultPaneTab), has(kDefaultPaneTabBit));
  AddInt(line, bits(NotifyId), true);
  return line;
}

bool CAliasEntry::Do(Serial::ISerialStream& s) {
  DoMember(s, u"id", id);
  DoMember(s, u"val", val);
  return true;
}

bool CHhpInfo::operator==(const CHhpInfo& o) const {
  return Version == o.Version && AutoIndex == o.AutoIndex && AutoTOC == o.AutoTOC &&
         CreateCHI == o.CreateCHI && TargetFile == o.TargetFile && ErrorLogFile == o.ErrorLogFile &&
         ContentsFile == o.ContentsFile && IndexFile == o.IndexFile &&
         DefaultTopic == o.DefaultTopic && Title == o.Title && lcid == o.lcid &&
         Language == o.Language && IsFullTextSearch == o.IsFullTextSearch &&
         DefaultWindow == o.DefaultWindow && IsBinaryIndex == o.IsBinaryIndex &&
         IsBinaryTOC == o.IsBinaryTOC && DefaultFont == o.DefaultFont && Windows == o.Windows &&
         MergeList == o.MergeList && AliasList == o.AliasList && Files == o.Files;
}

bool CHhpInfo::operator<(const CHhpInfo& other) const {
  // Every member reaches the serial form unambiguously, so ordering the bytes
  // is a strict order that agrees with ==; nothing sorts these in bulk.
  const auto bytes = [](const CHhpInfo& info) {
    Serial::MemoryStreamOut out;
    {
      Serial::Binary::BinarySerialOut writer(out);
      CHhpInfo copy(info);
      copy.Do(writer);
    }
    return out.Take();
  };
  return bytes(*this) < bytes(other);
}

bool CHhpInfo::Do(Serial::ISerialStream& s) {
  DoMember(s, u"Version", Version);
  DoMember(s, u"AutoIndex", AutoIndex);
  DoMember(s, u"AutoTOC", AutoTOC);
  DoMember(s, u"CreateCHI", CreateCHI);
  DoMember(s, u"TargetFile", TargetFile);
  DoMember(s, u"ErrorLogFile", ErrorLogFile);
  DoMember(s, u"ContentsFile", ContentsFile);
  DoMember(s, u"IndexFile", IndexFile);
  DoMember(s, u"DefaultTopic", DefaultTopic);
  DoMember(s, u"Title", Title);
  DoMember(s, u"lcid", lcid);
  DoMember(s, u"Language", Language);
  DoMember(s, u"IsFullTextSearch", IsFullTextSearch);
  DoMember(s, u"DefaultWindow", DefaultWindow);
  DoMember(s, u"IsBinaryIndex", IsBinaryIndex);
  DoMember(s, u"IsBinaryTOC", IsBinaryTOC);
  DoMember(s, u"DefaultFont", DefaultFont);
  DoVector(s, u"Windows", Windows);
  DoVector(s, u"MergeList", MergeList);
  DoVector(s, u"AliasList", AliasList);
  DoVector(s, u"Files", Files);
  return true;
}

void CHhpInfo::InitSkippedFields() {
  if (Windows.empty()) return;
  const CWindowEntry* window = &Windows.front();
  for (const CWindowEntry& candidate : Windows) {
    if (candidate.WindowType == DefaultWindow) window = &candidate;  // the last match wins
  }
  if (IndexFile.IsEmpty()) IndexFile = window->IndexFile;
  if (ContentsFile.IsEmpty()) ContentsFile = window->TOCFile;
  if (DefaultTopic.IsEmpty()) DefaultTopic = window->HomeFile;
  if (Title.IsEmpty()) Title = window->TitleBarText;
}

CString CHhpInfo::ToString() const {
  CString text;
  CString line;
  AddLine(text, u"[OPTIONS]");
  AddLine(text, u"Display compile progress=Yes");
  AddLine(text, CString(u"Auto Index=") + YesNo(AutoIndex));
  AddLine(text, CString(u"Binary Index=") + YesNo(IsBinaryIndex));
  AddLine(text, CString(u"Binary TOC=") + YesNo(IsBinaryTOC));
  // Version 2 marks a project made for the first help compiler release.
  AddLine(text, CString(u"Compatibility=") + (Version == 2 ? u"1.0" : u"1.1 or later"));
  AddOptional(text, u"Compiled file", TargetFile);
  AddOptional(text, u"Contents file", ContentsFile);
  AddLine(text, CString(u"Create CHI file=") + YesNo(CreateCHI));
  AddOptional(text, u"Default Font", DefaultFont);
  AddOptional(text, u"Default Window", DefaultWindow);
  AddOptional(text, u"Default topic", DefaultTopic);
  AddOptional(text, u"Error log file", ErrorLogFile);
  AddLine(text, CString(u"Full-text search=") + YesNo(IsFullTextSearch));
  AddOptional(text, u"Index file", IndexFile);
  line.Format(u"Language=0x%X", Language);
  AddLine(text, line);
  AddOptional(text, u"Title", Title);
  AddLine(text, CString());

  if (!Windows.empty()) {
    AddLine(text, u"[WINDOWS]");
    for (const CWindowEntry& window : Windows) AddLine(text, window.ToString());
    AddLine(text, CString());
  }
  const auto addList = [&text](const char16_t* header, const std::vector<CString>& entries) {
    if (entries.empty()) return;
    AddLine(text, header);
    for (const CString& entry : entries) AddLine(text, entry);
    AddLine(text, CString());
  };
  addList(u"[MERGE FILES]", MergeList);
  addList(u"[FILES]", Files);
  if (!AliasList.empty()) {
    AddLine(text, u"[ALIAS]");
    for (const CAliasEntry& alias : AliasList) {
      line.Format(u"IDH_%d = %s", static_cast<int>(alias.id), alias.val.GetString());
      AddLine(text, line);
    }
    AddLine(text, CString());
    AddLine(text, u"[MAP]");
    for (const CAliasEntry& alias : AliasList) {
      line.Format(u"#define IDH_%d %d", static_cast<int>(alias.id), static_cast<int>(alias.id));
      AddLine(text, line);
    }
    AddLine(text, CString());
  }
  AddLine(text, CString());
  return text;
}
