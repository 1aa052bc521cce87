#pragma once

// Conversion between UTF-16 and the 8-bit code pages. CP_ACP is the codeset
// of the process locale (LC_CTYPE); the C/POSIX locale counts as UTF-8.
// A character the codeset lacks becomes "?" (or defaultChar), a byte sequence
// that is not valid in it becomes U+FFFD. Sizes follow the home platform: a
// length of -1 means NUL-terminated (the NUL is converted and counted), an
// output size of 0 asks for the size needed, a too small output gives 0.

#include "runtime/ZrvTypes.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;
constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;

extern "C" {

// defaultChar replaces "?"; UTF-8 lacks nothing (a lone surrogate becomes
// U+FFFD there). usedDefault tells whether a replacement was made.
ZRVRT_API int WideCharToMultiByte(UINT cp, DWORD flags, LPCOLESTR wide, int cchWide, LPSTR out,
                                  int cbOut, LPCSTR defaultChar, BOOL* usedDefault);
// With MB_ERR_INVALID_CHARS an invalid byte sequence gives 0 instead of U+FFFD.
ZRVRT_API int MultiByteToWideChar(UINT cp, DWORD flags, LPCSTR in, int cbIn, LPOLESTR out,
                                  int cchOut);
// The numeric code page CP_ACP stands for: 65001 for UTF-8, the matching
// Windows number for ISO-8859-x and CP125x codesets, otherwise 0.
ZRVRT_API UINT GetACP(void);

} // extern "C"
