// Saves and loads the project of project_bench (a million resource items,
// five properties and three translations each) through our binary format
// and through the binary archives of Boost.Serialization and cereal, in
// memory and through gzip at the same level, and sets each peer's time and
// size next to ours. `--smoke` shrinks the project a hundredfold and runs
// each case once, for CI.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <boost/archive/binary_iarchive.hpp>
#include <boost/archive/binary_oarchive.hpp>
#include <boost/serialization/binary_object.hpp>
#include <boost/serialization/level.hpp>
#include <boost/serialization/set.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/tracking.hpp>
#include <boost/serialization/vector.hpp>
#include <cereal/archives/binary.hpp>
#include <cereal/types/set.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/vector.hpp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "BenchProject.h"
#include "items/ResItem.h"
#include "items/TransItem.h"
#include "platform/CString.h"
#include "props/Prop.h"
#include "props/PropContainer.h"
#include "props/PropName.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/Streams.h"

// ---- What the peers store ----
//
// The same fields in the same order for both peers, reached through the
// public API only, as an application using them would write it. The walk is
// shared; each library gets the pieces through its own archive, and every
// nested item, translation, name and string goes through the library's own
// dispatch. Neither peer knows our class registry, so a value is a one-byte
// tag of its class and then its content.

namespace peer {

enum class Kind : uint8_t { kEmpty, kString, kInt, kBool, kBinary, kIntVector, kStrSet };

// The variant has no peer encoding: no project item holds one, and a tree
// with one fails loudly rather than being compared on less than it holds.
inline Kind KindOf(const CProp& value) {
  const CPropClass* c = &value.GetPropClass();
  if (c == &CStrProp::classInstance) return Kind::kString;
  if (c == &CIntProp::classInstance) return Kind::kInt;
  if (c == &CBoolProp::classInstance) return Kind::kBool;
  if (c == &CEmptyProp::classInstance) return Kind::kEmpty;
  if (c == &CBinaryProp::classInstance) return Kind::kBinary;
  if (c == &CIntVectorProp::classInstance) return Kind::kIntVector;
  if (c == &CStrSetProp::classInstance) return Kind::kStrSet;
  throw std::runtime_error("a property class without a peer encoding");
}

// Empty values of the tag's class, for the reader to fill.
inline std::unique_ptr<CProp> NewValue(uint8_t tag) {
  switch (static_cast<Kind>(tag)) {
    case Kind::kEmpty: return std::make_unique<CEmptyProp>();
    case Kind::kString: return std::make_unique<CStrProp>(CString());
    case Kind::kInt: return std::make_unique<CIntProp>(0);
    case Kind::kBool: return std::make_unique<CBoolProp>(false);
    case Kind::kBinary: return std::make_unique<CBinaryProp>(std::vector<unsigned char>());
    case Kind::kIntVector: return std::make_unique<CIntVectorProp>(std::vector<int>());
    case Kind::kStrSet: return std::make_unique<CStrSetProp>(std::set<CString>());
  }
  throw std::runtime_error("an unknown property tag");
}

template <typename Put>
void PutValue(Kind kind, const CProp& value, Put& put) {
  switch (kind) {
    case Kind::kEmpty: return;
    case Kind::kString: return put(static_cast<const CStrProp&>(value).value);
    case Kind::kInt: return put(static_cast<const CIntProp&>(value).value);
    case Kind::kBool: return put(static_cast<const CBoolProp&>(value).value);
    case Kind::kBinary: return put(static_cast<const CBinaryProp&>(value).value);
    case Kind::kIntVector: return put(static_cast<const CIntVectorProp&>(value).value);
    case Kind::kStrSet: return put(static_cast<const CStrSetProp&>(value).value);
  }
}

template <typename Get>
void GetValue(Kind kind, CProp& value, Get& get) {
  switch (kind) {
    case Kind::kEmpty: return;
    case Kind::kString: return get(static_cast<CStrProp&>(value).value);
    case Kind::kInt: return get(static_cast<CIntProp&>(value).value);
    case Kind::kBool: return get(static_cast<CBoolProp&>(value).value);
    case Kind::kBinary: return get(static_cast<CBinaryProp&>(value).value);
    case Kind::kIntVector: return get(static_cast<CIntVectorProp&>(value).value);
    case Kind::kStrSet: return get(static_cast<CStrSetProp&>(value).value);
  }
}

// The one place that knows how a container hands out its entries.
inline std::size_t PropCount(const CPropContainer& props) { return props.GetProps().size(); }

template <typename Fn>
void ForEachProp(const CPropContainer& props, Fn&& fn) {
  for (const auto& entry : props.GetProps()) fn(entry.first, *entry.second);
}

// A name is a number or a key; the public constructors make one or the
// other, and a name with both would not compare equal after a load.
inline CPropName MakeName(int id, const CString& key) {
  return id != CPropName::NoId ? CPropName(static_cast<CPropName::CPropId>(id)) : CPropName(key);
}

template <typename Put>
void SaveProps(const CPropContainer& props, Put& put) {
  const std::size_t count = PropCount(props);
  put(count);
  ForEachProp(props, [&put](const CPropName& name, const CProp& value) {
    const Kind kind = KindOf(value);
    const auto tag = static_cast<uint8_t>(kind);
    put(name);
    put(tag);
    PutValue(kind, value, put);
  });
}

template <typename Get>
void LoadProps(CPropContainer& props, Get& get) {
  std::size_t count = 0;
  get(count);
  for (std::size_t i = 0; i < count; ++i) {
    CPropName name;
    uint8_t tag = 0;
    get(name);
    get(tag);
    std::unique_ptr<CProp> value = NewValue(tag);
    GetValue(static_cast<Kind>(tag), *value, get);
    props.SetPropW(name, value.release());
  }
}

template <typename Put>
void SaveTrans(const CTransItem& trans, Put& put) {
  const int lang = trans.GetLang();
  const int key = trans.GetKey();
  const int status = trans.GetStatus();
  put(lang);
  put(key);
  put(status);
  SaveProps(trans, put);
}

template <typename Get>
void LoadTrans(CTransItem& trans, Get& get) {
  int lang = 0;
  int key = 0;
  int status = 0;
  get(lang);
  get(key);
  get(status);
  trans.SetLang(lang);
  trans.SetKey(key);
  trans.SetStatus(status);
  LoadProps(trans, get);
}

template <typename Put>
void SaveItem(const CResItem& item, Put& put) {
  const int type = item.GetType();
  const int tabNum = item.GetTabNum();
  const int state = item.GetState();
  const std::size_t dataSize = item.GetDataSize();
  put(type);
  put(item.GetComment());
  put(item.GetResId());
  put(tabNum);
  put(state);
  put(dataSize);
  if (dataSize != 0) {
    const std::vector<unsigned char> data(item.GetData(), item.GetData() + dataSize);
    put(data);
  }
  SaveProps(item, put);
  SaveProps(item.GetCfgProps(), put);
  const std::size_t translations = item.GetTransMap().size();
  put(translations);
  for (const auto& entry : item.GetTransMap()) put(*entry.second);
  const std::size_t children = item.GetResItems().size();
  put(children);
  for (const CResItem* child : item.GetResItems()) put(*child);
}

template <typename Get>
void LoadItem(CResItem& item, Get& get) {
  int type = 0;
  CString comment;
  CString resId;
  int tabNum = 0;
  int state = 0;
  std::size_t dataSize = 0;
  get(type);
  get(comment);
  get(resId);
  get(tabNum);
  get(state);
  get(dataSize);
  item.SetType(type);
  item.SetComment(comment);
  item.SetResId(resId);
  item.SetTabNum(tabNum);
  item.SetState(state);
  if (dataSize != 0) {
    std::vector<unsigned char> data;
    get(data);
    if (data.size() != dataSize) throw std::runtime_error("a data block of another size");
    item.SetData(data.data(), static_cast<unsigned int>(data.size()));
  }
  LoadProps(item, get);
  LoadProps(item.GetCfgProps(), get);
  std::size_t translations = 0;
  get(translations);
  for (std::size_t i = 0; i < translations; ++i) {
    auto trans = std::make_unique<CTransItem>(CLangId::Undefined);
    get(*trans);
    if (item.HasTranslation(trans->GetLang())) throw std::runtime_error("a repeated language");
    item.AddTransItem(trans.release());
  }
  std::size_t children = 0;
  get(children);
  for (std::size_t i = 0; i < children; ++i) {
    auto child = std::make_unique<CResItem>();
    get(*child);
    item.AddResItem(child.release());
  }
}

}  // namespace peer

