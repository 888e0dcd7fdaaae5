// The settings of an HTML Help project (the .hhp file the help compiler reads):
// its options, window types, merged files, topic files and context-id aliases,
// kept as a value that serialises, lives in an item property and renders back
// as project text.
#pragma once

#include <vector>

#include "platform/CString.h"
#include "platform/WinTypes.h"
#include "props/Prop.h"
#include "serial/ISerialStream.h"

// One window type of the [WINDOWS] section. The numeric members follow the
// help API's window-type structure; a bit of `ValidMask` says which of them
// hold a value (NotifyId is always written).
struct CWindowEntry {
  // Presence bits of ValidMask, as the help API numbers them.
  static constexpr int kNavPaneStyleBit = 0x2;
  static constexpr int kStyleBit = 0x4;
  static constexpr int kStyleExBit = 0x8;
  static constexpr int kPositionBit = 0x10;
  static constexpr int kWidthBit = 0x20;
  static constexpr int kShowStateBit = 0x40;
  static constexpr int kButtonsShowBit = 0x100;
  static constexpr int kIsClosedBit = 0x200;
  static constexpr int kDefaultPaneTabBit = 0x400;
  static constexpr int kDefaultPaneBit = 0x2000;

  int ValidMask = 0;
  CString WindowType;
  CString TitleBarText;
  CString TOCFile;
  CString IndexFile;
  CString DefaultFile;
  CString HomeFile;
  CString Jump1File;
  CString Jump1Text;
  CString Jump2File;
  CString Jump2Text;
  unsigned long NavPaneStyle = 0;
  int Width = 0;
  unsigned long bfButtonsShow = 0;
  RECT Position;
  unsigned long Style = 0;
  unsigned long StyleEx = 0;
  int ShowState = 0;
  unsigned long IsClosed = 0;
  unsigned long DefaultPane = 0;
  unsigned long DefaultPaneTab = 0;
  unsigned long NotifyId = 0;

  bool operator==(const CWindowEntry& other) const;
  bool operator!=(const CWindowEntry& other) const { return !(*this == other); }

  // Every member as its own node named like it, in declared order; a node
  // absent on reading leaves the member as it is. Always true.
  bool Do(Serial::ISerialStream& s);
  // The window's [WINDOWS] line, without line break.
  CString ToString() const;

  // Appends ","; then `value` in double quotes unless it is empty.
  static void AddStr(CString& line, const CString& value);
  // Appends ","; then, if `present`, `value` as "0x%X".
  static void AddInt(CString& line, int value, bool present);
  // Appends ","; then, if `present`, "[left,top,right,bottom]" in decimal.
  static void AddRect(CString& line, const RECT& rect, bool present);
};

// A context id and the topic file it maps to.
struct CAliasEntry {
  CAliasEntry() = default;
  CAliasEntry(unsigned long id_, const CString& val_) : id(id_), val(val_) {}

  unsigned long id = 0;
  CString val;

  bool operator==(const CAliasEntry& other) const { return id == other.id && val == other.val; }
  bool operator!=(const CAliasEntry& other) const { return !(*this == other); }
  // Nodes "id" then "val"; always true.
  bool Do(Serial::ISerialStream& s);
};

// The help project. Reading a project file into this value is a parser's
// business; the library only stores, completes and renders it.
struct CHhpInfo {
  unsigned long Version = 0;
  bool AutoIndex = true;
  int AutoTOC = 0;
  bool CreateCHI = false;
  CString TargetFile = u"out.chm";
  CString ErrorLogFile = u"error.log";
  CString ContentsFile;
  CString IndexFile;
  CString DefaultTopic;
  CString Title;
  unsigned long lcid = 0;
  int Language = 0;
  bool IsFullTextSearch = false;
  CString DefaultWindow;
  bool IsBinaryIndex = true;
  bool IsBinaryTOC = false;
  CString DefaultFont;
  std::vector<CWindowEntry> Windows;
  std::vector<CString> MergeList;
  std::vector<CAliasEntry> AliasList;
  std::vector<CString> Files;

  bool operator==(const CHhpInfo& other) const;
  bool operator!=(const CHhpInfo& other) const { return !(*this == other); }
  // A strict order (by serial form) so that property values of this class
  // compare like the others; it means nothing beyond that.
  bool operator<(const CHhpInfo& other) const;

  // Every member as its own node named like it, in declared order; a node
  // absent on reading leaves the member as it is. Always true.
  bool Do(Serial::ISerialStream& s);
  // Fills the empty index, contents, default topic and title from the default
  // window (the last one whose type is DefaultWindow, else the first window).
  void InitSkippedFields();
  // The project file text, lines ended by "\n".
  CString ToString() const;
};

// A help project as an item property, registered as "HhpInfoProp".
ITEMLIB_VALUE_PROP(CHhpInfoProp, CHhpInfo);
