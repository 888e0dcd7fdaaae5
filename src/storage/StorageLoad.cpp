// CStorage's loader: the five row sets of a project database read once each,
// in rowid order, and stitched into the item tree like a merge, with one row
// read ahead per cursor.
#include "storage/Storage.h"

#include <sqlite.h>

#include <memory>
#include <utility>
#include <vector>

#include "items/ItemEvents.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "services/Messaging.h"

namespace {

constexpr int kNoKey = CStorage::NoKey;

constexpr const char* kSelectItems =
    " SELECT rowid, parent_key, binary_key, type, comment, res_id, tab_num, state FROM res_item "
    "ORDER BY rowid ";
constexpr const char* kSelectTrans =
    " SELECT rowid, parent_key, binary_key, type, comment, lang, status, string FROM trans_item "
    "ORDER BY rowid ";
constexpr const char* kSelectBinary = " SELECT rowid, parent_key, num, data FROM binary ORDER BY rowid ";
constexpr const char* kSelectItemProps =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 1 ORDER BY rowid ";
constexpr const char* kSelectTransProps =
    " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, "
    "type_int FROM prop WHERE prop_type = 2 ORDER BY rowid ";

// Column positions shared by both property queries.
enum PropColumn { kPropParent = 1, kPropName, kPropType, kPropBinary, kPropString, kPropValue };

// One row of `query`, or false (the code goes to ProcessError) at its end.
bool Step(sqlite_vm* query, const char**& values) {
  if (!query) return false;
  int columns = 0;
  const char** names = nullptr;
  const int rc = sqlite_step(query, &columns, &values, &names);
  if (rc != SQLITE_ROW) {
    ProcessError(rc);
    return false;
  }
  return true;
}

CString Str(const char* text) {
  CString out;
  LoadStr(text, out, u"");
  return out;
}

}  // namespace

void CStorage::MoveNextBin() {
  chunk_.reset();
  chunkSize_ = 0;
  chunkRowId_ = kNoKey;
  chunkParentKey_ = kNoKey;
  const char** values = nullptr;
  if (!Step(binaryQuery_.get(), values)) return;
  chunkRowId_ = LoadInt(values[0], kNoKey);
  chunkParentKey_ = LoadInt(values[1], kNoKey);
  if (values[3]) chunk_.reset(LoadBinary(values[3], chunkSize_));
}

void CStorage::MoveNextTrans() {
  pendingTrans_.reset();
  pendingTransParentKey_ = kNoKey;
  pendingTransBinaryKey_ = kNoKey;
  const char** values = nullptr;
  if (!Step(transQuery_.get(), values)) return;
  auto trans = std::make_unique<CTransItem>(CLangId::Undefined);
  trans->SetKey(LoadInt(values[0], kNoKey));
  pendingTransParentKey_ = LoadInt(values[1], kNoKey);
  trans->SetLang(LoadInt(values[5], 0));
  trans->SetStatus(LoadInt(values[6], 0));
  pendingTransBinaryKey_ = LoadInt(values[2], kNoKey);
  const CString text = Str(values[7]);
  if (!text.IsEmpty()) trans->SetStr(text);
  pendingTrans_ = std::move(trans);
}

void CStorage::MoveNextProp(sqlite_vm* query, PropCursor& cursor) {
  cursor.present = false;
  cursor.value.reset();
  cursor.parentKey = kNoKey;
  cursor.binaryKey = kNoKey;
  const char** values = nullptr;
  if (!Step(query, values)) return;
  cursor.present = true;
  cursor.name.FromString(Str(values[kPropName]));
  cursor.parentKey = LoadInt(values[kPropParent], kNoKey);
  const int kind = LoadInt(values[kPropType], 0);
  cursor.binaryKey = LoadInt(values[kPropBinary], kNoKey);
  switch (kind) {
    case 1:
      cursor.value = std::make_unique<CStrProp>(Str(values[kPropString]));
      break;
    case 2:
      cursor.value = std::make_unique<CIntProp>(LoadInt(values[kPropValue], -1));
      break;
    case 3:
      cursor.value = std::make_unique<CBinaryProp>(std::vector<unsigned char>());
      break;
    default:
      // No property kind: the row keeps its place (and its chunks are
      // consumed in turn) but stores nothing.
      break;
  }
}

template <typename Owner>
void CStorage::AttachChain(int key, Owner* owner) {
  if (key == kNoKey || chunkRowId_ != key) return;
  do {
    if (owner) owner->AddBinaryBlock(chunk_.get(), chunkSize_);
    MoveNextBin();
  } while (chunkParentKey_ == key);
}

void CStorage::AttachPropChain(PropCursor& cursor) {
  if (cursor.binaryKey == kNoKey) return;
  AttachChain(cursor.binaryKey, dynamic_cast<CBinaryProp*>(cursor.value.get()));
}

