#include "platform/text/win32_cp932.h"

#include <windows.h>

#include "platform/text/code_page_rules.h"

namespace platform {
namespace {

static_assert(kWcNoBestFitChars == WC_NO_BEST_FIT_CHARS);
static_assert(kWcErrInvalidChars == WC_ERR_INVALID_CHARS);
static_assert(kMbErrInvalidChars == MB_ERR_INVALID_CHARS);
static_assert(kCodePageUtf8 == CP_UTF8 && kCodePageUtf7 == CP_UTF7);

constexpr UINT kCp932 = 932;

// Flags 0 and no default-character pointers: allowed at every code page.
bool toWide(UINT codePage, DWORD flags, const char* bytes, int size, std::wstring& out) {
  out.clear();
  if (size == 0) return true;
  const int length = MultiByteToWideChar(codePage, flags, bytes, size, nullptr, 0);
  if (length <= 0) return false;
  out.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(codePage, flags, bytes, size, out.data(), length) == length;
}

bool lenientFromWide(UINT codePage, const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return false;
  out.resize(static_cast<size_t>(length));
  return WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), length, nullptr, nullptr) ==
         length;
}

// How many bytes the unreadable character at `at` spans, counted as the
// Linux build counts them, so that both builds make as many "?" of the same
// bytes: at a double-byte code page a lead byte takes the byte after it (the
// second byte of a cut pair is not a character of its own); at UTF-8 a lead
// byte takes as many of the continuation bytes its form promises as follow
// it (a cut sequence is one bad character, not one per byte).
size_t badCharacterLength(UINT codePage, const std::string& bytes, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(bytes[at]);
  size_t length = 1;
  if (codePage == CP_UTF8) {
    const size_t promised = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    while (length < promised && at + length < bytes.size() &&
           (static_cast<unsigned char>(bytes[at + length]) & 0xC0) == 0x80)
      ++length;
  } else if (IsDBCSLeadByteEx(codePage, lead) && at + 1 < bytes.size()) {
    length = 2;
  }
  return length;
}

}  // namespace

std::wstring wideFromBytes(unsigned codePage, const std::string& bytes) {
  std::wstring out;
  toWide(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out);
  return out;
}

bool bytesFromWide(unsigned codePage, const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  const WideToBytesCall call = strictWideToBytes(codePage);
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  BOOL* used = call.askUsedDefault ? &usedDefault : nullptr;
  const int length =
      WideCharToMultiByte(codePage, call.flags, text.data(), size, nullptr, 0, nullptr, used);
  if (length <= 0 || usedDefault) return false;
  out.resize(static_cast<size_t>(length));
  if (WideCharToMultiByte(codePage, call.flags, text.data(), size, out.data(), length, nullptr,
                          used) != length ||
      usedDefault) {
    out.clear();
    return false;
  }
  if (call.roundTrip && wideFromBytes(codePage, out) != text) {
    out.clear();
    return false;
  }
  return true;
}

std::wstring wideFromBytesMarkingBad(unsigned codePage, const std::string& bytes,
                                     wchar_t replacement) {
  const DWORD strict = strictBytesToWideFlags(codePage);
  std::wstring out;
  if (strict != 0 && toWide(codePage, strict, bytes.data(), static_cast<int>(bytes.size()), out))
    return out;
  // Character by character: the shortest run from here (at most four bytes)
  // that is one valid character; otherwise one bad character, as long as
  // badCharacterLength says.
  out.clear();
  size_t at = 0;
  while (at < bytes.size()) {
    size_t taken = 0;
    std::wstring piece;
    for (size_t length = 1; length <= 4 && at + length <= bytes.size() && taken == 0; ++length) {
      const int size = static_cast<int>(length);
      if (strict != 0) {
        if (toWide(codePage, strict, bytes.data() + at, size, piece) && piece.size() <= 2) taken = length;
      } else {
        // No error flag here: a character is valid when it converts back.
        std::string back;
        if (toWide(codePage, 0, bytes.data() + at, size, piece) && piece.size() <= 2 &&
            lenientFromWide(codePage, piece, back) && back == bytes.substr(at, length))
          taken = length;
      }
    }
    if (taken == 0) {
      out += replacement;
      at += badCharacterLength(codePage, bytes, at);
    } else {
      out += piece;
      at += taken;
    }
  }
  return out;
}

std::wstring wideFromCp932(const std::string& bytes) { return wideFromBytes(kCp932, bytes); }

bool cp932FromWide(const std::wstring& text, std::string& out) {
  return bytesFromWide(kCp932, text, out);
}

std::wstring wideFromAnsi(const std::string& bytes) { return wideFromBytes(GetACP(), bytes); }

bool ansiFromWide(const std::wstring& text, std::string& out) {
  return bytesFromWide(GetACP(), text, out);
}

std::wstring wideFromUtf8(const std::string& text) { return wideFromBytes(CP_UTF8, text); }

std::string utf8FromWide(const std::wstring& text) {
  std::string out;
  lenientFromWide(CP_UTF8, text, out);
  return out;
}

}  // namespace platform