// ---- Boost.Serialization ----
//
// Free functions as the library asks for types it cannot change. The types
// are declared plain values without tracking, the setting its manual gives
// for speed: every object then goes straight to its function.

#define PEER_BOOST_VALUE(T)                                                \
  BOOST_CLASS_IMPLEMENTATION(T, boost::serialization::object_serializable) \
  BOOST_CLASS_TRACKING(T, boost::serialization::track_never)               \
  BOOST_SERIALIZATION_SPLIT_FREE(T)

PEER_BOOST_VALUE(CString)
PEER_BOOST_VALUE(CPropName)
PEER_BOOST_VALUE(CTransItem)
PEER_BOOST_VALUE(CResItem)

namespace boost::serialization {

template <typename Archive>
void save(Archive& ar, const CString& text, unsigned int /*version*/) {
  const std::size_t size = text.view().size();
  ar << size;
  if (size == 0) return;
  const binary_object chars =
      make_binary_object(const_cast<char16_t*>(text.GetString()), size * sizeof(char16_t));
  ar << chars;
}

template <typename Archive>
void load(Archive& ar, CString& text, unsigned int /*version*/) {
  std::size_t size = 0;
  ar >> size;
  text.Empty();
  if (size == 0) return;
  char16_t* units = text.GetBufferSetLength(static_cast<int>(size));
  binary_object chars = make_binary_object(units, size * sizeof(char16_t));
  ar >> chars;
}

template <typename Archive>
void save(Archive& ar, const CPropName& name, unsigned int /*version*/) {
  const int id = name.GetInt();
  ar << id;
  ar << name.GetKey();
}

template <typename Archive>
void load(Archive& ar, CPropName& name, unsigned int /*version*/) {
  int id = 0;
  CString key;
  ar >> id;
  ar >> key;
  name = peer::MakeName(id, key);
}

template <typename Archive>
void save(Archive& ar, const CTransItem& trans, unsigned int /*version*/) {
  auto put = [&ar](const auto& piece) { ar << piece; };
  peer::SaveTrans(trans, put);
}

template <typename Archive>
void load(Archive& ar, CTransItem& trans, unsigned int /*version*/) {
  auto get = [&ar](auto& piece) { ar >> piece; };
  peer::LoadTrans(trans, get);
}

template <typename Archive>
void save(Archive& ar, const CResItem& item, unsigned int /*version*/) {
  auto put = [&ar](const auto& piece) { ar << piece; };
  peer::SaveItem(item, put);
}

template <typename Archive>
void load(Archive& ar, CResItem& item, unsigned int /*version*/) {
  auto get = [&ar](auto& piece) { ar >> piece; };
  peer::LoadItem(item, get);
}

}  // namespace boost::serialization

