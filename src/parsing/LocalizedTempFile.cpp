// Saving and loading localized-file requests. The item chain is borrowed from
// a parent substituter while it is written, so ownership is handed back with
// care before the substituter restores the project.
#include "parsing/LocalizedTempFile.h"

#include "items/CfgHolder.h"
#include "parsing/ItemPointer.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

namespace {

constexpr unsigned int kGzipLevel = 2;

}  // namespace

bool CCreateLocalizedParam::Do(Serial::ISerialStream& s) {
  using Serial::InNode;
  InNode(s, u"ntv_lng", [&] { return Serial::Do(s, nativeLang); });
  InNode(s, u"tgt_lng", [&] { return Serial::Do(s, targetLang); });
  InNode(s, u"cProjectDir", [&] { return Serial::Do(s, projectDir); });
  InNode(s, u"cTgtCultureName", [&] { return Serial::Do(s, targetCultureName); });
  return true;
}

CreateLocalizedTempFile::CreateLocalizedTempFile() = default;

CreateLocalizedTempFile::CreateLocalizedTempFile(CreateLocalizedTempFile& other)
    : fileName(other.fileName),
      originalFileName(other.originalFileName),
      param(other.param),
      item(std::move(other.item)),
      fileItemLevel(other.fileItemLevel),
      fileItem_(other.fileItem_) {
  other.fileItem_ = nullptr;
}

CreateLocalizedTempFile& CreateLocalizedTempFile::operator=(CreateLocalizedTempFile& other) {
  if (this == &other) return *this;
  fileName = other.fileName;
  originalFileName = other.originalFileName;
  param = other.param;
  item = std::move(other.item);
  fileItemLevel = other.fileItemLevel;
  fileItem_ = other.fileItem_;
  other.fileItem_ = nullptr;
  return *this;
}

CreateLocalizedTempFile::~CreateLocalizedTempFile() = default;

bool CreateLocalizedTempFile::Save(const CString& path, const CString& fileName,
                                   const CString& originalFileName, CResItem& fileItem,
                                   const CCreateLocalizedParam& param) {
  CParentSubstituter substituter(fileItem);
  CreateLocalizedTempFile request;
  request.fileName = fileName;
  request.originalFileName = originalFileName;
  request.param = param;
  request.fileItemLevel = substituter.GetItemLevel();
  request.item.reset(substituter.GetTopParent());
  bool ok = false;
  try {
    Serial::GZFileStreamOut file(path, kGzipLevel);
    if (file.IsOpen()) {
      Serial::Binary::BinarySerialOut writer(file, Serial::UNDEFINED_SCHEME_VERSION);
      ok = request.Do(writer);
    }
  } catch (...) {
    // The chain belongs to the substituter (or, at level 0, to the caller).
    (void)request.item.release();
    throw;
  }
  (void)request.item.release();
  return ok;
}

bool CreateLocalizedTempFile::Load(const CString& path) {
  fileItem_ = nullptr;
  Serial::GZFileStreamIn file(path);
  try {
    Serial::Binary::BinarySerialIn reader(file);
    return Do(reader);
  } catch (const Serial::Exceptions::FormatIO&) {
    // A missing header or a node out of place: the file is not a request.
    return false;
  }
}

bool CreateLocalizedTempFile::Do(Serial::ISerialStream& s) {
  using Serial::InNode;
  return InNode(s, u"FileName", [&] { return Serial::Do(s, fileName); }) &&
         InNode(s, u"OriginalFileName", [&] { return Serial::Do(s, originalFileName); }) &&
         InNode(s, u"Param", [&] { return param.Do(s); }) &&
         InNode(s, u"FileItemLevel", [&] { return Serial::Do(s, fileItemLevel); }) &&
         InNode(s, u"Item", [&] { return CItemPointerStrategy().Do(s, item); });
}

CResItem* CreateLocalizedTempFile::GetFileItem() const {
  if (fileItem_) return fileItem_;
  CResItem* current = item.get();
  for (int level = 0; current && level < fileItemLevel; ++level) {
    const std::vector<CResItem*>& children = current->GetResItems();
    current = children.empty() ? nullptr : children.front();
  }
  fileItem_ = current;
  return fileItem_;
}
