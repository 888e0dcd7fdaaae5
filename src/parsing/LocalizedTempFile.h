// The request to write a localized file, as the host hands it to the writer
// through a gzip serial file: names, languages, project folder and the file
// item hanging below copies of its ancestors, so that inherited settings
// travel with it.
#pragma once

#include <memory>

#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/CString.h"
#include "serial/ISerialStream.h"

// The languages and folders a localized file is made for.
struct CCreateLocalizedParam {
  int nativeLang = CLangId::Undefined;
  int targetLang = CLangId::Undefined;
  CString projectDir = u"##";
  CString targetCultureName = u"##";
  // The host's own switch; it is copied but never serialised.
  bool flag = true;

  // Nodes "ntv_lng", "tgt_lng", "cProjectDir", "cTgtCultureName"; a node
  // absent on reading leaves its member as it is. Always true.
  bool Do(Serial::ISerialStream& s);
};

// One localized-file request. Owns the top of its item chain; copying hands
// that chain over to the copy, as an owning pointer would.
struct CreateLocalizedTempFile {
  CreateLocalizedTempFile();
  // Takes the item chain over from `other`, which is left without one.
  CreateLocalizedTempFile(CreateLocalizedTempFile& other);
  CreateLocalizedTempFile& operator=(CreateLocalizedTempFile& other);
  ~CreateLocalizedTempFile();

  // Writes a request for `fileItem` to the gzip file `path` (level 2). The
  // file item hangs below copies of its ancestors while it is written and
  // is back in its place, the project unchanged, when Save returns. False
  // when the file cannot be written.
  static bool Save(const CString& path, const CString& fileName, const CString& originalFileName,
                   CResItem& fileItem, const CCreateLocalizedParam& param);
  // Reads a request written by Save. False when the file is missing or
  // damaged or lacks a node; the members read until then stay.
  bool Load(const CString& path);

  // Nodes "FileName", "OriginalFileName", "Param", "FileItemLevel", "Item"
  // (null flag, then the item tree). False as soon as a node is absent on
  // reading or its content fails.
  bool Do(Serial::ISerialStream& s);

  // The item FileItemLevel steps down the first-child line from the top of
  // the chain; null without a chain or when the line is shorter. Cached.
  CResItem* GetFileItem() const;
  CResItem* GetItem() const { return item.get(); }

  CString fileName;
  CString originalFileName;
  CCreateLocalizedParam param;
  std::unique_ptr<CResItem> item;
  int fileItemLevel = 0;

 private:
  mutable CResItem* fileItem_ = nullptr;
};