// ---- cereal ----
//
// Non-member save and load beside the types, where cereal looks for them;
// written for the binary archives only so that they cannot be taken for
// anything of Boost's.

// As cereal stores a std::u16string: a size tag, then the units.
void save(cereal::BinaryOutputArchive& ar, const CString& text) {
  const cereal::size_type size = text.view().size();
  ar(cereal::make_size_tag(size));
  ar(cereal::binary_data(text.GetString(), size * sizeof(char16_t)));
}
void load(cereal::BinaryInputArchive& ar, CString& text) {
  cereal::size_type size = 0;
  ar(cereal::make_size_tag(size));
  text.Empty();
  if (size == 0) return;
  char16_t* units = text.GetBufferSetLength(static_cast<int>(size));
  ar(cereal::binary_data(units, size * sizeof(char16_t)));
}

void save(cereal::BinaryOutputArchive& ar, const CPropName& name) {
  ar(name.GetInt(), name.GetKey());
}

void load(cereal::BinaryInputArchive& ar, CPropName& name) {
  int id = 0;
  CString key;
  ar(id, key);
  name = peer::MakeName(id, key);
}

void save(cereal::BinaryOutputArchive& ar, const CTransItem& trans) {
  auto put = [&ar](const auto& piece) { ar(piece); };
  peer::SaveTrans(trans, put);
}

void load(cereal::BinaryInputArchive& ar, CTransItem& trans) {
  auto get = [&ar](auto& piece) { ar(piece); };
  peer::LoadTrans(trans, get);
}

void save(cereal::BinaryOutputArchive& ar, const CResItem& item) {
  auto put = [&ar](const auto& piece) { ar(piece); };
  peer::SaveItem(item, put);
}

void load(cereal::BinaryInputArchive& ar, CResItem& item) {
  auto get = [&ar](auto& piece) { ar(piece); };
  peer::LoadItem(item, get);
}

namespace {

using bench::CountItems;
using bench::Plan;
using bench::SameProject;
using Bytes = std::vector<unsigned char>;

constexpr unsigned int kGzipLevel = 2;  // as project_bench saves
// What our writer collects before handing bytes on, and what our gzip
// streams give zlib: the peers' streams get the same.
constexpr size_t kBlock = 64 * 1024;
constexpr unsigned int kGzBuffer = 128 * 1024;

bool g_failed = false;  // a save or load gave back other content

void Fail(benchmark::State& state, const std::string& what) {
  g_failed = true;
  state.SkipWithError(what.c_str());
}

// ---- The peers' byte streams ----

// Appends to a byte vector.
class VectorOutBuf : public std::streambuf {
 public:
  explicit VectorOutBuf(Bytes& bytes) : bytes_(bytes) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    bytes_.insert(bytes_.end(), s, s + n);
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      bytes_.push_back(static_cast<unsigned char>(traits_type::to_char_type(c)));
    }
    return traits_type::not_eof(c);
  }

 private:
  Bytes& bytes_;
};

// Reads bytes in place.
class SpanInBuf : public std::streambuf {
 public:
  explicit SpanInBuf(const Bytes& bytes) {
    char* begin = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    setg(begin, begin, begin + bytes.size());
  }
};

// Writes a gzip file, a block at a time.
class GzOutBuf : public std::streambuf {
 public:
  explicit GzOutBuf(const std::string& path) : buffer_(kBlock) {
    const std::string mode = "wb" + std::to_string(kGzipLevel);
    file_ = gzopen(path.c_str(), mode.c_str());
    if (file_) gzbuffer(file_, kGzBuffer);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }
  ~GzOutBuf() override { Close(); }
  GzOutBuf(const GzOutBuf&) = delete;
  GzOutBuf& operator=(const GzOutBuf&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // Writes what is left and closes the file; false when any write failed.
  bool Close() {
    if (!file_) return false;
    Drain();
    ok_ = gzclose(file_) == Z_OK && ok_;
    file_ = nullptr;
    return ok_;
  }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const int n = static_cast<int>(pptr() - pbase());
    if (n > 0 && (!file_ || gzwrite(file_, pbase(), static_cast<unsigned int>(n)) != n)) {
      ok_ = false;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return ok_;
  }

  std::vector<char> buffer_;
  gzFile file_ = nullptr;
  bool ok_ = true;
};

// Reads a gzip file, a block at a time.
class GzInBuf : public std::streambuf {
 public:
  explicit GzInBuf(const std::string& path) : buffer_(kBlock) {
    file_ = gzopen(path.c_str(), "rb");
    if (file_) gzbuffer(file_, kGzBuffer);
  }
  ~GzInBuf() override {
    if (file_) gzclose(file_);
  }
  GzInBuf(const GzInBuf&) = delete;
  GzInBuf& operator=(const GzInBuf&) = delete;

