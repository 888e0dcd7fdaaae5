// TEMPORARY: see ProjectFileShim.h.
#include "ProjectFileShim.h"

#include <new>
#include <sstream>

#include "Dump.h"
#include "Project.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

bool SaveProjectFile(const CString& path, const CResItem& root, int level, CString& error) {
  std::unique_ptr<Serial::IStreamOut> file;
  if (level == Serial::kPlainFile) {
    auto plain = std::make_unique<Serial::FileStreamOut>(path);
    file = std::move(plain);
  } else {
    file = std::make_unique<Serial::GZFileStreamOut>(path, level);
  }
  {
    Serial::Binary::BinarySerialOut writer(*file);
    itemtool::WriteProject(writer, const_cast<CResItem&>(root));
  }
  (void)error;
  return true;
}

bool LoadProjectFile(const CString& path, std::unique_ptr<CResItem>& root, CString& error) {
  std::ostringstream err;
  const std::unique_ptr<Serial::IStreamIn> in = itemtool::OpenSerialFile(path.ToUtf8(), err);
  if (!in) {
    error = u"cannot open";
    return false;
  }
  try {
    Serial::Binary::BinarySerialIn reader(*in);
    DoProject(reader, root);
  } catch (const Serial::Exceptions::FormatIO&) {
    root.reset();
  } catch (const std::bad_alloc&) {
    root.reset();
  }
  if (!root) error = u"not a valid project file";
  return root != nullptr;
}