CResItem* CStorage::GetNextResItem(int& parentKey, int& key) {
  const char** values = nullptr;
  if (!Step(itemQuery_.get(), values)) return nullptr;
  auto item = std::make_unique<CResItem>();
  const int rowId = LoadInt(values[0], kNoKey);
  key = rowId;
  parentKey = LoadInt(values[1], kNoKey);
  const int binaryKey = LoadInt(values[2], kNoKey);
  item->SetType(LoadInt(values[3], kNoKey));
  item->SetComment(Str(values[4]));
  item->SetResId(Str(values[5]));
  item->SetTabNum(LoadInt(values[6], 0));
  item->SetState(LoadInt(values[7], 0));
  AttachChain(binaryKey, item.get());

  while (itemProp_.present && itemProp_.parentKey == rowId) {
    AttachPropChain(itemProp_);
    if (itemProp_.value) item->SetPropW(itemProp_.name, itemProp_.value.release());
    MoveNextProp(itemPropQuery_.get(), itemProp_);
  }

  while (pendingTrans_ && pendingTransParentKey_ == rowId) {
    AttachChain(pendingTransBinaryKey_, pendingTrans_.get());
    while (transProp_.present && transProp_.parentKey == pendingTrans_->GetKey()) {
      AttachPropChain(transProp_);
      if (transProp_.value) pendingTrans_->SetPropW(transProp_.name, transProp_.value.release());
      MoveNextProp(transPropQuery_.get(), transProp_);
    }
    // Two rows of one language: the later one wins, the earlier is released
    // (the item would otherwise lose track of it).
    delete item->RemoveTransItem(pendingTrans_->GetLang());
    item->AddTransItem(pendingTrans_.release());
    MoveNextTrans();
  }
  return item.release();
}

// The recursion of "each child collects its descendants" unrolled into a path
// of open ancestors, so that a deep chain of items cannot exhaust the stack.
CResItem* CStorage::Fill(CResItem* parent, int parentRowId) {
  std::vector<std::pair<CResItem*, int>> path{{parent, parentRowId}};
  int parentKey = kNoKey;
  int key = kNoKey;
  CResItem* item = GetNextResItem(parentKey, key);
  while (item) {
    while (!path.empty() && path.back().second != parentKey) path.pop_back();
    if (path.empty()) return item;
    path.back().first->AddResItem(item);
    path.emplace_back(item, key);
    item = GetNextResItem(parentKey, key);
  }
  return nullptr;
}

void CStorage::EndLoad() {
  itemQuery_.reset();
  transQuery_.reset();
  binaryQuery_.reset();
  itemPropQuery_.reset();
  transPropQuery_.reset();
  chunk_.reset();
  chunkSize_ = 0;
  chunkRowId_ = kNoKey;
  chunkParentKey_ = kNoKey;
  pendingTrans_.reset();
  pendingTransParentKey_ = kNoKey;
  pendingTransBinaryKey_ = kNoKey;
  itemProp_ = PropCursor();
  transProp_ = PropCursor();
}

CResItem* CStorage::Load() {
  if (!database_) {
    SendToMessagePanel(u"IO error", CMessagePanelMsg::ErrorReport);
    return nullptr;
  }
  const CScopedCaller trans([this] { BeginTrans(); }, [this] { CommitTrans(); });
  const auto compile = [this](const char* sql) {
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    char* error = nullptr;
    ProcessError(sqlite_compile(database_.get(), sql, &tail, &vm, &error));
    ProcessError(error);
    return Query(vm);
  };
  itemQuery_ = compile(kSelectItems);
  transQuery_ = compile(kSelectTrans);
  binaryQuery_ = compile(kSelectBinary);
  itemPropQuery_ = compile(kSelectItemProps);
  transPropQuery_ = compile(kSelectTransProps);
  if (!itemQuery_ || !transQuery_ || !binaryQuery_ || !itemPropQuery_ || !transPropQuery_) {
    SendToMessagePanel(u"IO error", CMessagePanelMsg::ErrorReport);
    EndLoad();
    return nullptr;
  }

  // Read for compatibility only: every version loads the same way.
  int version = 0;
  GetIntVal(database_.get(), GetValSelectString(u"ProjectVersion", u""), version);

  MoveNextBin();
  MoveNextProp(transPropQuery_.get(), transProp_);
  MoveNextTrans();
  MoveNextProp(itemPropQuery_.get(), itemProp_);

  int parentKey = kNoKey;
  int rootKey = kNoKey;
  std::unique_ptr<CResItem> root(GetNextResItem(parentKey, rootKey));
  if (parentKey == kNoKey && root) {
    // The first row that fits no open ancestor ends the load; it is dropped.
    const std::unique_ptr<CResItem> orphan(Fill(root.get(), rootKey));
  }
  EndLoad();
  return root.release();
}
