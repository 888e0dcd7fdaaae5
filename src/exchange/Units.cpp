// The walk over a project's translation units, their ids, and the language
// texts of exchange documents. Iterative, so that a tree as deep as the
// reader allows needs no deep stack.
#include "exchange/Units.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "items/TransItem.h"
#include "lang/LangMap.h"
#include "props/Prop.h"
#include "text/TextUtil.h"

namespace {

void AppendHex4(std::u16string& out, unsigned value) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

void AppendSegment(std::u16string& out, const CResItem& item) {
  // By hand: a formatted print per item would cost more than the rest.
  char16_t digits[12];
  size_t count = 0;
  unsigned type = static_cast<unsigned>(item.GetType());
  do {
    digits[count++] = static_cast<char16_t>(u'0' + type % 10);
    type /= 10;
  } while (type != 0);
  out += u'#';
  while (count > 0) out += digits[--count];
  out += u':';
  const CString resId = item.GetResId();
  const std::u16string_view id = resId.view();
  for (size_t i = 0; i < id.size(); ++i) {
    const char16_t c = id[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < id.size() && id[i + 1] >= 0xDC00 &&
        id[i + 1] <= 0xDFFF) {
      out += c;
      out += id[++i];
    } else if (c >= 0x20 && c != 0x7F && c != u'%' && c != u'/' && c != u'~' &&
               !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF) {
      out += c;
    } else {
      out += u'%';
      AppendHex4(out, c);
    }
  }
}

// What one item shows a walk: its translations in the two languages and
// their texts, each null when absent.
struct Texts {
  CTransItem* sourceTrans;
  CTransItem* targetTrans;
  const CString* source;
  const CString* target;
};

// A large project is far bigger than the caches, and every step from an
// item to its text (translation map, translation, property map, property,
// text) is a likely miss, each waiting on the one before. So a group of
// items goes through each step together, and each step prefetches what the
// next reads: the misses of a group overlap instead of queuing.
constexpr size_t kGroup = 16;

// Fetches the whole objects of up to kGroup items.
void PrefetchItems(CResItem* const* items, size_t count) {
  for (size_t i = 0; i < std::min(count, kGroup); ++i) {
    const char* object = reinterpret_cast<const char*>(items[i]);
    for (size_t at = 0; at < sizeof(CResItem); at += 64) __builtin_prefetch(object + at);
    __builtin_prefetch(object + sizeof(CResItem) - 1);
  }
}

// Fills `out` for `count` (at most kGroup) items.
void ResolveTexts(CResItem* const* items, size_t count, const CUnitLangs& langs, Texts* out) {
  const CPropName textName(CPropName::TransText);
  // Small maps (a few languages, a few properties) are mostly their first
  // node: fetching it ahead saves most of the search's misses.
  for (size_t i = 0; i < count; ++i) {
    const std::map<int, CTransItem*>& translations = items[i]->GetTransMap();
    if (!translations.empty()) __builtin_prefetch(&*translations.begin());
  }
  for (size_t i = 0; i < count; ++i) {
    const std::map<int, CTransItem*>& translations = items[i]->GetTransMap();
    const auto source = translations.find(langs.source);
    const auto target = translations.find(langs.target);
    out[i].sourceTrans = source != translations.end() ? source->second : nullptr;
    out[i].targetTrans = target != translations.end() ? target->second : nullptr;
    __builtin_prefetch(out[i].sourceTrans);
    __builtin_prefetch(out[i].targetTrans);
  }
  for (size_t i = 0; i < count; ++i) {
    for (const CTransItem* trans : {out[i].sourceTrans, out[i].targetTrans}) {
      if (trans != nullptr && !trans->GetProps().empty()) {
        __builtin_prefetch(&*trans->GetProps().begin());
      }
    }
  }
  const CProp* props[kGroup][2];
  for (size_t i = 0; i < count; ++i) {
    const CTransItem* trans[2] = {out[i].sourceTrans, out[i].targetTrans};
    for (int k = 0; k < 2; ++k) {
      props[i][k] = trans[k] != nullptr ? trans[k]->GetPropW(textName) : nullptr;
      __builtin_prefetch(props[i][k]);
    }
  }
  for (size_t i = 0; i < count; ++i) {
    const CString** texts[2] = {&out[i].source, &out[i].target};
    for (int k = 0; k < 2; ++k) {
      const auto* text = dynamic_cast<const CStrProp*>(props[i][k]);
      *texts[k] = text != nullptr ? &text->value : nullptr;
      if (text != nullptr) __builtin_prefetch(text->value.view().data());
    }
  }
}

// An item whose children are being walked, with the children's segments
// in one buffer, the suffix ("~2"...) of each that repeats a sibling's, and
// the texts of the next group of children. Frames are kept and refilled as
// the walk goes down and up again: their buffers are allocated once per depth.
struct Frame {
  CResItem* item = nullptr;
  std::u16string segments;
  std::vector<uint32_t> ends;     // segment i is [ends[i-1], ends[i])
  std::vector<uint32_t> suffix;   // 0: none
  std::vector<uint32_t> table;    // finds equal segments
  std::vector<uint32_t> count;
  Texts texts[kGroup];            // of the children [resolved - kGroup, resolved)
  size_t resolved = 0;
  size_t next = 0;
  size_t pathLength = 0;          // of the item's own id

