// The checks of text pairs and the walk that runs them over a project,
// with the accelerator conflicts among siblings.
#include "exchange/Checks.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "exchange/TextCodes.h"
#include "items/TransItem.h"
#include "props/Prop.h"

namespace {

using View = std::u16string_view;

const char* const kKindNames[] = {
#define ITEMLIB_CHECK_NAME(kind, name) name,
    ITEMLIB_CHECK_KINDS(ITEMLIB_CHECK_NAME)
#undef ITEMLIB_CHECK_NAME
};

// Scratch space of one checking run, reused from text to text.
struct Scratch {
  std::vector<CTextCode> source;
  std::vector<CTextCode> target;
  std::vector<std::pair<int, View>> sourceKeys;
  std::vector<std::pair<int, View>> targetKeys;
};

bool Belongs(const CTextCode& code, CheckKind kind) {
  switch (kind) {
    case CheckKind::kEscape: return code.kind == CodeKind::kEscape || code.kind == CodeKind::kControl;
    case CheckKind::kPrintf: return code.kind == CodeKind::kPrintf;
    case CheckKind::kDotNet: return code.kind == CodeKind::kDotNet;
    default: return code.kind == CodeKind::kAccelerator;
  }
}

// The codes of one kind as a person reads them: "%d %s", "U+000A", "none".
std::u16string Written(View text, const std::vector<CTextCode>& codes, CheckKind kind) {
  std::u16string out;
  for (const CTextCode& code : codes) {
    if (!Belongs(code, kind)) continue;
    if (!out.empty()) out += u' ';
    if (code.kind == CodeKind::kControl) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(text[code.begin]));
      for (const char* c = hex; *c != '\0'; ++c) out += static_cast<char16_t>(*c);
    } else {
      out.append(text.substr(code.begin, code.length));
    }
  }
  return out.empty() ? u"none" : out;
}

void Keys(const std::vector<CTextCode>& codes, CheckKind kind,
          std::vector<std::pair<int, View>>& keys) {
  keys.clear();
  for (const CTextCode& code : codes) {
    // Accelerators differ in their key by nature: only their presence counts.
    // "%%" prints a percent sign and takes no argument: the translation may
    // say "percent" instead.
    if (code.kind == CodeKind::kPrintf && code.index == 0) continue;
    if (Belongs(code, kind)) keys.emplace_back(code.index, kind == CheckKind::kAccelerator ? View() : code.type);
  }
  std::sort(keys.begin(), keys.end());
}

// A "%" of `text` that starts no code: printf would read what follows.
bool HasLonePercent(View text, const std::vector<CTextCode>& codes) {
  auto code = codes.begin();
  for (size_t at = text.find(u'%'); at != View::npos; at = text.find(u'%', at + 1)) {
    while (code != codes.end() && code->begin + code->length <= at) ++code;
    if (code == codes.end() || code->begin > at) return true;
  }
  return false;
}