  bool IsOpen() const { return file_ != nullptr; }

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!file_) return traits_type::eof();
    const int n = gzread(file_, buffer_.data(), static_cast<unsigned int>(buffer_.size()));
    if (n <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::vector<char> buffer_;
  gzFile file_ = nullptr;
};

// ---- The three formats ----

// One way to save and load the project. Loads give null, or throw, when
// the bytes do not hold a project.
struct Format {
  const char* name;
  void (*writeMemory)(std::unique_ptr<CResItem>& root, Bytes& out);
  std::unique_ptr<CResItem> (*readMemory)(const Bytes& in);
  bool (*writeGzip)(std::unique_ptr<CResItem>& root, const std::string& path);
  std::unique_ptr<CResItem> (*readGzip)(const std::string& path);
  bool floor;  // not a peer: what no reader or writer of the tree can beat
};

// Ours, exactly as project_bench saves and loads.
void OursWriteMemory(std::unique_ptr<CResItem>& root, Bytes& out) {
  Serial::MemoryStreamOut stream(std::move(out));  // written over: the last round's pages
  {
    Serial::Binary::BinarySerialOut writer(stream);
    DoProject(writer, root);
  }
  out = stream.Take();
}

std::unique_ptr<CResItem> OursLoad(Serial::IStreamIn& stream) {
  Serial::Binary::BinarySerialIn reader(stream);
  std::unique_ptr<CResItem> root;
  if (!DoProject(reader, root)) return nullptr;
  reader.LeaveNode();
  return root;
}

std::unique_ptr<CResItem> OursReadMemory(const Bytes& in) {
  Serial::MemoryStreamIn stream(in.data(), static_cast<unsigned int>(in.size()));
  return OursLoad(stream);
}

bool OursWriteGzip(std::unique_ptr<CResItem>& root, const std::string& path) {
  Serial::GZFileStreamOut file(CString::FromUtf8(path), kGzipLevel);
  if (!file.IsOpen()) return false;
  Serial::Binary::BinarySerialOut writer(file);
  DoProject(writer, root);
  return true;
}

std::unique_ptr<CResItem> OursReadGzip(const std::string& path) {
  Serial::GZFileStreamIn file(CString::FromUtf8(path));
  if (!file.IsOpen()) return nullptr;
  return OursLoad(file);
}

void BoostSave(const CResItem& root, std::streambuf& bytes) {
  boost::archive::binary_oarchive ar(bytes);
  ar << root;
}

std::unique_ptr<CResItem> BoostLoad(std::streambuf& bytes) {
  boost::archive::binary_iarchive ar(bytes);
  auto root = std::make_unique<CResItem>();
  ar >> *root;
  return root;
}

void CerealSave(const CResItem& root, std::streambuf& bytes) {
  std::ostream stream(&bytes);
  cereal::BinaryOutputArchive ar(stream);
  ar(root);
}

std::unique_ptr<CResItem> CerealLoad(std::streambuf& bytes) {
  std::istream stream(&bytes);
  cereal::BinaryInputArchive ar(stream);
  auto root = std::make_unique<CResItem>();
  ar(*root);
  return root;
}

using PeerSave = void (*)(const CResItem&, std::streambuf&);
using PeerLoad = std::unique_ptr<CResItem> (*)(std::streambuf&);

template <PeerSave Save>
void PeerWriteMemory(std::unique_ptr<CResItem>& root, Bytes& out) {
  out.clear();
  VectorOutBuf bytes(out);
  Save(*root, bytes);
}

template <PeerLoad Load>
std::unique_ptr<CResItem> PeerReadMemory(const Bytes& in) {
  SpanInBuf bytes(in);
  return Load(bytes);
}

template <PeerSave Save>
bool PeerWriteGzip(std::unique_ptr<CResItem>& root, const std::string& path) {
  GzOutBuf file(path);
  if (!file.IsOpen()) return false;
  Save(*root, file);
  return file.Close();
}

template <PeerLoad Load>
std::unique_ptr<CResItem> PeerReadGzip(const std::string& path) {
  GzInBuf file(path);
  if (!file.IsOpen()) return nullptr;
  return Load(file);
}

template <PeerSave Save, PeerLoad Load>
constexpr Format MakePeer(const char* name) {
  return {name, PeerWriteMemory<Save>, PeerReadMemory<Load>, PeerWriteGzip<Save>,
          PeerReadGzip<Load>, false};
}

// ---- The floor ----
//
// Writing: a hand-written encoder that walks the tree and puts exactly our
// bytes in place (Prepare checks them byte for byte), with none of the
// stream's generality. Reading: the same tree built from the one in memory
// through the public API, with no bytes parsed at all: the object model's
// own cost. Through gzip, zlib on those bytes is added.

const CResItem* g_source = nullptr;  // what the floor's loads rebuild
Bytes g_header;                      // our header and the start of "Root"

class FloorOut {
 public:
  // Writes over whatever `out` holds and sizes it to the bytes at the end:
  // a buffer kept from the last round is not cleared and filled with zeros
  // again first.
  explicit FloorOut(Bytes& out) : out_(out) {
    if (out_.size() < g_header.size() + (1u << 20)) out_.resize(g_header.size() + (1u << 20));
    at_ = out_.data();
    end_ = at_ + out_.size();
    std::memcpy(at_, g_header.data(), g_header.size());
    at_ += g_header.size();
  }
  // A copy for one function's scope, handed back at its end: a cursor
  // behind a reference would be reloaded after every byte stored.
  explicit FloorOut(FloorOut& outer)
      : out_(outer.out_), at_(outer.at_), end_(outer.end_), home_(&outer) {}
  ~FloorOut() {
    if (home_) {
      home_->at_ = at_;
      home_->end_ = end_;
    }
  }
  FloorOut(const FloorOut&) = delete;
  FloorOut& operator=(const FloorOut&) = delete;
  void Finish() {
    End();
    out_.resize(static_cast<size_t>(at_ - out_.data()));
  }
  void Anon() {
    unsigned char* p = Need(2);
    p[0] = 0x18;
    p[1] = 0x00;
    at_ = p + 2;
  }
  void Node(uint8_t name) {
    unsigned char* p = Need(3);
    p[0] = 0x18;
    p[1] = 0x02;
    p[2] = name;
    at_ = p + 3;
  }
  void Node(const char16_t* name, uint8_t length) {
    unsigned char* p = Need(3 + 2u * length);
    p[0] = 0x18;
    p[1] = 0x01;
    p[2] = length;
    std::memcpy(p + 3, name, 2u * length);
    at_ = p + 3 + 2u * length;
  }
  void End() {
    unsigned char* p = Need(1);
    p[0] = 0x19;
    at_ = p + 1;
  }
  void Field(const void* data, uint32_t size) {
    unsigned char* p = Need(5 + size);
    p[0] = 0x1A;
    std::memcpy(p + 1, &size, 4);
    if (size != 0) std::memcpy(p + 5, data, size);
    at_ = p + 5 + size;
  }
  template <typename T>
  void Fixed(T value) {
    Field(&value, sizeof value);
  }
  void Text(const CString& text) {
    Field(text.GetString(), static_cast<uint32_t>(text.GetLength()) * 2u);
  }

