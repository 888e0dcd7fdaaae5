// The national-language data behind Nls.h. What only Windows knows (which
// locales exist, their language groups, code pages, abbreviations and the
// English names where Windows words them differently) is the table below;
// ISO codes and the remaining names come from ICU's locale data.
#include "platform/Nls.h"

#include <unicode/uloc.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace Nls {

namespace {

// One specific locale. `icu` names the ICU locale where ICU's LCID mapping
// lacks the LCID or gives other ISO codes than Windows; `language` and
// `country` are the English names where Windows' differ from ICU's.
struct LocaleRow {
  uint16_t lcid;
  uint8_t group;
  uint16_t ansi;  // 0: Unicode-only locale
  uint16_t oem;   // 1 (CP_OEMCP) for Unicode-only locales
  const char16_t* abbrev;
  const char* icu = nullptr;
  const char16_t* language = nullptr;
  const char16_t* country = nullptr;
};

constexpr const char16_t* kFormerSerbia = u"Serbia and Montenegro (Former)";

// Groups: 1 Western Europe and US, 2 Central Europe, 3 Baltic, 4 Greek,
// 5 Cyrillic, 6 Turkic, 7 Japanese, 8 Korean, 9 Traditional Chinese,
// 10 Simplified Chinese, 11 Thai, 12 Hebrew, 13 Arabic, 14 Vietnamese,
// 15 Indic, 16 Georgian, 17 Armenian.
constexpr LocaleRow kLocales[] = {
    // lcid, group, ansi, oem, abbreviation, ICU locale, language, country
    {0x0401, 13, 1256, 720, u"ARA"},  // ar-SA
    {0x0801, 13, 1256, 720, u"ARI"},  // ar-IQ
    {0x0C01, 13, 1256, 720, u"ARE"},  // ar-EG
    {0x1001, 13, 1256, 720, u"ARL"},  // ar-LY
    {0x1401, 13, 1256, 720, u"ARG"},  // ar-DZ
    {0x1801, 13, 1256, 720, u"ARM"},  // ar-MA
    {0x1C01, 13, 1256, 720, u"ART"},  // ar-TN
    {0x2001, 13, 1256, 720, u"ARO"},  // ar-OM
    {0x2401, 13, 1256, 720, u"ARY"},  // ar-YE
    {0x2801, 13, 1256, 720, u"ARS"},  // ar-SY
    {0x2C01, 13, 1256, 720, u"ARJ"},  // ar-JO
    {0x3001, 13, 1256, 720, u"ARB"},  // ar-LB
    {0x3401, 13, 1256, 720, u"ARK"},  // ar-KW
    {0x3801, 13, 1256, 720, u"ARU"},  // ar-AE
    {0x3C01, 13, 1256, 720, u"ARH"},  // ar-BH
    {0x4001, 13, 1256, 720, u"ARQ"},  // ar-QA
    {0x0402, 5, 1251, 866, u"BGR"},   // bg-BG
    {0x0403, 1, 1252, 850, u"CAT"},   // ca-ES
    {0x0803, 1, 1252, 850, u"VAL", "ca_ES_VALENCIA", u"Valencian"},
    {0x0404, 9, 950, 950, u"CHT"},   // zh-TW
    {0x0804, 10, 936, 936, u"CHS"},  // zh-CN
    {0x0C04, 9, 950, 950, u"ZHH", nullptr, nullptr, u"Hong Kong SAR"},
    {0x1004, 10, 936, 936, u"ZHI"},  // zh-SG
    {0x1404, 9, 950, 950, u"ZHM", nullptr, nullptr, u"Macao SAR"},
    {0x0405, 2, 1250, 852, u"CSY"},  // cs-CZ
    {0x0406, 1, 1252, 850, u"DAN"},  // da-DK
    {0x0407, 1, 1252, 850, u"DEU"},  // de-DE
    {0x0807, 1, 1252, 850, u"DES"},  // de-CH
    {0x0C07, 1, 1252, 850, u"DEA"},  // de-AT
    {0x1007, 1, 1252, 850, u"DEL"},  // de-LU
    {0x1407, 1, 1252, 850, u"DEC"},  // de-LI
    {0x0408, 4, 1253, 737, u"ELL"},  // el-GR
    {0x0409, 1, 1252, 437, u"ENU"},  // en-US
    {0x0809, 1, 1252, 850, u"ENG"},  // en-GB
    {0x0C09, 1, 1252, 850, u"ENA"},  // en-AU
    {0x1009, 1, 1252, 850, u"ENC"},  // en-CA
    {0x1409, 1, 1252, 850, u"ENZ"},  // en-NZ
    {0x1809, 1, 1252, 850, u"ENI"},  // en-IE
    {0x1C09, 1, 1252, 437, u"ENS"},  // en-ZA
    {0x2009, 1, 1252, 850, u"ENJ"},  // en-JM
    {0x2409, 1, 1252, 850, u"ENB"},  // en-029
    {0x2809, 1, 1252, 850, u"ENL"},  // en-BZ
    {0x2C09, 1, 1252, 850, u"ENT", nullptr, nullptr, u"Trinidad and Tobago"},
    {0x3009, 1, 1252, 437, u"ENW"},  // en-ZW
    {0x3409, 1, 1252, 437, u"ENP"},  // en-PH
    {0x3C09, 1, 1252, 437, u"ENH", nullptr, nullptr, u"Hong Kong SAR"},
    {0x4009, 1, 1252, 437, u"ENN"},  // en-IN
    {0x4409, 1, 1252, 437, u"ENM"},  // en-MY
    {0x4809, 1, 1252, 437, u"ENE"},  // en-SG
    {0x040A, 1, 1252, 850, u"ESP"},  // es-ES_tradnl
    {0x080A, 1, 1252, 850, u"ESM"},  // es-MX
    {0x0C0A, 1, 1252, 850, u"ESN"},  // es-ES
    {0x100A, 1, 1252, 850, u"ESG"},  // es-GT
    {0x140A, 1, 1252, 850, u"ESC"},  // es-CR
    {0x180A, 1, 1252, 850, u"ESA"},  // es-PA
    {0x1C0A, 1, 1252, 850, u"ESD"},  // es-DO
    {0x200A, 1, 1252, 850, u"ESV"},  // es-VE
    {0x240A, 1, 1252, 850, u"ESO"},  // es-CO
    {0x280A, 1, 1252, 850, u"ESR"},  // es-PE
    {0x2C0A, 1, 1252, 850, u"ESS"},  // es-AR
    {0x300A, 1, 1252, 850, u"ESF"},  // es-EC
    {0x340A, 1, 1252, 850, u"ESL"},  // es-CL
    {0x380A, 1, 1252, 850, u"ESY"},  // es-UY
    {0x3C0A, 1, 1252, 850, u"ESZ"},  // es-PY
    {0x400A, 1, 1252, 850, u"ESB"},  // es-BO
    {0x440A, 1, 1252, 850, u"ESE"},  // es-SV
    {0x480A, 1, 1252, 850, u"ESH"},  // es-HN
    {0x4C0A, 1, 1252, 850, u"ESI"},  // es-NI
    {0x500A, 1, 1252, 850, u"ESU"},  // es-PR
    {0x540A, 1, 1252, 850, u"EST"},  // es-US
    {0x580A, 1, 1252, 850, u"ESJ", "es_419"},
    {0x040B, 1, 1252, 850, u"FIN"},  // fi-FI
    {0x040C, 1, 1252, 850, u"FRA"},  // fr-FR
    {0x080C, 1, 1252, 850, u"FRB"},  // fr-BE
    {0x0C0C, 1, 1252, 850, u"FRC"},  // fr-CA
    {0x100C, 1, 1252, 850, u"FRS"},  // fr-CH
    {0x140C, 1, 1252, 850, u"FRL"},  // fr-LU
    {0x180C, 1, 1252, 850, u"FRM"},  // fr-MC
    {0x200C, 1, 1252, 850, u"FRR", "fr_RE"},
    {0x240C, 1, 1252, 850, u"FRD", "fr_CD", nullptr, u"Congo (DRC)"},
    {0x280C, 1, 1252, 850, u"FRN", "fr_SN"},
    {0x2C0C, 1, 1252, 850, u"FRE", "fr_CM"},
    {0x300C, 1, 1252, 850, u"FRI", "fr_CI"},
    {0x340C, 1, 1252, 850, u"FRF", "fr_ML"},
    {0x380C, 1, 1252, 850, u"FRO", "fr_MA"},
    {0x3C0C, 1, 1252, 850, u"FRH", "fr_HT"},
    {0x040D, 12, 1255, 862, u"HEB"},  // he-IL
    {0x040E, 2, 1250, 852, u"HUN"},   // hu-HU
    {0x040F, 1, 1252, 850, u"ISL"},   // is-IS
    {0x0410, 1, 1252, 850, u"ITA"},   // it-IT
    {0x0810, 1, 1252, 850, u"ITS"},   // it-CH
    {0x0411, 7, 932, 932, u"JPN"},    // ja-JP
    {0x0412, 8, 949, 949, u"KOR", nullptr, nullptr, u"Korea"},
    {0x0413, 1, 1252, 850, u"NLD"},  // nl-NL
    {0x0813, 1, 1252, 850, u"NLB"},  // nl-BE
    {0x0414, 1, 1252, 850, u"NOR"},  // nb-NO
    {0x0814, 1, 1252, 850, u"NON"},  // nn-NO
    {0x0415, 2, 1250, 852, u"PLK"},  // pl-PL
    {0x0416, 1, 1252, 850, u"PTB"},  // pt-BR
    {0x0816, 1, 1252, 850, u"PTG"},  // pt-PT
    {0x0417, 1, 1252, 850, u"RMC"},  // rm-CH
    {0x0418, 2, 1250, 852, u"ROM"},  // ro-RO
    {0x0818, 2, 1250, 852, u"ROD"},  // ro-MD
    {0x0419, 5, 1251, 866, u"RUS"},  // ru-RU
    {0x0819, 5, 1251, 866, u"RUM"},  // ru-MD
    {0x041A, 2, 1250, 852, u"HRV"},  // hr-HR
    {0x081A, 2, 1250, 852, u"SRL", "sr_Latn_CS", nullptr, kFormerSerbia},
    {0x0C1A, 5, 1251, 855, u"SRB", "sr_Cyrl_CS", nullptr, kFormerSerbia},
    {0x101A, 2, 1250, 852, u"HRB", nullptr, nullptr, u"Bosnia and Herzegovina"},
    {0x141A, 2, 1250, 852, u"BSB", nullptr, nullptr, u"Bosnia and Herzegovina"},
    {0x181A, 2, 1250, 852, u"SRS", nullptr, nullptr, u"Bosnia and Herzegovina"},
    {0x1C1A, 5, 1251, 855, u"SRN", nullptr, nullptr, u"Bosnia and Herzegovina"},
    {0x201A, 5, 1251, 855, u"BSC", nullptr, nullptr, u"Bosnia and Herzegovina"},
    {0x241A, 2, 1250, 852, u"SRM"},    // sr-Latn-RS
    {0x281A, 5, 1251, 855, u"SRO"},    // sr-Cyrl-RS
    {0x2C1A, 2, 1250, 852, u"SRP"},    // sr-Latn-ME
    {0x301A, 5, 1251, 855, u"SRQ"},    // sr-Cyrl-ME
    {0x041B, 2, 1250, 852, u"SKY"},    // sk-SK
    {0x041C, 2, 1250, 852, u"SQI"},    // sq-AL
    {0x041D, 1, 1252, 850, u"SVE"},    // sv-SE
    {0x081D, 1, 1252, 850, u"SVF"},    // sv-FI
    {0x041E, 11, 874, 874, u"THA"},    // th-TH
    {0x041F, 6, 1254, 857, u"TRK"},    // tr-TR
    {0x0420, 13, 1256, 720, u"URD"},   // ur-PK
    {0x0820, 13, 1256, 720, u"URI"},   // ur-IN
    {0x0421, 1, 1252, 850, u"IND"},    // id-ID
    {0x0422, 5, 1251, 866, u"UKR"},    // uk-UA
    {0x0423, 5, 1251, 866, u"BEL"},    // be-BY
    {0x0424, 2, 1250, 852, u"SLV"},    // sl-SI
    {0x0425, 3, 1257, 775, u"ETI"},    // et-EE
    {0x0426, 3, 1257, 775, u"LVI"},    // lv-LV
    {0x0427, 3, 1257, 775, u"LTH"},    // lt-LT
    {0x0428, 5, 1251, 866, u"TAJ"},    // tg-Cyrl-TJ
    {0x0429, 13, 1256, 720, u"FAR"},   // fa-IR
    {0x042A, 14, 1258, 1258, u"VIT"},  // vi-VN
    {0x042B, 17, 0, 1, u"HYE"},        // hy-AM
    {0x042C, 6, 1254, 857, u"AZE"},    // az-Latn-AZ
    {0x082C, 5, 1251, 866, u"AZC"},    // az-Cyrl-AZ
    {0x042D, 1, 1252, 850, u"EUQ"},    // eu-ES
    {0x042E, 1, 1252, 850, u"HSB"},    // hsb-DE
    {0x082E, 1, 1252, 850, u"DSB"},    // dsb-DE
    {0x042F, 5, 1251, 866, u"MKI"},    // mk-MK
    {0x0430, 1, 1252, 437, u"SOT", nullptr, u"Sesotho"},
    {0x0431, 1, 1252, 437, u"TSO", nullptr, u"Xitsonga"},
    {0x0432, 1, 1252, 850, u"TSN", nullptr, u"Setswana"},
    {0x0832, 1, 1252, 437, u"TSB", nullptr, u"Setswana"},
    {0x0433, 1, 1252, 437, u"VEN"},  // ve-ZA
    {0x0434, 1, 1252, 850, u"XHO", nullptr, u"isiXhosa"},
    {0x0435, 1, 1252, 850, u"ZUL", nullptr, u"isiZulu"},
    {0x0436, 1, 1252, 850, u"AFK"},  // af-ZA
    {0x0437, 16, 0, 1, u"KAT"},      // ka-GE
    {0x0438, 1, 1252, 850, u"FOS"},  // fo-FO
    {0x0439, 15, 0, 1, u"HIN"},      // hi-IN
    {0x043A, 1, 0, 1, u"MLT"},       // mt-MT
    {0x043B, 1, 1252, 850, u"SME", nullptr, u"Sami (Northern)"},
    {0x083B, 1, 1252, 850, u"SMF", nullptr, u"Sami (Northern)"},
    {0x0C3B, 1, 1252, 850, u"SMG", nullptr, u"Sami (Northern)"},
    {0x103B, 1, 1252, 850, u"SMJ", nullptr, u"Sami (Lule)"},
    {0x143B, 1, 1252, 850, u"SMK", nullptr, u"Sami (Lule)"},
    {0x183B, 1, 1252, 850, u"SMA", nullptr, u"Sami (Southern)"},
    {0x1C3B, 1, 1252, 850, u"SMB", nullptr, u"Sami (Southern)"},
    {0x203B, 1, 1252, 850, u"SMS", nullptr, u"Sami (Skolt)"},
    {0x243B, 1, 1252, 850, u"SMN", nullptr, u"Sami (Inari)"},
    {0x083C, 1, 1252, 850, u"IRE"},   // ga-IE
    {0x043E, 1, 1252, 850, u"MSL"},   // ms-MY
    {0x083E, 1, 1252, 850, u"MSB"},   // ms-BN
    {0x043F, 5, 1251, 866, u"KKZ"},   // kk-KZ
    {0x0440, 5, 1251, 866, u"KYR"},   // ky-KG
    {0x0441, 1, 1252, 437, u"SWK"},   // sw-KE
    {0x0442, 2, 1250, 852, u"TUK"},   // tk-TM
    {0x0443, 6, 1254, 857, u"UZB"},   // uz-Latn-UZ
    {0x0843, 5, 1251, 866, u"UZC"},   // uz-Cyrl-UZ
    {0x0444, 5, 1251, 866, u"TTT"},   // tt-RU
    {0x0445, 15, 0, 1, u"BNG"},       // bn-IN
    {0x0845, 15, 0, 1, u"BNB"},       // bn-BD
    {0x0446, 15, 0, 1, u"PAN"},       // pa-IN
    {0x0846, 13, 1256, 720, u"PAP"},  // pa-Arab-PK
    {0x0447, 15, 0, 1, u"GUJ"},       // gu-IN
    {0x0448, 15, 0, 1, u"ORI"},       // or-IN
    {0x0449, 15, 0, 1, u"TAI"},       // ta-IN
    {0x0849, 15, 0, 1, u"TAM"},       // ta-LK
    {0x044A, 15, 0, 1, u"TEL"},       // te-IN
    {0x044B, 15, 0, 1, u"KDI"},       // kn-IN
    {0x044C, 15, 0, 1, u"MYM"},       // ml-IN
    {0x044D, 15, 0, 1, u"ASM"},       // as-IN
    {0x044E, 15, 0, 1, u"MAR"},       // mr-IN
    {0x044F, 15, 0, 1, u"SAN"},       // sa-IN
    {0x0450, 5, 1251, 866, u"MNN"},   // mn-MN
    {0x0850, 10, 0, 1, u"MNG"},       // mn-Mong-CN
    {0x0C50, 10, 0, 1, u"MNM", "mn_Mong_MN"},
    {0x0451, 15, 0, 1, u"BOB"},      // bo-CN
    {0x0452, 1, 1252, 850, u"CYM"},  // cy-GB
    {0x0453, 15, 0, 1, u"KHM"},      // km-KH
    {0x0454, 15, 0, 1, u"LAO"},      // lo-LA
    {0x0455, 15, 0, 1, u"MYA", nullptr, nullptr, u"Myanmar"},
    {0x0456, 1, 1252, 850, u"GLC"},  // gl-ES
    {0x0457, 15, 0, 1, u"KNK"},      // kok-IN
    {0x0459, 15, 0, 1, u"SID", "sd_Deva_IN"},
    {0x0859, 13, 1256, 720, u"SIP", "sd_Arab_PK"},
    {0x045A, 13, 0, 1, u"SYR"},  // syr-SY
    {0x045B, 15, 0, 1, u"SIN"},  // si-LK
    {0x045C, 1, 0, 1, u"CRE", "chr_Cher_US"},
    {0x045D, 1, 0, 1, u"IUS"},       // iu-Cans-CA
    {0x085D, 1, 1252, 437, u"IUK"},  // iu-Latn-CA
    {0x045E, 1, 0, 1, u"AMH"},       // am-ET
    {0x045F, 13, 0, 1, u"TZA", "tzm_Arab_MA", u"Tamazight"},
    {0x085F, 1, 1252, 850, u"TZL", nullptr, u"Tamazight"},
    {0x105F, 1, 0, 1, u"TZM", "tzm_Tfng_MA", u"Tamazight"},
    {0x0461, 15, 0, 1, u"NEP"},  // ne-NP
    {0x0861, 15, 0, 1, u"NEI", "ne_IN"},
    {0x0462, 1, 1252, 850, u"FYN", nullptr, u"Frisian"},
    {0x0463, 13, 0, 1, u"PAS"},      // ps-AF
    {0x0464, 1, 1252, 437, u"FPO"},  // fil-PH
    {0x0465, 13, 0, 1, u"DIV"},      // dv-MV
    {0x0467, 1, 1252, 437, u"FUN", "ff_Latn_NG", u"Fulah"},
    {0x0867, 1, 1252, 850, u"FUL", nullptr, u"Fulah"},
    {0x0468, 1, 1252, 437, u"HAU"},  // ha-Latn-NG
    {0x046A, 1, 1252, 437, u"YOR"},  // yo-NG
    {0x046B, 1, 1252, 850, u"QUB", "quz_BO", u"Quechua"},
    {0x086B, 1, 1252, 850, u"QUE", "quz_EC", u"Quechua"},
    {0x0C6B, 1, 1252, 850, u"QUP", "quz_PE", u"Quechua"},
    {0x046C, 1, 1252, 850, u"NSO", nullptr, u"Sesotho sa Leboa"},
    {0x046D, 5, 1251, 866, u"BAS"},  // ba-RU
    {0x046E, 1, 1252, 850, u"LBX"},  // lb-LU
    {0x046F, 1, 1252, 850, u"KAL", nullptr, u"Greenlandic"},
    {0x0470, 1, 1252, 437, u"IBO"},  // ig-NG
    {0x0472, 1, 1252, 437, u"ORM", "om_ET"},
    {0x0473, 1, 0, 1, u"TIE", "ti_ET"},
    {0x0873, 1, 0, 1, u"TIR", "ti_ER"},
    {0x0474, 1, 1252, 850, u"GRN", "gn_PY"},
    {0x0475, 1, 1252, 437, u"HAW", "haw_US"},
    {0x0477, 1, 1252, 437, u"SOM", "so_SO"},
    {0x0478, 10, 0, 1, u"III", nullptr, u"Yi"},
    {0x047A, 1, 1252, 850, u"MPD", nullptr, u"Mapudungun"},
    {0x047C, 1, 1252, 850, u"MWK"},   // moh-CA
    {0x047E, 1, 1252, 850, u"BRE"},   // br-FR
    {0x0480, 13, 1256, 720, u"UIG"},  // ug-CN
    {0x0481, 1, 1252, 850, u"MRI", nullptr, u"Maori"},
    {0x0482, 1, 1252, 850, u"OCI"},  // oc-FR
    {0x0483, 1, 1252, 850, u"COS"},  // co-FR
    {0x0484, 1, 1252, 850, u"GSW", nullptr, u"Alsatian"},
    {0x0485, 5, 1251, 866, u"SAH", nullptr, u"Sakha"},
    {0x0486, 1, 1252, 850, u"QUT", nullptr, u"K'iche'"},
    {0x0487, 1, 1252, 437, u"KIN"},  // rw-RW
    {0x0488, 1, 1252, 850, u"WOL"},  // wo-SN
    {0x048C, 13, 1256, 720, u"PRS", "prs_AF", u"Dari"},
    {0x0491, 1, 1252, 850, u"GLA"},  // gd-GB
    {0x0492, 13, 1256, 720, u"KUR", "ku_Arab_IQ", u"Central Kurdish"},
};

constexpr int kLocaleCount = static_cast<int>(sizeof(kLocales) / sizeof(kLocales[0]));

constexpr const char16_t* kGroupNames[] = {
    u"Western Europe and United States",
    u"Central Europe",
    u"Baltic",
    u"Greek",
    u"Cyrillic",
    u"Turkic",
    u"Japanese",
    u"Korean",
    u"Traditional Chinese",
    u"Simplified Chinese",
    u"Thai",
    u"Hebrew",
    u"Arabic",
    u"Vietnamese",
    u"Indic",
    u"Georgian",
    u"Armenian",
};
constexpr LGRPID kGroupCount = sizeof(kGroupNames) / sizeof(kGroupNames[0]);

// Open addressing over the 16-bit ids, built by the compiler: a lookup is a
// hash and, rarely, a step or two.
constexpr size_t kSlots = 1024;  // a power of two, at least twice the rows
static_assert(kSlots >= 2 * sizeof(kLocales) / sizeof(kLocales[0]), "index too full");

constexpr size_t Slot(uint32_t lcid) { return (lcid * 2654435761u >> 16) & (kSlots - 1); }

constexpr std::array<int16_t, kSlots> BuildIndex() {
  std::array<int16_t, kSlots> index{};
  for (int16_t& slot : index) slot = -1;
  for (int row = 0; row < kLocaleCount; ++row) {
    size_t slot = Slot(kLocales[row].lcid);
    while (index[slot] >= 0) slot = (slot + 1) & (kSlots - 1);
    index[slot] = static_cast<int16_t>(row);
  }
  return index;
}

constexpr std::array<int16_t, kSlots> kIndex = BuildIndex();

// No two rows for one id: the index would hide the second one.
constexpr bool IdsUnique() {
  for (int a = 0; a < kLocaleCount; ++a) {
    for (int b = a + 1; b < kLocaleCount; ++b) {
      if (kLocales[a].lcid == kLocales[b].lcid) return false;
    }
  }
  return true;
}
static_assert(IdsUnique(), "a locale is listed twice");

const LocaleRow* FindExact(uint32_t lcid) {
  for (size_t slot = Slot(lcid);; slot = (slot + 1) & (kSlots - 1)) {
    const int row = kIndex[slot];
    if (row < 0) return nullptr;
    if (kLocales[row].lcid == lcid) return &kLocales[row];
  }
}

// The row that answers for `lcid`: its own, or for a neutral id the
// default sublanguage (or else the first listed locale of the language).
const LocaleRow* FindRow(LCID lcid) {
  if (lcid > 0xFFFF) return nullptr;
  if (lcid >> 10 != 0) return FindExact(lcid);
  if (lcid == 0x0004) return FindExact(0x0804);  // the neutral Chinese is Simplified
  if (const LocaleRow* row = FindExact(lcid | 0x400)) return row;
  for (const LocaleRow& row : kLocales) {
    if ((row.lcid & 0x3FF) == lcid) return &row;
  }
  return nullptr;
}

// Copies `text` with its terminator as GetLocaleInfoW promises.
int Answer(const char16_t* text, int length, char16_t* data, int size) {
  const int needed = length + 1;
  if (size == 0) return needed;
  if (size < needed) return 0;
  std::memcpy(data, text, sizeof(char16_t) * static_cast<size_t>(length));
  data[length] = 0;
  return needed;
}

int AnswerAscii(const char* text, char16_t* data, int size) {
  char16_t wide[64];
  int length = 0;
  for (; text[length] != 0 && length < 63; ++length)
    wide[length] = static_cast<char16_t>(text[length]);
  return Answer(wide, length, data, size);
}

int AnswerText(const char16_t* text, char16_t* data, int size) {
  int length = 0;
  while (text[length] != 0) ++length;
  return Answer(text, length, data, size);
}

// ICU's name of the row's locale; false when ICU does not know the LCID.
bool IcuLocale(const LocaleRow& row, char (&name)[ULOC_FULLNAME_CAPACITY]) {
  if (row.icu != nullptr) {
    std::snprintf(name, sizeof(name), "%s", row.icu);
    return true;
  }
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = uloc_getLocaleForLCID(row.lcid, name, sizeof(name), &status);
  return U_SUCCESS(status) && length > 0 && length < static_cast<int32_t>(sizeof(name));
}

using DisplayFn = int32_t (*)(const char*, const char*, UChar*, int32_t, UErrorCode*);

// A display name of the row's locale in `displayLocale` (null: the locale
// itself); 0 when ICU has none.
int AnswerDisplay(const LocaleRow& row, DisplayFn fn, bool native, char16_t* data, int size) {
  char name[ULOC_FULLNAME_CAPACITY];
  if (!IcuLocale(row, name)) return 0;
  UChar text[128];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = fn(name, native ? name : "en", text, 128, &status);
  if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0 || length >= 128) {
    return 0;
  }
  return Answer(text, length, data, size);
}