  std::u16string_view Segment(size_t i) const {
    const uint32_t begin = i == 0 ? 0 : ends[i - 1];
    return std::u16string_view(segments).substr(begin, ends[i] - begin);
  }

  // The texts of child `i`. Resolved a group at a time just before they are
  // needed, so that they are still in the cache when the walk gets there.
  const Texts& TextsOf(size_t i, const CUnitLangs& langs) {
    if (i == resolved) {
      CResItem* const* children = item->GetResItems().data();
      const size_t n = item->GetResItems().size();
      const size_t size = std::min(kGroup, n - i);
      ResolveTexts(children + i, size, langs, texts);
      resolved += size;
      if (resolved < n) PrefetchItems(children + resolved, n - resolved);
    }
    return texts[i % kGroup];
  }

  void Fill(CResItem* parent, size_t length) {
    item = parent;
    pathLength = length;
    next = 0;
    resolved = 0;
    const std::vector<CResItem*>& children = parent->GetResItems();
    const size_t n = children.size();
    segments.clear();
    ends.clear();
    // A group's objects are on their way while the group before is read.
    PrefetchItems(children.data(), n);
    for (size_t begin = 0; begin < n; begin += kGroup) {
      const size_t size = std::min(kGroup, n - begin);
      if (begin + kGroup < n) PrefetchItems(children.data() + begin + kGroup, n - begin - kGroup);
      for (size_t i = begin; i < begin + size; ++i) {
        AppendSegment(segments, *children[i]);
        ends.push_back(static_cast<uint32_t>(segments.size()));
      }
    }
    // The first group again: a long sibling list has pushed it out by now,
    // and the texts are resolved from it first.
    PrefetchItems(children.data(), n);
    suffix.assign(children.size(), 0);
    if (children.size() < 2) return;
    // Equal segments meet in an open-addressing table of child indices; the
    // first in child order keeps its segment, the next get ~2, ~3...
    size_t slots = 4;
    while (slots < 2 * children.size()) slots *= 2;
    table.assign(slots, 0);  // index + 1; 0 is free
    count.assign(children.size(), 1);
    const std::hash<std::u16string_view> hash;
    for (uint32_t i = 0; i < children.size(); ++i) {
      const std::u16string_view segment = Segment(i);
      for (size_t at = hash(segment) & (slots - 1);; at = (at + 1) & (slots - 1)) {
        if (table[at] == 0) {
          table[at] = i + 1;
          break;
        }
        if (Segment(table[at] - 1) == segment) {
          suffix[i] = ++count[table[at] - 1];
          break;
        }
      }
    }
  }
};

}  // namespace

CString UnitSegment(const CResItem& item) {
  std::u16string out;
  AppendSegment(out, item);
  return CString(std::u16string_view(out));
}