 private:
  // The check stays inline; only the rare growth is a call, so the cursor
  // can live in a register between stores.
  unsigned char* Need(size_t n) {
    if (__builtin_expect(static_cast<size_t>(end_ - at_) >= n, 1)) return at_;
    return Grow(n);
  }
  __attribute__((noinline)) unsigned char* Grow(size_t n) {
    const size_t used = static_cast<size_t>(at_ - out_.data());
    out_.resize(std::max(out_.size() * 2, used + n));
    at_ = out_.data() + used;
    end_ = out_.data() + out_.size();
    return at_;
  }
  Bytes& out_;
  unsigned char* at_;
  unsigned char* end_;
  FloorOut* home_ = nullptr;
};

void FloorProps(FloorOut& outer, const CPropContainer& props) {
  FloorOut o(outer);
  o.Node(1);
  o.Fixed(static_cast<uint32_t>(props.GetProps().size()));
  for (const auto& [name, value] : props.GetProps()) {
    o.Anon();
    o.Anon();
    o.Fixed(static_cast<uint16_t>(name.GetInt()));
    o.Text(name.GetKey());
    o.End();
    o.Anon();
    o.Fixed(uint8_t{0});  // not null
    const Serial::NodeName& className = value->GetPropClass().GetName();
    if (className.GetType() != Serial::NodeName::BYTE) {
      throw std::runtime_error("the floor encodes the byte-named classes only");
    }
    o.Fixed(uint8_t{Serial::NodeName::BYTE});
    o.Fixed(className.GetByteValue());
    switch (peer::KindOf(*value)) {
      case peer::Kind::kEmpty: break;
      case peer::Kind::kString: o.Text(static_cast<const CStrProp&>(*value).value); break;
      case peer::Kind::kInt: o.Fixed(static_cast<const CIntProp&>(*value).value); break;
      case peer::Kind::kBool:
        o.Fixed(static_cast<uint8_t>(static_cast<const CBoolProp&>(*value).value));
        break;
      default: throw std::runtime_error("a class the floor does not encode");
    }
    o.End();
    o.End();
  }
  o.End();
}

void FloorItem(FloorOut& outer, const CResItem& item) {
  FloorOut o(outer);
  o.Anon();
  FloorProps(o, item);
  o.End();
  o.Node(0x65);
  o.Text(item.GetResId());
  o.End();
  o.Node(0x66);
  o.Fixed(item.GetType());
  o.End();
  o.Node(0x67);
  o.Fixed(static_cast<uint32_t>(item.GetResItems().size()));
  for (const CResItem* child : item.GetResItems()) {
    o.Anon();
    o.Fixed(uint8_t{0});
    FloorItem(o, *child);
    o.End();
  }
  o.End();
  o.Node(0x68);
  o.Fixed(static_cast<uint32_t>(item.GetTransMap().size()));
  for (const auto& [lang, trans] : item.GetTransMap()) {
    o.Anon();
    o.Anon();
    o.Fixed(lang);
    o.End();
    o.Anon();
    o.Fixed(uint8_t{0});
    o.Anon();
    FloorProps(o, *trans);
    o.End();
    o.Node(u"Key", 3);
    o.Fixed(trans->GetKey());
    o.End();
    o.Node(u"Lng", 3);
    o.Fixed(trans->GetLang());
    o.End();
    o.Node(u"St", 2);
    o.Fixed(trans->GetStatus());
    o.End();
    o.End();
    o.End();
  }
  o.End();
  o.Node(0x69);
  o.Text(item.GetComment());
  o.End();
  o.Node(0x6A);
  o.Fixed(item.GetTabNum());
  o.End();
  o.Node(0x6B);
  o.Fixed(item.GetState());
  o.End();
  o.Node(0x6C);
  o.Field(item.GetData(), item.GetDataSize());
  o.End();
  o.Node(0x6D);
  FloorProps(o, item.GetCfgProps());
  o.End();
}

void FloorWriteMemory(std::unique_ptr<CResItem>& root, Bytes& out) {
  FloorOut o(out);
  o.Fixed(static_cast<uint8_t>(root ? 0 : 1));
  if (root) FloorItem(o, *root);
  o.Finish();
}

// Fields and containers by copy, then translations and children as a reader
// adds them.
std::unique_ptr<CResItem> FloorBuild(const CResItem& from) {
  auto item = std::make_unique<CResItem>(from);
  for (const auto& entry : from.GetTransMap()) {
    auto trans = std::make_unique<CTransItem>(*entry.second);
    trans->SetKey(entry.second->GetKey());
    item->AddTransItem(trans.release());
  }
  for (const CResItem* child : from.GetResItems()) item->AddResItem(FloorBuild(*child).release());
  return item;
}

std::unique_ptr<CResItem> FloorReadMemory(const Bytes& /*in*/) { return FloorBuild(*g_source); }

bool FloorWriteGzip(std::unique_ptr<CResItem>& root, const std::string& path) {
  thread_local Bytes bytes;
  FloorWriteMemory(root, bytes);
  GzOutBuf file(path);
  if (!file.IsOpen()) return false;
  for (size_t done = 0; done < bytes.size(); done += kBlock) {
    const size_t n = std::min(kBlock, bytes.size() - done);
    file.sputn(reinterpret_cast<const char*>(bytes.data() + done), static_cast<std::streamsize>(n));
  }
  return file.Close();
}

std::unique_ptr<CResItem> FloorReadGzip(const std::string& path) {
  GzInBuf file(path);
  if (!file.IsOpen()) return nullptr;
  std::vector<char> block(kBlock);
  while (file.sgetn(block.data(), static_cast<std::streamsize>(block.size())) > 0) {
  }
  return FloorBuild(*g_source);
}

const Format kFormats[] = {
    {"ours", OursWriteMemory, OursReadMemory, OursWriteGzip, OursReadGzip, false},
    MakePeer<BoostSave, BoostLoad>("boost"),
    MakePeer<CerealSave, CerealLoad>("cereal"),
    {"floor", FloorWriteMemory, FloorReadMemory, FloorWriteGzip, FloorReadGzip, true},
};

// ---- Benchmarks ----

// One format's saved project.
struct Case {
  const Format* format;
  Bytes stream;          // saved to memory: what memory loads read
  std::string gzPath;    // saved through gzip: what gzip loads read
  std::string savePath;  // scratch file of the gzip saves
  uint64_t gzBytes = 0;
};

struct Project {
  Plan plan;
  std::unique_ptr<CResItem> root;
  std::vector<Case> cases;
};

// Frees a loaded project between timed rounds; see bench::KeepFreedPages.
void FreeProject(std::unique_ptr<CResItem>& project) {
  project.reset();
  bench::MergeFreedBlocks();
}

// zlib alone on a format's gzip file: the bytes it holds, or false.
bool Unpack(const std::string& path, size_t expected, Bytes& out) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (!file) return false;
  out.assign(expected + 1, 0);  // one more, to see a longer file
  size_t got = 0;
  for (;;) {
    const size_t room = std::min<size_t>(out.size() - got, size_t{1} << 30);
    if (room == 0) break;
    const int n = gzread(file, out.data() + got, static_cast<unsigned int>(room));
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  gzclose(file);
  out.resize(got);
  return got == expected;
}

std::string Prepare(Project& p, const std::filesystem::path& dir) {
  p.root = bench::BuildProject(p.plan);
  g_source = p.root.get();
  {
    Serial::MemoryStreamOut empty;
    { Serial::Binary::BinarySerialOut writer(empty); }
    g_header = empty.Take();
    g_header.pop_back();
  }
  for (const Format& format : kFormats) {
    Case c;
    c.format = &format;
    c.gzPath = (dir / (std::string(format.name) + ".gz")).string();
    c.savePath = (dir / (std::string(format.name) + ".save.gz")).string();
    try {
      format.writeMemory(p.root, c.stream);
      if (!format.writeGzip(p.root, c.gzPath)) return std::string(format.name) + ": gzip save failed";
    } catch (const std::exception& e) {
      return std::string(format.name) + ": " + e.what();
    }
    std::error_code error;
    c.gzBytes = std::filesystem::file_size(c.gzPath, error);
    Bytes unpacked;
    if (error || !Unpack(c.gzPath, c.stream.size(), unpacked) || unpacked != c.stream) {
      return std::string(format.name) + ": the gzip file does not hold the memory bytes";
    }
    if (format.floor && c.stream != p.cases.front().stream) {
      return std::string(format.name) + ": the straight-line encoder wrote other bytes than ours";
    }
    p.cases.push_back(std::move(c));
  }
  // One load before any timing grows the heap to hold a second project;
  // freed, its pages stay (bench::KeepFreedPages) for every format's loads
  // alike, instead of the first load timed paying for all of them.
  std::unique_ptr<CResItem> warm;
  try {
    warm = p.cases.front().format->readMemory(p.cases.front().stream);
  } catch (const Serial::Exceptions::FormatIO&) {
    return "ours: the reader rejected what the writer wrote";
  }
  if (!warm || !SameProject(*p.root, *warm)) return "ours: loaded another project";
  FreeProject(warm);
  return std::string();
}

void SetFigures(benchmark::State& state, const Project& p, const Case& c, uint64_t stored) {
  const double items = static_cast<double>(p.plan.items);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(p.plan.items));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(c.stream.size()));
  state.counters["bytes_per_item"] = static_cast<double>(stored) / items;
}

