// Help project files for itemtool: the sample project, writing one, and
// printing the project text of one. The value travels through the property
// class registry, so any property can be read and a wrong one rejected.
#include "Hhp.h"

#include <memory>
#include <new>
#include <ostream>

#include "Dump.h"
#include "Example.h"
#include "serial/BinarySerialIn.h"
#include "serial/SerialFile.h"
#include "serial/SerialStrategies.h"
#include "serial/Streams.h"

namespace itemtool {

namespace {

bool DoProp(Serial::ISerialStream& s, std::unique_ptr<CProp>& prop) {
  Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
  Serial::SerialClassStrategy<CProp> pointer(factory);
  return Serial::AutoPtrSerialStrategy<CProp>(pointer).Do(s, prop);
}

CWindowEntry SampleWindow() {
  CWindowEntry window;
  window.WindowType = u"main";
  window.TitleBarText = u"Sample Help";
  window.TOCFile = u"sample.hhc";
  window.IndexFile = u"sample.hhk";
  window.HomeFile = u"intro.htm";
  window.ValidMask =
      CWindowEntry::kNavPaneStyleBit | CWindowEntry::kPositionBit | CWindowEntry::kButtonsShowBit;
  window.NavPaneStyle = 0x2520;
  window.bfButtonsShow = 0x3006;
  window.Position = RECT{10, 20, 810, 620};
  return window;
}

}  // namespace

CHhpInfo BuildSampleHhp() {
  CHhpInfo info;
  info.TargetFile = u"sample.chm";
  info.DefaultWindow = u"main";
  info.Language = 0x409;
  info.IsFullTextSearch = true;
  info.Windows.push_back(SampleWindow());
  info.InitSkippedFields();
  info.Files = {u"intro.htm", u"usage.htm"};
  info.AliasList = {CAliasEntry(10, u"intro.htm"), CAliasEntry(20, u"usage.htm")};
  return info;
}

bool WriteHhp(Serial::ISerialStream& s, const CHhpInfo& info) {
  std::unique_ptr<CProp> prop(new CHhpInfoProp(info));
  return DoProp(s, prop);
}

bool SaveHhpFile(const std::string& path, const CHhpInfo& info, CString& error) {
  return Serial::SaveSerialFile(
      CString::FromUtf8(path), kExampleGzipLevel,
      [&info](Serial::ISerialStream& s) { return WriteHhp(s, info); }, error);
}

int PrintHhpFile(const std::string& path, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Serial::GZFileStreamIn> in = OpenSerialFile(path, err);
  if (!in) return kExitUnreadable;
  std::unique_ptr<CProp> prop;
  bool ok = false;
  try {
    Serial::Binary::BinarySerialIn reader(*in);
    ok = DoProp(reader, prop);
  } catch (const Serial::Exceptions::FormatIO&) {
    ok = false;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!CheckWholeFile(*in, path, err)) return kExitMalformed;
  const auto* hhp = ok ? dynamic_cast<const CHhpInfoProp*>(prop.get()) : nullptr;
  if (!hhp) {
    err << "itemtool: " << path << ": not a help project file\n";
    return kExitMalformed;
  }
  out << hhp->Get().ToString().ToUtf8();
  out.flush();
  if (!out) {
    err << "itemtool: cannot write the output\n";
    return kExitUnreadable;
  }
  return kExitOk;
}

}  // namespace itemtool