using CodeFn = int32_t (*)(const char*, char*, int32_t, UErrorCode*);

int AnswerCode(const LocaleRow& row, CodeFn fn, char16_t* data, int size) {
  char name[ULOC_FULLNAME_CAPACITY];
  if (!IcuLocale(row, name)) return 0;
  char code[ULOC_FULLNAME_CAPACITY];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = fn(name, code, sizeof(code), &status);
  if (U_FAILURE(status) || length <= 0 || length >= static_cast<int32_t>(sizeof(code))) return 0;
  return AnswerAscii(code, data, size);
}

int AnswerNumber(unsigned int value, const char* format, char16_t* data, int size) {
  char text[16];
  std::snprintf(text, sizeof(text), format, value);
  return AnswerAscii(text, data, size);
}

}  // namespace

BOOL EnumSystemLanguageGroupsW(LANGUAGEGROUP_ENUMPROCW proc, DWORD flags, LONG_PTR param) {
  if (proc == nullptr || (flags != LGRPID_INSTALLED && flags != LGRPID_SUPPORTED)) return FALSE;
  for (LGRPID group = 1; group <= kGroupCount; ++group) {
    char16_t groupText[4] = {};
    char text[4];
    std::snprintf(text, sizeof(text), "%u", static_cast<unsigned int>(group));
    for (int i = 0; text[i] != 0; ++i) groupText[i] = static_cast<char16_t>(text[i]);
    char16_t name[40] = {};
    AnswerText(kGroupNames[group - 1], name, 40);
    if (!proc(group, groupText, name, LGRPID_INSTALLED, param)) break;
  }
  return TRUE;
}

