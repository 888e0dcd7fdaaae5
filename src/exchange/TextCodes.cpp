// The scanner of codes in UI texts and the split of a text's ends. One pass
// over the text; no allocation beyond the caller's vector.
#include "exchange/TextCodes.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

namespace {

using View = std::u16string_view;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads decimal digits at `at`; at most 9, so the value fits an int.
size_t Digits(View text, size_t at, int* value) {
  size_t end = at;
  int v = 0;
  while (end < text.size() && end - at < 9 && IsDigit(text[end])) v = v * 10 + (text[end++] - u'0');
  if (value != nullptr) *value = v;
  return end;
}

// A printf conversion after "%" (and after "N$"): flags, width,
// precision, length, conversion. Returns the end, or 0 when it is none;
// `type` gets the length and the conversion.
size_t PrintfConversion(View text, size_t at, View* type) {
  size_t i = at;
  const size_t n = text.size();
  while (i < n && (text[i] == u'-' || text[i] == u'+' || text[i] == u'#' || text[i] == u'0' ||
                   text[i] == u'\'')) {
    ++i;
  }
  if (i < n && text[i] == u'*') {
    ++i;
  } else {
    i = Digits(text, i, nullptr);
  }
  if (i < n && text[i] == u'.') {
    ++i;
    if (i < n && text[i] == u'*') {
      ++i;
    } else {
      i = Digits(text, i, nullptr);
    }
  }
  const size_t lengthBegin = i;
  static constexpr View kLengths[] = {u"hh", u"ll", u"I64", u"I32", u"h", u"l", u"L",
                                      u"q",  u"j",  u"z",   u"t",   u"I"};
  for (const View length : kLengths) {
    if (text.substr(i, length.size()) == length) {
      i += length.size();
      break;
    }
  }
  if (i >= n) return 0;
  static constexpr View kConversions = u"diouxXeEfFgGaAcCsSpn";
  if (kConversions.find(text[i]) == View::npos) return 0;
  *type = text.substr(lengthBegin, i + 1 - lengthBegin);
  // "%i" and "%d" print the same.
  if (*type == u"i") *type = u"d";
  return i + 1;
}

// The placeholder at `at` (a "%"), or false when the "%" is plain text.
bool ScanPercent(View text, size_t at, int& sequence, CTextCode& code) {
  const size_t n = text.size();
  size_t next = at + 1;
  if (next < n && text[next] == u'%') {
    code = CTextCode{CodeKind::kPrintf, 0, 2, 0, 0, text.substr(at, 1)};
    return true;
  }
  View type;
  size_t end = 0;
  int index = 0;
  if (next < n && text[next] >= u'1' && text[next] <= u'9') {
    const size_t afterDigits = Digits(text, next, &index);
    if (afterDigits < n && text[afterDigits] == u'$') {
      end = PrintfConversion(text, afterDigits + 1, &type);
    } else if (afterDigits < n && text[afterDigits] == u'!') {
      // FormatMessage: "%1!d!" carries a printf conversion between the marks.
      const size_t close = text.find(u'!', afterDigits + 1);
      if (close != View::npos && close - afterDigits <= 16 &&
          PrintfConversion(text.substr(0, close), afterDigits + 1, &type) == close) {
        end = close + 1;
      }
    }
    if (end == 0) {
      // "%10d" is a width; "%1" alone is FormatMessage's first insert.
      end = PrintfConversion(text, next, &type);
      if (end != 0) {
        index = ++sequence;
      } else if (afterDigits - next <= 2) {
        end = afterDigits;
        type = u"s";
      }
    }
  } else {
    end = PrintfConversion(text, next, &type);
    index = ++sequence;
  }
  if (end == 0) return false;
  code = CTextCode{CodeKind::kPrintf, 0, static_cast<uint32_t>(end - at), index, 0, type};
  return true;
}

// "{0}", "{0,-10}", "{1:N2}" at `at`; false for anything else.
bool ScanBrace(View text, size_t at, CTextCode& code) {
  const size_t n = text.size();
  int index = 0;
  size_t i = Digits(text, at + 1, &index);
  if (i == at + 1 || i >= n) return false;
  if (text[i] == u',') {
    ++i;
    if (i < n && text[i] == u'-') ++i;
    const size_t width = Digits(text, i, nullptr);
    if (width == i) return false;
    i = width;
  }
  View type;
  if (i < n && text[i] == u':') {
    const size_t close = text.find(u'}', i + 1);
    if (close == View::npos) return false;
    type = text.substr(i + 1, close - i - 1);
    i = close;
  }
  if (i >= n || text[i] != u'}') return false;
  code = CTextCode{CodeKind::kDotNet, 0, static_cast<uint32_t>(i + 1 - at), index, 0, type};
  return true;
}

bool IsWhite(char32_t c) { return u_isUWhiteSpace(static_cast<UChar32>(c)) != 0; }

EndPunct PunctOf(char16_t c) {
  switch (c) {
    case u'.': case u'\u3002': case u'\uFF0E': case u'\uFF61': return EndPunct::kStop;
    case u':': case u'\uFF1A': return EndPunct::kColon;
    case u'?': case u'\uFF1F': case u'\u061F': return EndPunct::kQuestion;
    case u'!': case u'\uFF01': return EndPunct::kExclamation;
    case u'\u2026': case u'\u22EF': return EndPunct::kEllipsis;
    default: return EndPunct::kNone;
  }
}

}  // namespace

