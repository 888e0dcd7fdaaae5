// Old project databases: converting one into a current project file, and
// writing a sample one. The sample uses the library's own writers for the
// schema and the value store; item rows have no writer in the library, so
// they go in as plain SQL following the schema.
#include "Convert.h"
#include "Project.h"

#include <sqlite.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Dump.h"
#include "config/OldPrjConfig.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "storage/Storage.h"
#include "services/Messaging.h"

namespace itemtool {

namespace {

// Shows the lines of the message panel on a stream while it lives.
class StreamMessager : public IMessager {
 public:
  explicit StreamMessager(std::ostream& err) : err_(err) {
    CMessageProxy::Instance().Register(*this);
  }
  ~StreamMessager() override { CMessageProxy::Instance().Unregister(*this); }
  StreamMessager(const StreamMessager&) = delete;
  StreamMessager& operator=(const StreamMessager&) = delete;

  void OnNotifyMsg(CMgsId id, const void* data) override {
    if (id != MessagePanel || data == nullptr) return;
    err_ << "itemtool: message: " << static_cast<const CMessagePanelMsg*>(data)->text.ToUtf8()
         << '\n';
  }

 private:
  std::ostream& err_;
};

// A bar that advances once per phase. The loader reads its five tables in
// one pass without reporting rows, so a phase is the finest step there is.
class PhaseBar {
 public:
  PhaseBar(std::ostream& err, bool enabled, int phases)
      : err_(err), enabled_(enabled), phases_(phases) {}
  ~PhaseBar() { Finish(); }
  PhaseBar(const PhaseBar&) = delete;
  PhaseBar& operator=(const PhaseBar&) = delete;

  void Enter(const char* phase) {
    if (!enabled_) return;
    constexpr int kWidth = 24;
    const int filled = kWidth * done_ / phases_;
    err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
         << done_ << '/' << phases_ << ' ' << phase << "\033[K" << std::flush;
    ++done_;
    drawn_ = true;
  }
  // Ends the bar's line so that later messages start on their own.
  void Finish() {
    if (!drawn_) return;
    err_ << "\r[" << std::string(24, '#') << "] " << phases_ << '/' << phases_ << " done\033[K\n"
         << std::flush;
    drawn_ = false;
  }

 private:
  std::ostream& err_;
  const bool enabled_;
  const int phases_;
  int done_ = 0;
  bool drawn_ = false;
};

bool FileExists(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

unsigned long long BinaryPropBytes(const CPropContainer& props) {
  unsigned long long bytes = 0;
  for (const auto& entry : props.GetProps()) {
    if (const auto* binary = dynamic_cast<const CBinaryProp*>(entry.second)) {
      bytes += binary->GetData().size();
    }
  }
  return bytes;
}

}  // namespace

unsigned long long CountBinaryBytes(const CResItem& root) {
  unsigned long long bytes = 0;
  std::vector<const CResItem*> pending{&root};
  while (!pending.empty()) {
    const CResItem* item = pending.back();
    pending.pop_back();
    bytes += item->GetDataSize() + BinaryPropBytes(*item);
    for (const auto& entry : item->GetTransMap()) {
      bytes += entry.second->GetDataSize() + BinaryPropBytes(*entry.second);
    }
    for (const CResItem* child : item->GetResItems()) pending.push_back(child);
  }
  return bytes;
}

int ConvertFile(const std::string& oldPath, const std::string& newPath, bool progress,
                std::ostream& out, std::ostream& err) {
  if (!FileExists(oldPath)) {
    err << "itemtool: " << oldPath << ": cannot open\n";
    return kExitUnreadable;
  }
  const CString path = CString::FromUtf8(oldPath);
  if (!IsSQLiteFormat(path)) {
    err << "itemtool: " << oldPath << ": not an SQLite 2 project database\n";
    return kExitMalformed;
  }

  StreamMessager messages(err);
  PhaseBar bar(err, progress, 3);
  std::unique_ptr<CResItem> root;
  {
    bar.Enter("loading items");
    CStorage storage(path);
    if (storage.IsGood()) root.reset(storage.Load());
  }
  if (!root) {
    bar.Finish();
    err << "itemtool: " << oldPath << ": holds no project items\n";
    return kExitMalformed;
  }

  bar.Enter("converting settings");
  COldPrjConfig config;
  config.Load(path);
  const size_t before = root->GetCfgProps().GetProps().size();
  config.Convert(*root);

  ConvertSummary summary;
  summary.info = Summarize(*root);
  summary.binaryBytes = CountBinaryBytes(*root);
  summary.convertedSettings = root->GetCfgProps().GetProps().size() - before;

  bar.Enter("saving");
  CString error;
  const bool saved = SaveProjectFile(CString::FromUtf8(newPath), *root, kProjectGzipLevel, error);
  bar.Finish();
  if (!saved) return CannotWrite(newPath, error, err);
  out << oldPath << " -> " << newPath << ": " << summary.info.items << " items, "
      << summary.info.translations << " translations, " << summary.info.properties
      << " properties, " << summary.binaryBytes << " binary bytes, "
      << summary.convertedSettings << " converted settings\n";
  return kExitOk;
}

namespace {

// A bare connection for the rows the library has no writer for.
class SqlDb {
 public:
  explicit SqlDb(const std::string& path) {
    char* error = nullptr;
    db_ = sqlite_open(path.c_str(), 0, &error);
    Keep(error);
  }
  ~SqlDb() {
    if (db_ != nullptr) sqlite_close(db_);
  }
  SqlDb(const SqlDb&) = delete;
  SqlDb& operator=(const SqlDb&) = delete;