bool ForEachUnit(CResItem& root, const CUnitLangs& langs, const UnitVisitor& visit) {
  std::u16string path;
  CUnit unit;
  // Emits the unit of `item`, if it is one, under the id in `path`.
  auto emit = [&](CResItem& item, const Texts& texts, const CResItem* file,
                  size_t fileIdLength) {
    if (texts.source == nullptr || texts.source->IsEmpty()) return true;
    unit.id = path;
    unit.source = texts.source->view();
    unit.target = texts.target != nullptr ? texts.target->view() : std::u16string_view();
    unit.note = item.GetComment();
    unit.item = &item;
    unit.targetTrans = texts.targetTrans;
    unit.file = file;
    unit.fileId = std::u16string_view(path).substr(0, fileIdLength);
    unit.parent = item.GetParent();
    return visit(unit);
  };

  path = u".";
  CResItem* const rootItem = &root;
  Texts rootTexts;
  ResolveTexts(&rootItem, 1, langs, &rootTexts);
  if (!emit(root, rootTexts, &root, 1)) return false;
  path.clear();

  std::vector<Frame> frames(1);  // frames[0, depth) are in use
  frames[0].Fill(&root, 0);
  size_t depth = 1;
  while (depth != 0) {
    Frame& top = frames[depth - 1];
    if (top.next == top.ends.size()) {
      --depth;
      continue;
    }
    const size_t index = top.next++;
    CResItem* child = top.item->GetResItems()[index];
    path.resize(top.pathLength);
    if (top.pathLength != 0) path += u'/';
    path += top.Segment(index);
    if (top.suffix[index] != 0) {
      char digits[16];
      const int length = std::snprintf(digits, sizeof digits, "~%u", top.suffix[index]);
      path.append(digits, digits + length);
    }
    // The file is the first level below the root: its id ends at the first "/".
    const bool isFile = depth == 1;
    const size_t fileIdLength = isFile ? path.size() : path.find(u'/');
    const CResItem* file = isFile ? child : frames[1].item;
    if (!emit(*child, top.TextsOf(index, langs), file, fileIdLength)) return false;
    if (!child->GetResItems().empty()) {
      if (depth == frames.size()) frames.emplace_back();  // `top` moves with the vector
      frames[depth].Fill(child, path.size());
      ++depth;
    }
  }
  return true;
}

std::vector<CUnitRecord> CollectUnits(CResItem& root, const CUnitLangs& langs) {
  std::vector<CUnitRecord> units;
  ForEachUnit(root, langs, [&units](const CUnit& u) {
    units.push_back(CUnitRecord{CString(u.id), CString(u.source), CString(u.target), u.note,
                                u.item, u.file, CString(u.fileId), u.parent});
    return true;
  });
  return units;
}

namespace {

// All of `text` as digits in `base`; false on anything else or when
// the value leaves 24 bits.
bool ParseNumber(const std::u16string_view text, int base, int& value) {
  if (text.empty() || text.size() > 10) return false;
  long long v = 0;
  for (const char16_t c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return false;
    v = v * base + digit;
  }
  if (v <= 0 || v > 0xFFFFFF) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParseLangText(const CString& text, int& lang) {
  const std::u16string_view t = text.view();
  int value = 0;
  if (t.size() > 2 && t[0] == u'0' && (t[1] == u'x' || t[1] == u'X')) {
    if (!ParseNumber(t.substr(2), 16, value)) return false;
  } else if (!t.empty() && t[0] >= u'0' && t[0] <= u'9') {
    if (!ParseNumber(t, 10, value)) return false;
  } else if (t.size() == 6 && (t[0] == u'x' || t[0] == u'X') && t[1] == u'-') {
    if (!ParseNumber(t.substr(2), 16, value)) return false;
  } else {
    CString culture(t);
    culture.Replace(u'_', u'-');
    if (culture.IsEmpty() || culture.GetLength() > 64) return false;
    value = CLangMap::Instance().GetLangByCulName(culture);
    if (value <= 0) return false;
  }
  lang = CLangId(value).GetLang();
  return true;
}

CString LangCultureName(int lang, bool* exact) {
  const CLangMap& map = CLangMap::Instance();
  const int raw = CLangId(lang).GetRawLng() & 0xFFFF;
  const CLangDescr& descr = map.GetLang(raw);
  const int back = descr.cultureName.IsEmpty() ? -1 : map.GetLangByCulName(descr.cultureName);
  // An unknown language gets the entry of the smallest id, which is also
  // what its culture name leads back to; a known one has an entry of its own.
  const bool known = back == raw || (back > 0 && &map.GetLang(back) != &descr);
  if (!known) {
    if (exact != nullptr) *exact = true;
    char tag[8];
    std::snprintf(tag, sizeof tag, "x-%04X", static_cast<unsigned>(raw));
    return CString::FromUtf8(tag);
  }
  if (exact != nullptr) *exact = back == raw;
  return descr.cultureName;
}
