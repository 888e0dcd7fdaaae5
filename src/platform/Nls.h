// National-language data of the platform layer: the language groups, the
// locales of each group and the locale information that Windows' NLS calls
// answer, with the same call shapes so that callers read as they would there.
#pragma once

#include <cstdint>

namespace Nls {

// Kept in a namespace so that they cannot clash with other stand-ins for
// Windows types; the widths are those of the Windows originals.
using BOOL = int;
using DWORD = uint32_t;
using LCID = uint32_t;
using LGRPID = uint32_t;
using LCTYPE = uint32_t;
using LONG_PTR = intptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// Flags of EnumSystemLanguageGroupsW and of its callback.
constexpr DWORD LGRPID_INSTALLED = 0x00000001;
constexpr DWORD LGRPID_SUPPORTED = 0x00000002;

// Language groups.
constexpr LGRPID LGRPID_WESTERN_EUROPE = 1;
constexpr LGRPID LGRPID_CENTRAL_EUROPE = 2;
constexpr LGRPID LGRPID_BALTIC = 3;
constexpr LGRPID LGRPID_GREEK = 4;
constexpr LGRPID LGRPID_CYRILLIC = 5;
constexpr LGRPID LGRPID_TURKIC = 6;
constexpr LGRPID LGRPID_JAPANESE = 7;
constexpr LGRPID LGRPID_KOREAN = 8;
constexpr LGRPID LGRPID_TRADITIONAL_CHINESE = 9;
constexpr LGRPID LGRPID_SIMPLIFIED_CHINESE = 10;
constexpr LGRPID LGRPID_THAI = 11;
constexpr LGRPID LGRPID_HEBREW = 12;
constexpr LGRPID LGRPID_ARABIC = 13;
constexpr LGRPID LGRPID_VIETNAMESE = 14;
constexpr LGRPID LGRPID_INDIC = 15;
constexpr LGRPID LGRPID_GEORGIAN = 16;
constexpr LGRPID LGRPID_ARMENIAN = 17;

// Locale information types understood by GetLocaleInfoW. The values are
// Windows'; LOCALE_NOUSEROVERRIDE may be or-ed in and changes nothing, as
// there are no user overrides here.
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
constexpr LCTYPE LOCALE_ILANGUAGE = 0x00000001;             // language id, 4 hex digits
constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x00000003;       // "ENU"
constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x00000004;       // "Deutsch"
constexpr LCTYPE LOCALE_SNATIVECTRYNAME = 0x00000008;       // "Deutschland"
constexpr LCTYPE LOCALE_IDEFAULTCODEPAGE = 0x0000000B;      // OEM code page, decimal
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x00001001;          // "German"
constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x00001002;           // "Germany"
constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x00001004;  // "0" for Unicode-only locales
constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x00000059;       // "de"
constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x0000005A;      // "DE"

// Callbacks; returning FALSE stops the enumeration. `groupText` is the group
// id in decimal, `localeText` the LCID as eight hex digits ("00000409").
using LANGUAGEGROUP_ENUMPROCW = BOOL (*)(LGRPID group, char16_t* groupText, char16_t* groupName,
                                         DWORD flags, LONG_PTR param);
using LANGGROUPLOCALE_ENUMPROCW = BOOL (*)(LGRPID group, LCID locale, char16_t* localeText,
                                           LONG_PTR param);

// Calls `proc` for each language group in ascending id order with the flag
// LGRPID_INSTALLED (every group is installed). `flags` must be
// LGRPID_INSTALLED or LGRPID_SUPPORTED; FALSE for other flags or a null proc.
BOOL EnumSystemLanguageGroupsW(LANGUAGEGROUP_ENUMPROCW proc, DWORD flags, LONG_PTR param);

// Calls `proc` for each specific locale of `group`. `flags` must be 0;
// FALSE for an unknown group, other flags or a null proc.
BOOL EnumLanguageGroupLocalesW(LANGGROUPLOCALE_ENUMPROCW proc, LGRPID group, DWORD flags,
                               LONG_PTR param);

// Writes the information `type` of `locale` with its terminating zero into
// `data` and returns the number of code units written, terminator included.
// With `size` 0 nothing is written and the size needed is returned. Returns
// 0 when the locale or the type is unknown, when `size` is too small or
// negative, or when `data` is null while `size` is not 0.
// A neutral locale (sublanguage 0, such as 0x0009) answers with the data of
// its default specific locale, except for LOCALE_ILANGUAGE, which stays its
// own id; 0x0004, the neutral Chinese, answers as zh-CN. The default locales
// (LOCALE_USER_DEFAULT and friends) are not understood: there is no user.
int GetLocaleInfoW(LCID locale, LCTYPE type, char16_t* data, int size);

// The number of specific locales, all groups together.
int LocaleCount();

}  // namespace Nls