  bool IsGood() const { return db_ != nullptr && error_.empty(); }
  const std::string& Error() const { return error_; }

  // Runs `format` through SQLite's printf (%d, %Q) and returns the new rowid.
  // After the first failure nothing more is run.
  int Exec(const char* format, ...) {
    if (!IsGood()) return CStorage::NoKey;
    va_list args;
    va_start(args, format);
    char* error = nullptr;
    const int rc = sqlite_exec_vprintf(db_, format, nullptr, nullptr, &error, args);
    va_end(args);
    Keep(error);
    if (rc != SQLITE_OK && error_.empty()) error_ = "SQLite error " + std::to_string(rc);
    return sqlite_last_insert_rowid(db_);
  }

 private:
  void Keep(char* error) {
    if (error == nullptr) return;
    if (error_.empty()) error_ = error;
    sqlite_freemem(error);
  }

  sqlite* db_ = nullptr;
  std::string error_;
};

// Property kinds of the PROP table's type column, and its owner kinds.
enum PropKind { kTextProp = 1, kIntProp = 2, kBinaryProp = 3 };
enum PropOwner { kItemProp = 1, kTransProp = 2 };

// Writes one block as a chain of chunks: the first row's rowid is the key
// every later chunk points at.
int InsertChain(SqlDb& db, const unsigned char* data, unsigned int size) {
  if (size == 0) return CStorage::NoKey;
  int key = CStorage::NoKey;
  constexpr unsigned int kChunk = CStorage::MAX_BINARY_SIZE;
  for (unsigned int offset = 0, num = 0; offset < size; offset += kChunk, ++num) {
    const unsigned int length = std::min(size - offset, kChunk);
    const std::unique_ptr<unsigned char[]> text(
        EncodeBinary(data + offset, static_cast<int>(length)));
    const int rowid = db.Exec("INSERT INTO binary ( parent_key, num, data ) VALUES ( %d, %d, %Q )",
                              num == 0 ? CStorage::NoKey : key, static_cast<int>(num),
                              reinterpret_cast<const char*>(text.get()));
    if (num == 0) key = rowid;
  }
  return key;
}

int InsertItem(SqlDb& db, int parent, int binaryKey, int type, const char* resId,
               const char* comment = "") {
  return db.Exec(
      "INSERT INTO res_item ( parent_key, binary_key, type, comment, res_id, tab_num, state ) "
      "VALUES ( %d, %d, %d, %Q, %Q, %d, %d )",
      parent, binaryKey, type, comment, resId, 0, 0);
}

int InsertTrans(SqlDb& db, int parent, int lang, int status, const char* text) {
  return db.Exec(
      "INSERT INTO trans_item ( parent_key, binary_key, type, comment, lang, status, string ) "
      "VALUES ( %d, %d, 0, '', %d, %d, %Q )",
      parent, CStorage::NoKey, lang, status, text);
}

void InsertProp(SqlDb& db, PropOwner owner, int parent, const char16_t* name, PropKind kind,
                const char* text, int value, int binaryKey = CStorage::NoKey) {
  const std::string stored = CPropName(name).ToString().ToUtf8();
  db.Exec(
      "INSERT INTO prop ( parent_key, name, type, binary_key, string, value, prop_type, "
      "type_type, type_str, type_int ) VALUES ( %d, %Q, %d, %d, %Q, %d, %d, 0, '', 0 )",
      parent, stored.c_str(), static_cast<int>(kind), binaryKey, text, value,
      static_cast<int>(owner));
}


// Rows go in the order the loader walks the tree: an item, its data and
// properties, its translations, then its children depth first.
void InsertSampleItems(SqlDb& db, unsigned int blockSize) {
  constexpr int kRoot = CStorage::NoKey;
  db.Exec("begin;");
  const int root = InsertItem(db, kRoot, kRoot, kProjectType, "@Old sample project");
  InsertProp(db, kItemProp, root, u"Author", kTextProp, "localization team", 0);

  // Bytes that need escaping in the encoding (0x00, 0x01, the quote), so the
  // block exercises the codec and not just its fast path.
  std::vector<unsigned char> block(blockSize);
  for (unsigned int i = 0; i < blockSize; ++i) {
    block[i] = static_cast<unsigned char>(i * 7 + i / 251);
  }
  const int blockKey = InsertChain(db, block.data(), blockSize);
  const int app = InsertItem(db, root, blockKey, kFileType, "@app.exe", "Main program");
  InsertProp(db, kItemProp, app, u"AssemblyVersion", kTextProp, "1.2.0.0", 0);

  const unsigned char rect[16] = {0, 0, 0, 0, 0x27, 0, 0, 0, 186, 0, 0, 0, 95, 0, 1, 0};
  const int rectKey = InsertChain(db, rect, sizeof rect);
  const int dialog = InsertItem(db, app, CStorage::NoKey, kDialogType, "#101");
  InsertProp(db, kItemProp, dialog, u"Rect", kBinaryProp, "", 0, rectKey);
  InsertTrans(db, dialog, kEnglish, 2, "About");
  const int about = InsertTrans(db, dialog, kGerman, 1, "Info");
  InsertProp(db, kTransProp, about, u"Reviewed", kIntProp, "", 1);

  const int control = InsertItem(db, dialog, CStorage::NoKey, kControlType, "#1");
  InsertProp(db, kItemProp, control, u"HelpId", kIntProp, "", 4001);
  InsertTrans(db, control, kEnglish, 2, "OK");
  InsertTrans(db, control, kGerman, 1, "OK");

  const int strings = InsertItem(db, app, CStorage::NoKey, kStringType, "@STRINGTABLE");
  const int ready = InsertItem(db, strings, CStorage::NoKey, kStringType, "#200");
  InsertTrans(db, ready, kEnglish, 2, "Ready");
  InsertTrans(db, ready, kGerman, 0, "Bereit");

  const int library = InsertItem(db, root, CStorage::NoKey, kFileType, "@res.dll");
  const int save = InsertItem(db, library, CStorage::NoKey, kStringType, "#300");
  InsertTrans(db, save, kEnglish, 2, "Save changes?");
  InsertTrans(db, save, kGerman, 1, "\xC3\x84nderungen speichern?");
  db.Exec("commit;");
}

// The old settings, as the old option dialogs stored them.
void SetSampleValues(CStorage& storage) {
  storage.SetInt(u"ProjectVersion", CStorage::CurrentVersion);
  storage.SetInt(u"NativeLng", kEnglish);
  // The old list ended at an undefined language; what follows is stale.
  const int selected[] = {kGerman, 0x040C, CLangId::OldUndefined, 0x0411};
  unsigned char bytes[sizeof selected];
  for (size_t i = 0; i < sizeof selected / sizeof *selected; ++i) {
    const auto value = static_cast<uint32_t>(selected[i]);
    for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<unsigned char>(value >> (8 * b));
  }
  storage.SetData(u"SelectedLangs", bytes, sizeof bytes);
  storage.SetInt(u"TargetLng", kGerman);
  storage.SetInt(u"SecondaryLng", CLangId::OldUndefined);
  storage.SetInt(u"RunLocalizedCustom", 1);
  storage.SetStr(u"RunLocalizedCmd", u"$(OutputDir)\\app.exe");
  storage.SetStr(u"RunLocalizedWorkDir", u"$(OutputDir)");
  storage.SetStr(u"RunLocalizedCmdArgs", u"/lang $(CultureName)");
  storage.SetStr(u"CrashFinderDstDir", u"C:\\Crashes");
  storage.SetInt(u"bPEMultipleLangInFile", 1);
  storage.SetInt(u"bCrashFinderAutoStart", 0);
  storage.SetInt(u"bCrashUseTempDir", 0);
  storage.SetInt(u"FuzzyUpdate", 75);
  // "bBorlandUnicode" stays absent: old projects defaulted it to on.
}

}  // namespace

bool WriteSampleOldDb(const std::string& path, unsigned int blockSize, std::ostream& err) {
  // The database is built beside the target and renamed over it when
  // complete, so a failure leaves any file that stood there untouched.
  CAtomicFile file(CString::FromUtf8(path));
  CString error;
  if (file.InPlace()) {
    CannotWrite(path, u"not a regular file", err);
    return false;
  }
  if (!file.Open(error)) {
    CannotWrite(path, error, err);
    return false;
  }
  StreamMessager messages(err);
  {
    CStorage storage(file.WritePath());
    if (!storage.IsGood()) {
      CannotWrite(path, u"cannot create the database", err);
      return false;
    }
    storage.CreateDb();
    SetSampleValues(storage);
  }
  {
    SqlDb db(ToNativePath(file.WritePath()));
    InsertSampleItems(db, blockSize);
    if (!db.IsGood()) {
      CannotWrite(path, CString::FromUtf8(db.Error().empty() ? "cannot open" : db.Error()), err);
      return false;
    }
  }
  if (!file.Commit(error)) {
    CannotWrite(path, error, err);
    return false;
  }
  return true;
}

}  // namespace itemtool
