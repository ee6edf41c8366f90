// What the Windows text conversions may be asked at a given code page. Plain
// code, so the rule is tested on every build.
//
// Windows refuses some arguments at some code pages, while Wine accepts them
// all: at UTF-8 (65001) and GB18030 (54936) WideCharToMultiByte takes no flag
// but WC_ERR_INVALID_CHARS, and at UTF-8 and UTF-7 neither default-character
// pointer may be given; at UTF-7, the ISO-2022 and ISCII code pages and the
// symbol code page no flag at all is allowed. A refused call fails, and the
// text is lost. So each code page gets the strongest test it allows that a
// character could not be written.
#pragma once

namespace platform {

// The values of the Windows flags, for plain code.
constexpr unsigned long kWcNoBestFitChars = 0x400;   // WC_NO_BEST_FIT_CHARS
constexpr unsigned long kWcErrInvalidChars = 0x80;   // WC_ERR_INVALID_CHARS
constexpr unsigned long kMbErrInvalidChars = 0x8;    // MB_ERR_INVALID_CHARS
constexpr unsigned kCodePageUtf7 = 65000;
constexpr unsigned kCodePageUtf8 = 65001;

// A strict conversion from UTF-16 into `codePage` (a real code page, never
// CP_ACP: resolve it with GetACP() first).
struct WideToBytesCall {
  unsigned long flags = 0;
  // Pass lpUsedDefaultChar, and fail when it comes back true.
  bool askUsedDefault = false;
  // Convert the result back and fail when it differs: the only test left
  // where the code page takes neither the flags nor the pointer.
  bool roundTrip = false;
};
WideToBytesCall strictWideToBytes(unsigned codePage);

// The flags that make MultiByteToWideChar fail on bytes that are not valid
// in `codePage`; 0 where the code page allows no flag (there the caller
// converts back to tell).
unsigned long strictBytesToWideFlags(unsigned codePage);

// Whether the code page refuses every flag (and so any error flag).
bool codePageTakesNoFlags(unsigned codePage);

}  // namespace platform
