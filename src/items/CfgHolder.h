// Configuration inheritance: settings are properties in the configuration
// containers of items and apply to the whole subtree below the item that
// stores them. CCfgHolder is the gateway that every setting accessor uses;
// CParentSubstituter shows one item as if alone in the project; CPropHelper
// reads translation properties with a language fallback.
#pragma once

#include <vector>

#include "items/ResItem.h"

class CCfgHolder {
 public:
  static constexpr int DefaultItemType = 5555556;

  // The process-wide item whose configuration holds defaults; it supplies
  // settings only where a caller attaches it above a project root.
  class CDefaultResItem : public CResItem {
   public:
    CDefaultResItem();
    ~CDefaultResItem() override;
  };
  static CDefaultResItem DefaultItem;

  // One match of a prefix query; `value` belongs to the container it is in.
  struct CPropItem {
    CString name;
    int level;
    const CProp* value;
  };

  // The first configuration container holding `name`, from the item up to
  // the root (only the item itself when `inherit` is false); null if none.
  static const CProp* GetPropW(const CResItem& item, const CPropName& name, bool inherit);
  // Stores `value` (ownership passes) on the item, which announces it.
  static void SetPropW(CResItem& item, const CPropName& name, CProp* value);
  // Deletes the item's own value of `name`; ancestors keep theirs.
  static void DeleteProp(CResItem& item, const CPropName& name);
  static CPropContainer& GetDefaultCfg() { return DefaultItem.GetCfgProps(); }
  // True when the item or an ancestor is a default item.
  static bool IsDefaultAttached(const CResItem& item);
  // Appends every setting of the item whose key is longer than `prefix` and
  // starts with it, in key order, with the given level.
  static void GetPropsByPrefix(const CResItem& item, std::vector<CPropItem>& out,
                               const CString& prefix, int level);
  // The item's matches at level 1, its parent's at -1, the grandparent's at
  // -2, up to the root.
  static std::vector<CPropItem> GetPropsByPrefixOrdered(const CResItem& item,
                                                        const CString& prefix);
};

// For its lifetime, hangs `item` below copies of its ancestors (fields and
// settings, no other children), so that inherited settings read as before
// while no sibling is reachable. The event server is locked meanwhile; at the
// end the item returns to its place among its siblings. When the constructor
// throws (a copy fails), the item stays where it was and the server unlocked.
class CParentSubstituter {
 public:
  explicit CParentSubstituter(CResItem& item);
  virtual ~CParentSubstituter();
  CParentSubstituter(const CParentSubstituter&) = delete;
  CParentSubstituter& operator=(const CParentSubstituter&) = delete;

  CResItem* GetItem() { return item_; }
  // The topmost ancestor as the item stands now; the item when it has none.
  CResItem* GetTopParent() const;
  // The number of ancestors as the item stands now.
  int GetItemLevel() const;

 private:
  // Puts the real parent's children back as they were, the item among them.
  void RestoreSiblings();

  CResItem* realParent_;
  std::vector<CResItem*> savedChildren_;
  CResItem* item_;
};

// Properties of an item's translations, by language with fallbacks.
class CPropHelper {
 public:
  static bool HasTransProp(const CResItem* item, const CPropName& name);
  static const CProp* GetTransProp(const CResItem* item, const CPropName& name, int lang);
  // The translation under `lang`, then under the fallback's language with
  // lang's brand, then lang's language with the fallback's brand, then the
  // fallback itself: the first that holds the property.
  static const CProp* GetTransProp(const CResItem* item, const CPropName& name, int lang,
                                   int fallback);
  // As GetTransProp, but null when the value found is the fallback's own.
  static const CProp* GetTransPropTgt(const CResItem* item, const CPropName& name, int lang,
                                      int fallback);
  static int GetTransPropInt(const CResItem* item, const CPropName& name, int lang, int fallback);
  static CString GetTransPropStr(const CResItem* item, const CPropName& name, int lang,
                                 int fallback);
  static const std::vector<unsigned char>& GetTransPropData(const CResItem* item,
                                                            const CPropName& name, int lang,
                                                            int fallback);
  // Stores `value` (ownership passes) on the translation under `lang`,
  // creating the translation when there is none.
  static void SetTransProp(CResItem* item, const CPropName& name, CProp* value, int lang);
  // Hands the property back to the caller, or null.
  static CProp* RemoveTransProp(CResItem* item, const CPropName& name, int lang);
};