void Report(std::vector<CTextFinding>& out, CheckKind kind, const std::u16string& text) {
  out.push_back(CTextFinding{kind, CString(std::u16string_view(text))});
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

const char* PunctName(EndPunct punct) {
  static const char* const kNames[] = {"nothing", "\".\"", "\":\"", "\"?\"", "\"!\"", "\"...\""};
  return kNames[static_cast<int>(punct)];
}

void CheckPair(Scratch& s, View source, View target, bool hasTranslation,
               std::vector<CTextFinding>& out) {
  if (target.empty()) {
    if (hasTranslation) Report(out, CheckKind::kEmpty, u"the translation is empty");
    return;
  }
  s.source.clear();
  s.target.clear();
  ScanCodes(source, s.source);
  ScanCodes(target, s.target);
  for (const CheckKind kind : {CheckKind::kEscape, CheckKind::kPrintf, CheckKind::kDotNet,
                               CheckKind::kAccelerator}) {
    Keys(s.source, kind, s.sourceKeys);
    Keys(s.target, kind, s.targetKeys);
    if (s.sourceKeys == s.targetKeys) {
      const bool printf = kind == CheckKind::kPrintf;
      if (!printf || !HasLonePercent(target, s.target) || HasLonePercent(source, s.source) ||
          std::none_of(s.source.begin(), s.source.end(),
                       [](const CTextCode& c) { return c.kind == CodeKind::kPrintf; })) {
        continue;
      }
    }
    Report(out, kind, u"source has " + Written(source, s.source, kind) + u", translation has " +
                          Written(target, s.target, kind));
  }
  const CTextEnds a = SplitEnds(source, s.source);
  const CTextEnds b = SplitEnds(target, s.target);
  if (source.substr(0, a.bodyBegin) != target.substr(0, b.bodyBegin)) {
    Report(out, CheckKind::kWhitespace, u"leading whitespace differs");
  }
  if (source.substr(a.trailBegin) != target.substr(b.trailBegin)) {
    Report(out, CheckKind::kWhitespace, u"trailing whitespace differs");
  }
  if (a.punct != b.punct) {
    Report(out, CheckKind::kPunctuation, Ascii("source ends with ") + Ascii(PunctName(a.punct)) +
                                             Ascii(", translation with ") + Ascii(PunctName(b.punct)));
  }
  if (source == target && HasLetters(source, s.source)) {
    Report(out, CheckKind::kIdentical, u"the translation is the source text");
  }
}

// The first accelerator key of a text, or 0.
char32_t AcceleratorKey(const std::vector<CTextCode>& codes) {
  for (const CTextCode& code : codes) {
    if (code.kind == CodeKind::kAccelerator) return code.key;
  }
  return 0;
}

// The accelerators already taken among the children of one parent.
struct SiblingKeys {
  const CResItem* parent = nullptr;
  struct Taken {
    char32_t key;
    char32_t sourceKey;
    CString id;
  };
  std::vector<Taken> taken;
};

}  // namespace

const char* CheckKindName(CheckKind kind) { return kKindNames[static_cast<int>(kind)]; }

void CheckTexts(std::u16string_view source, std::u16string_view target, bool hasTranslation,
                std::vector<CTextFinding>& out) {
  Scratch scratch;
  CheckPair(scratch, source, target, hasTranslation, out);
}

size_t CheckProject(CResItem& root, const CUnitLangs& langs, const FindingVisitor& visit) {
  Scratch scratch;
  std::vector<CTextFinding> found;
  // One entry per level of parents on the walk's current path.
  std::vector<SiblingKeys> levels;
  size_t count = 0;
  ForEachUnit(root, langs, [&](const CUnit& u) {
    found.clear();
    const bool hasTranslation =
        u.targetTrans != nullptr &&
        dynamic_cast<const CStrProp*>(u.targetTrans->GetPropW(CPropName::TransText)) != nullptr;
    CheckPair(scratch, u.source, u.target, hasTranslation, found);
    if (u.HasTarget() && u.parent != nullptr) {
      // The scan of CheckPair is still in the scratch.
      const char32_t key = AcceleratorKey(scratch.target);
      const size_t depth = static_cast<size_t>(std::count(u.id.begin(), u.id.end(), u'/')) + 1;
      levels.resize(depth);
      SiblingKeys& siblings = levels[depth - 1];
      if (siblings.parent != u.parent) siblings = SiblingKeys{u.parent, {}};
      if (key != 0) {
        const char32_t sourceKey = AcceleratorKey(scratch.source);
        bool reported = false;
        for (const SiblingKeys::Taken& other : siblings.taken) {
          // A clash the source texts already have is not the translation's.
          if (other.key != key || (sourceKey != 0 && other.sourceKey == sourceKey)) continue;
          std::u16string text = u"the key is also the one of ";
          text.append(other.id.view());
          Report(found, CheckKind::kAcceleratorConflict, text);
          reported = true;
          break;
        }
        if (!reported) siblings.taken.push_back(SiblingKeys::Taken{key, sourceKey, CString(u.id)});
      }
    }
    for (const CTextFinding& finding : found) {
      ++count;
      if (!visit(CFinding{u.id, langs.target, finding.kind, &finding.text})) return false;
    }
    return true;
  });
  return count;
}