BOOL EnumLanguageGroupLocalesW(LANGGROUPLOCALE_ENUMPROCW proc, LGRPID group, DWORD flags,
                               LONG_PTR param) {
  if (proc == nullptr || flags != 0 || group < 1 || group > kGroupCount) return FALSE;
  for (const LocaleRow& row : kLocales) {
    if (row.group != group) continue;
    char16_t localeText[9];
    AnswerNumber(row.lcid, "%08x", localeText, 9);
    if (!proc(group, row.lcid, localeText, param)) break;
  }
  return TRUE;
}

int GetLocaleInfoW(LCID locale, LCTYPE type, char16_t* data, int size) {
  if (size < 0 || (size > 0 && data == nullptr)) return 0;
  const LocaleRow* row = FindRow(locale);
  if (row == nullptr) return 0;
  switch (type & ~LOCALE_NOUSEROVERRIDE) {
    case LOCALE_ILANGUAGE:
      return AnswerNumber(locale, "%04x", data, size);
    case LOCALE_SABBREVLANGNAME:
      return AnswerText(row->abbrev, data, size);
    case LOCALE_IDEFAULTANSICODEPAGE:
      return AnswerNumber(row->ansi, "%u", data, size);
    case LOCALE_IDEFAULTCODEPAGE:
      return AnswerNumber(row->oem, "%u", data, size);
    case LOCALE_SISO639LANGNAME:
      return AnswerCode(*row, uloc_getLanguage, data, size);
    case LOCALE_SISO3166CTRYNAME:
      return AnswerCode(*row, uloc_getCountry, data, size);
    case LOCALE_SENGLANGUAGE:
      if (row->language != nullptr) return AnswerText(row->language, data, size);
      return AnswerDisplay(*row, uloc_getDisplayLanguage, false, data, size);
    case LOCALE_SENGCOUNTRY:
      if (row->country != nullptr) return AnswerText(row->country, data, size);
      return AnswerDisplay(*row, uloc_getDisplayCountry, false, data, size);
    case LOCALE_SNATIVELANGNAME:
      return AnswerDisplay(*row, uloc_getDisplayLanguage, true, data, size);
    case LOCALE_SNATIVECTRYNAME:
      return AnswerDisplay(*row, uloc_getDisplayCountry, true, data, size);
    default:
      return 0;
  }
}

int LocaleCount() { return kLocaleCount; }

}  // namespace Nls
