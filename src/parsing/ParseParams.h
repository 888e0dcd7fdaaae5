// What a file parser is told: the languages, format and paths of one parse,
// either with the live file item (in process) or with a serialisable copy of
// the item's ancestor chain (handed over in a gzip serial file).
#pragma once

#include <memory>

#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/CString.h"
#include "serial/ISerialStream.h"

class CParentSubstituter;

// The parameters every parse shares.
class CCommonParseFileParam {
 public:
  CCommonParseFileParam() = default;
  virtual ~CCommonParseFileParam() = default;
  CCommonParseFileParam(const CCommonParseFileParam&) = default;
  CCommonParseFileParam& operator=(const CCommonParseFileParam&) = default;

  int parseLang = CLangId::Undefined;
  int nativeLang = CLangId::Undefined;
  int format = -1;
  CString fileName;
  bool useRelative = false;
  CString projectFolder;
  bool isScanForChanges = false;
  CString originalFile;

 protected:
  // Nodes "ParseLng", "NtvLng", "iFormat", "filename", "UseRelative",
  // "ProjectFolder", "OriginalFile", "IsScanForChanges" (the last two swapped
  // against the members, as files already written have them). A node absent
  // on reading leaves its member as it is. Always true.
  bool Do(Serial::ISerialStream& s);
};

// A parse in process: the parameters and the live file item, which stays
// the caller's and must outlive this object.
class CParseFileParam : public CCommonParseFileParam {
 public:
  explicit CParseFileParam(CResItem& fileItem) : fileItem_(&fileItem) {}
  CParseFileParam(CResItem& fileItem, const CCommonParseFileParam& common)
      : CCommonParseFileParam(common), fileItem_(&fileItem) {}

  CResItem& GetFileItem() const { return *fileItem_; }

 private:
  CResItem* fileItem_;
};

// A parse handed to another side: the parameters and the top of a chain of
// items whose first-child line ends at the file item. Built from a
// CParseFileParam, the chain is the project's own item hung below copies of
// its ancestors until this object dies; read from a stream, it is owned here.
// Copying hands item and substituter over to the copy.
class CSerialParseFileParam : public CCommonParseFileParam {
 public:
  CSerialParseFileParam();
  // Detaches param's file item below copies of its ancestors; it returns to
  // its place in the project when this object is destroyed.
  explicit CSerialParseFileParam(CParseFileParam& param);
  CSerialParseFileParam(CSerialParseFileParam& other);
  CSerialParseFileParam& operator=(CSerialParseFileParam& other);
  ~CSerialParseFileParam() override;

  // The common members, then the optional node "Item" (null flag, then the
  // item tree). Always true; reading replaces an item read before.
  bool Do(Serial::ISerialStream& s);

  // The deepest item on the first-child line from the top of the chain;
  // null without a chain. Cached.
  CResItem* GetFileItem() const;
  CResItem* GetItem() const { return item_; }

 private:
  // Frees what this object owns: the substituter (which restores the
  // project) or else the item chain.
  void Release();

  CResItem* item_ = nullptr;
  CParentSubstituter* substituter_ = nullptr;
  mutable CResItem* fileItem_ = nullptr;
};
