// Pseudo-translation of texts and of a whole project.
#include "exchange/Pseudo.h"

#include <unicode/ustring.h>

#include <string>
#include <vector>

#include "exchange/TextCodes.h"
#include "items/TransItem.h"

namespace {

// A look-alike with a diacritic for each ASCII letter, upper case first.
constexpr char16_t kUpper[] = u"\u00C5\u0181\u00C7\u00D0\u00C9\u0191\u011C\u0124\u00CE\u0134"
                              u"\u0136\u013B\u1E40\u00D1\u00D6\u00DE\u01EA\u0158\u0160\u0162"
                              u"\u00DB\u1E7C\u0174\u1E8C\u00DD\u017D";
constexpr char16_t kLower[] = u"\u00E5\u0180\u00E7\u00F0\u00E9\u0192\u011D\u0125\u00EE\u0135"
                              u"\u0137\u013C\u0271\u00F1\u00F6\u00FE\u01EB\u0155\u0161\u0163"
                              u"\u00FB\u1E7D\u0175\u1E8B\u00FD\u017E";

char16_t LookAlike(char16_t c) {
  if (c >= u'A' && c <= u'Z') return kUpper[c - u'A'];
  if (c >= u'a' && c <= u'z') return kLower[c - u'a'];
  return c;
}

}  // namespace

CString PseudoTranslate(std::u16string_view source, int expandPercent) {
  std::vector<CTextCode> codes;
  ScanCodes(source, codes);
  if (!HasLetters(source, codes)) return CString(source);
  const CTextEnds ends = SplitEnds(source, codes);
  std::u16string out(source.substr(0, ends.bodyBegin));
  out += u'[';
  auto code = codes.begin();
  for (size_t i = ends.bodyBegin; i < ends.tailBegin;) {
    while (code != codes.end() && code->begin + code->length <= i) ++code;
    if (code != codes.end() && code->begin <= i) {
      // No code reaches into the tail (SplitEnds sees to that).
      out.append(source.substr(i, code->length));
      i += code->length;
      continue;
    }
    out += LookAlike(source[i++]);
  }
  const int64_t points = u_countChar32(source.data(), static_cast<int32_t>(source.size()));
  const int64_t extra = (points * expandPercent + 99) / 100;
  // The brackets are part of the lengthening.
  if (extra > 2) out.append(static_cast<size_t>(extra - 2), u'~');
  out += u']';
  out.append(source.substr(ends.tailBegin));
  return CString(std::u16string_view(out));
}

size_t PseudoTranslateProject(CResItem& root, const CUnitLangs& langs, int expandPercent) {
  size_t written = 0;
  ForEachUnit(root, langs, [&](const CUnit& u) {
    CTransItem* trans = u.targetTrans;
    if (trans == nullptr) {
      trans = new CTransItem(langs.target);
      u.item->AddTransItem(trans);
    }
    trans->SetStr(PseudoTranslate(u.source, expandPercent));
    ++written;
    return true;
  });
  return written;
}