// Each save writes into one reused buffer, as project_bench's does. Its
// pages are touched before the timing: a round or two at full size would
// otherwise measure the first touch of a gigabyte, not the writer.
void MemoryWrite(benchmark::State& state, Project* p, Case* c) {
  Bytes out(c->stream.size());
  try {
    for (auto _ : state) c->format->writeMemory(p->root, out);
  } catch (const std::exception& e) {
    Fail(state, e.what());
    return;
  }
  if (out != c->stream) Fail(state, "the save gave other bytes than before");
  SetFigures(state, *p, *c, c->stream.size());
}

void GzipWrite(benchmark::State& state, Project* p, Case* c) {
  try {
    for (auto _ : state) {
      if (!c->format->writeGzip(p->root, c->savePath)) {
        Fail(state, "cannot write the gzip file");
        return;
      }
    }
  } catch (const std::exception& e) {
    Fail(state, e.what());
    return;
  }
  Bytes unpacked;
  if (!Unpack(c->savePath, c->stream.size(), unpacked) || unpacked != c->stream) {
    Fail(state, "the gzip file does not hold the saved bytes");
  }
  SetFigures(state, *p, *c, c->gzBytes);
}

// Freeing the previous round's project is not timed; the last round's is
// compared item by item with the built one.
template <typename ReadFn>
void Read(benchmark::State& state, Project* p, Case* c, uint64_t stored, ReadFn read) {
  std::unique_ptr<CResItem> loaded;
  try {
    for (auto _ : state) {
      state.PauseTiming();
      FreeProject(loaded);
      state.ResumeTiming();
      loaded = read();
      if (!loaded) {
        Fail(state, "the load failed");
        return;
      }
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    Fail(state, "the reader rejected what the writer wrote");
    return;
  } catch (const std::exception& e) {
    Fail(state, std::string("the reader rejected what the writer wrote: ") + e.what());
    return;
  }
  if (!loaded || !SameProject(*p->root, *loaded)) Fail(state, "loaded another project");
  FreeProject(loaded);
  SetFigures(state, *p, *c, stored);
}

void MemoryRead(benchmark::State& state, Project* p, Case* c) {
  Read(state, p, c, c->stream.size(), [c] { return c->format->readMemory(c->stream); });
}

void GzipRead(benchmark::State& state, Project* p, Case* c) {
  Read(state, p, c, c->gzBytes, [c] { return c->format->readGzip(c->gzPath); });
}

// ---- Summary ----

struct Step {
  const char* medium;
  const char* step;
  void (*fn)(benchmark::State&, Project*, Case*);
};

const Step kSteps[] = {{"memory", "write", MemoryWrite},
                       {"memory", "read", MemoryRead},
                       {"gzip", "write", GzipWrite},
                       {"gzip", "read", GzipRead}};

std::string BenchName(const Case& c, const Step& s) {
  return std::string(c.format->name) + "/" + s.medium + "/" + s.step;
}

void PrintSummary(const bench::RecordingReporter& r, const Project& p) {
  const double items = static_cast<double>(p.plan.items);
  std::printf(
      "\nproject: %zu items (root, %zu files, %zu resources), 5 properties and 3 "
      "translations each; gzip level %u\n",
      p.plan.items, p.plan.files, p.plan.items - 1 - p.plan.files, kGzipLevel);
  std::printf(
      "MB/s counts each format's own bytes before compression; bytes/item is what it stores "
      "(after gzip for gzip); vs ours is the peer's time over ours; cpu s is the process's "
      "processor time, which other load on the machine disturbs less\n");
  std::printf("%-7s %-7s %-6s %9s %9s %11s %8s %9s %8s\n", "format", "medium", "step", "seconds",
              "MB/s", "bytes/item", "vs ours", "cpu s", "vs ours");
  std::vector<std::string> targets;
  for (const Step& s : kSteps) {
    const bool gzip = std::strcmp(s.medium, "gzip") == 0;
    const double ours = r.Seconds(BenchName(p.cases[0], s));
    const double oursCpu = r.CpuSeconds(BenchName(p.cases[0], s));
    double fastest = 0;
    const char* fastestName = "";
    for (const Case& c : p.cases) {
      const double seconds = r.Seconds(BenchName(c, s));
      const double cpu = r.CpuSeconds(BenchName(c, s));
      if (seconds <= 0) continue;
      const double stored = gzip ? static_cast<double>(c.gzBytes)
                                 : static_cast<double>(c.stream.size());
      char ratio[16] = "-";
      char cpuRatio[16] = "-";
      if (&c != &p.cases[0] && ours > 0) {
        std::snprintf(ratio, sizeof ratio, "%.2fx", seconds / ours);
        if (oursCpu > 0) std::snprintf(cpuRatio, sizeof cpuRatio, "%.2fx", cpu / oursCpu);
        if (!c.format->floor && (fastest <= 0 || seconds < fastest)) {
          fastest = seconds;
          fastestName = c.format->name;
        }
      }
      std::printf("%-7s %-7s %-6s %9.3f %9.1f %11.1f %8s %9.3f %8s\n", c.format->name, s.medium,
                  s.step, seconds, static_cast<double>(c.stream.size()) / 1e6 / seconds,
                  stored / items, ratio, cpu, cpuRatio);
    }
    // Against Boost: at most 0.8x its time in memory, at most its time for
    // a gzip load. A gzip save is set against zlib alone by project_bench.
    const double boost = r.Seconds(std::string("boost/") + s.medium + "/" + s.step);
    const double floor = r.Seconds(std::string("floor/") + s.medium + "/" + s.step);
    const double limit = !gzip ? 0.8 : std::strcmp(s.step, "read") == 0 ? 1.0 : 0.0;
    if (ours > 0 && fastest > 0 && boost > 0) {
      char verdict[48] = "no target here";
      if (limit > 0) {
        std::snprintf(verdict, sizeof verdict, "%s <= %.1fx",
                      ours <= limit * boost ? "ok" : "MISSED", limit);
      }
      char line[240];
      std::snprintf(line, sizeof line,
                    "%s/%s: ours %.3f s, boost %.3f s (%.2fx, %s), fastest peer %s %.3f s, "
                    "floor %.3f s (ours %.2fx the floor)",
                    s.medium, s.step, ours, boost, ours / boost, verdict, fastestName, fastest,
                    floor, floor > 0 ? ours / floor : 0.0);
      targets.push_back(line);
    }
  }
  const Case* smallest = nullptr;
  for (const Case& c : p.cases) {
    if (&c != &p.cases[0] && !c.format->floor && (!smallest || c.gzBytes < smallest->gzBytes)) {
      smallest = &c;
    }
  }
  if (smallest) {
    char line[160];
    const uint64_t ours = p.cases[0].gzBytes;
    std::snprintf(line, sizeof line,
                  "gzip size: ours %.1f bytes/item, smallest peer %s %.1f bytes/item (%.2fx)  %s",
                  static_cast<double>(ours) / items, smallest->format->name,
                  static_cast<double>(smallest->gzBytes) / items,
                  static_cast<double>(ours) / static_cast<double>(smallest->gzBytes),
                  ours <= smallest->gzBytes ? "ok (<= smallest peer)" : "MISSED (<= smallest peer)");
    targets.push_back(line);
  }
  for (const std::string& line : targets) std::printf("%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const bench::ProjectBenchStart start("peer_bench", argc, argv);
  if (start.status() != 0) return start.status();
  const bool smoke = start.smoke();
  Project project;
  project.plan = start.plan();
  const std::string problem = Prepare(project, start.dir());
  if (!problem.empty()) {
    std::fprintf(stderr, "peer_bench: %s\n", problem.c_str());
    return 1;
  }
  if (CountItems(*project.root) != project.plan.items) {
    std::fprintf(stderr, "peer_bench: built another item count\n");
    return 1;
  }

  // Ours next to its peers in each step, so that they run under the same
  // load.
  for (const Step& s : kSteps) {
    for (Case& c : project.cases) {
      benchmark::internal::Benchmark* b =
          benchmark::RegisterBenchmark(BenchName(c, s).c_str(), s.fn, &project, &c);
      b->Unit(benchmark::kMillisecond)->UseRealTime();
      if (smoke) b->Iterations(1);
    }
  }

  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter, project);
  benchmark::Shutdown();
  if (g_failed) {
    std::fprintf(stderr, "peer_bench: a project did not save or load as it must\n");
    return 1;
  }
  return 0;
}
