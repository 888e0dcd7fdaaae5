// Inherited settings, the parent substitution and translation property
// look-ups with language fallback.
#include "items/CfgHolder.h"

#include <memory>

#include "items/ItemEvents.h"

CCfgHolder::CDefaultResItem::CDefaultResItem() { SetType(DefaultItemType); }

CCfgHolder::CDefaultResItem::~CDefaultResItem() = default;

CCfgHolder::CDefaultResItem CCfgHolder::DefaultItem;

const CProp* CCfgHolder::GetPropW(const CResItem& item, const CPropName& name, bool inherit) {
  for (const CResItem* current = &item; current; current = current->GetParent()) {
    if (const CProp* value = current->GetCfgProps().GetPropW(name)) return value;
    if (!inherit) break;
  }
  return nullptr;
}

void CCfgHolder::SetPropW(CResItem& item, const CPropName& name, CProp* value) {
  item.GetCfgProps().SetPropW(name, value);
}

void CCfgHolder::DeleteProp(CResItem& item, const CPropName& name) {
  delete item.GetCfgProps().RemovePropW(name);
}

bool CCfgHolder::IsDefaultAttached(const CResItem& item) {
  for (const CResItem* current = &item; current; current = current->GetParent()) {
    if (current->GetType() == DefaultItemType) return true;
  }
  return false;
}

void CCfgHolder::GetPropsByPrefix(const CResItem& item, std::vector<CPropItem>& out,
                                  const CString& prefix, int level) {
  const std::u16string_view start = prefix.view();
  for (const auto& entry : item.GetCfgProps().GetProps()) {
    const std::u16string_view key = entry.first.GetKey().view();
    if (key.size() > start.size() && key.compare(0, start.size(), start) == 0) {
      out.push_back(CPropItem{entry.first.GetStr(), level, entry.second});
    }
  }
}

std::vector<CCfgHolder::CPropItem> CCfgHolder::GetPropsByPrefixOrdered(const CResItem& item,
                                                                       const CString& prefix) {
  std::vector<CPropItem> out;
  GetPropsByPrefix(item, out, prefix, 1);
  int level = -1;
  for (const CResItem* current = item.GetParent(); current; current = current->GetParent()) {
    GetPropsByPrefix(*current, out, prefix, level--);
  }
  return out;
}

CParentSubstituter::CParentSubstituter(CResItem& item)
    : realParent_(item.GetParent()), item_(&item) {
  CItemEventServer& events = CItemEventServer::Instance();
  events.SetLock(true);
  if (!realParent_) return;
  try {
    savedChildren_ = realParent_->GetResItems();
    // The copies come first, so that a failure while copying leaves the
    // tree as it was. `bottom` is the copy of the parent, `top` of the root.
    std::unique_ptr<CResItem> top(new CResItem(*realParent_));
    CResItem* const bottom = top.get();
    for (const CResItem* ancestor = realParent_->GetParent(); ancestor;
         ancestor = ancestor->GetParent()) {
      std::unique_ptr<CResItem> copy(new CResItem(*ancestor));
      copy->AddResItem(top.get());
      top.release();  // now owned by `copy`
      top = std::move(copy);
    }
    realParent_->RemoveItem(item_);
    try {
      bottom->AddResItem(item_);
    } catch (...) {
      RestoreSiblings();
      throw;
    }
    top.release();  // the chain is found again through the item
  } catch (...) {
    events.SetLock(false);
    throw;
  }
}

CParentSubstituter::~CParentSubstituter() {
  if (realParent_) {
    CResItem* top = GetTopParent();
    item_->GetParent()->RemoveItem(item_);
    delete top;
    RestoreSiblings();
  }
  CItemEventServer::Instance().SetLock(false);
}

void CParentSubstituter::RestoreSiblings() {
  // The list keeps its capacity when cleared: adding the same children back
  // allocates nothing, so the item always finds its place again.
  realParent_->ClearResItemList();
  for (CResItem* child : savedChildren_) realParent_->AddResItem(child);
}

CResItem* CParentSubstituter::GetTopParent() const {
  CResItem* top = item_;
  while (top->GetParent()) top = top->GetParent();
  return top;
}

int CParentSubstituter::GetItemLevel() const {
  int level = 0;
  for (const CResItem* current = item_->GetParent(); current; current = current->GetParent()) {
    ++level;
  }
  return level;
}

bool CPropHelper::HasTransProp(const CResItem* item, const CPropName& name) {
  for (const auto& entry : item->GetTransMap()) {
    if (entry.second->GetPropW(name)) return true;
  }
  return false;
}

const CProp* CPropHelper::GetTransProp(const CResItem* item, const CPropName& name, int lang) {
  const CTransItem* trans = item->GetTranslation(lang);
  return trans ? trans->GetPropW(name) : nullptr;
}

const CProp* CPropHelper::GetTransProp(const CResItem* item, const CPropName& name, int lang,
                                       int fallback) {
  const CLangId target(lang), source(fallback);
  const int candidates[] = {
      lang,
      CLangId(source.GetRawLng(), target.GetBrand()).GetLang(),
      CLangId(target.GetRawLng(), source.GetBrand()).GetLang(),
      fallback,
  };
  for (int candidate : candidates) {
    if (const CProp* value = GetTransProp(item, name, candidate)) return value;
  }
  return nullptr;
}

const CProp* CPropHelper::GetTransPropTgt(const CResItem* item, const CPropName& name, int lang,
                                          int fallback) {
  const CProp* value = GetTransProp(item, name, lang, fallback);
  return value && value == GetTransProp(item, name, fallback) ? nullptr : value;
}

int CPropHelper::GetTransPropInt(const CResItem* item, const CPropName& name, int lang,
                                 int fallback) {
  const CProp* value = GetTransProp(item, name, lang, fallback);
  return value ? value->GetInt() : 0;
}

CString CPropHelper::GetTransPropStr(const CResItem* item, const CPropName& name, int lang,
                                     int fallback) {
  const CProp* value = GetTransProp(item, name, lang, fallback);
  return value ? value->GetStr() : CString();
}

const std::vector<unsigned char>& CPropHelper::GetTransPropData(const CResItem* item,
                                                                const CPropName& name, int lang,
                                                                int fallback) {
  static const std::vector<unsigned char> empty;
  const CProp* value = GetTransProp(item, name, lang, fallback);
  return value ? value->GetData() : empty;
}

void CPropHelper::SetTransProp(CResItem* item, const CPropName& name, CProp* value, int lang) {
  CMultiOperation group;
  CTransItem* trans = item->GetTranslation(lang);
  if (!trans) {
    trans = new CTransItem(lang);
    item->AddTransItem(trans);
  }
  trans->SetPropW(name, value);
}

CProp* CPropHelper::RemoveTransProp(CResItem* item, const CPropName& name, int lang) {
  CTransItem* trans = item->GetTranslation(lang);
  return trans ? trans->RemovePropW(name) : nullptr;
}