void ScanCodes(std::u16string_view text, std::vector<CTextCode>& out) {
  const size_t n = text.size();
  int sequence = 0;
  size_t i = 0;
  while (i < n) {
    const char16_t c = text[i];
    CTextCode code{};
    bool found = false;
    size_t skip = 1;
    if (c < 0x20 || c == 0x7F) {
      code = CTextCode{CodeKind::kControl, 0, 1, 0, 0, text.substr(i, 1)};
      found = true;
    } else if (c == u'\\') {
      size_t run = i;
      while (run < n && text[run] == u'\\') ++run;
      for (size_t pair = i; pair + 1 < run; pair += 2) {
        out.push_back(CTextCode{CodeKind::kEscape, static_cast<uint32_t>(pair), 2, 0, 0,
                                text.substr(pair, 1)});
      }
      skip = run - i;
      if ((run - i) % 2 == 1 && run < n && View(u"abfnrtv").find(text[run]) != View::npos) {
        code = CTextCode{CodeKind::kEscape, 0, 2, 0, 0, text.substr(run, 1)};
        i = run - 1;
        found = true;
      }
    } else if (c == u'%') {
      found = ScanPercent(text, i, sequence, code);
    } else if (c == u'{') {
      if (i + 1 < n && text[i + 1] == u'{') {
        skip = 2;
      } else {
        found = ScanBrace(text, i, code);
      }
    } else if (c == u'&' && i + 1 < n) {
      if (text[i + 1] == u'&') {
        skip = 2;
      } else {
        size_t next = i + 1;
        UChar32 key;
        U16_NEXT(text.data(), next, n, key);
        if (u_isalnum(key)) {
          code = CTextCode{CodeKind::kAccelerator, 0, static_cast<uint32_t>(next - i), 0,
                           static_cast<char32_t>(u_toupper(key)), View()};
          found = true;
        }
      }
    }
    if (found) {
      code.begin = static_cast<uint32_t>(i);
      out.push_back(code);
      skip = code.length;
    }
    i += skip;
  }
}

CTextEnds SplitEnds(std::u16string_view text, const std::vector<CTextCode>& codes) {
  const size_t n = text.size();
  size_t lead = 0;
  while (lead < n) {
    size_t next = lead;
    UChar32 c;
    U16_NEXT(text.data(), next, n, c);
    if (!IsWhite(c)) break;
    lead = next;
  }
  if (lead == n) return CTextEnds{n, n, n, EndPunct::kNone};
  size_t trail = n;
  while (trail > lead) {
    size_t prev = trail;
    UChar32 c;
    U16_PREV(text.data(), 0, prev, c);
    if (!IsWhite(c)) break;
    trail = prev;
  }
  size_t tail = trail;
  // "(&F)" and its full-width form close East Asian labels after the text.
  if (tail - lead >= 4 && text[tail - 3] == u'&' && u_isalnum(text[tail - 2]) &&
      (text[tail - 1] == u')' || text[tail - 1] == u'\uFF09') &&
      (text[tail - 4] == u'(' || text[tail - 4] == u'\uFF08')) {
    tail -= 4;
  }
  // The last code before the group: punctuation inside it is not the end.
  size_t codeEnd = 0;
  for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
    if (code->begin < tail) {
      codeEnd = code->begin + code->length;
      break;
    }
  }
  const size_t first = std::max(lead, codeEnd);
  EndPunct punct = EndPunct::kNone;
  if (tail >= first + 3 && text.substr(tail - 3, 3) == u"...") {
    punct = EndPunct::kEllipsis;
    tail -= 3;
  } else if (tail > first && (punct = PunctOf(text[tail - 1])) != EndPunct::kNone) {
    tail -= 1;
  }
  return CTextEnds{lead, tail, trail, punct};
}

bool HasLetters(std::u16string_view text, const std::vector<CTextCode>& codes) {
  size_t i = 0;
  auto code = codes.begin();
  while (i < text.size()) {
    if (code != codes.end() && code->begin == i) {
      i += code->length;
      ++code;
      continue;
    }
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    if (u_isalpha(c)) return true;
  }
  return false;
}
