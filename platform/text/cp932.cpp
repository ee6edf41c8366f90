#include "platform/text/cp932.h"

#include <windows.h>

namespace platform {
namespace {

constexpr UINT kCp932 = 932;

std::wstring toWide(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), length);
  return out;
}

// `strict`: a character without a form in the code page fails the whole
// conversion instead of becoming a default character.
bool fromWide(UINT codePage, const std::wstring& text, std::string& out, bool strict) {
  out.clear();
  if (text.empty()) return true;
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  // UTF-8 takes neither a default character nor the flag.
  BOOL* flag = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, flag);
  if (length <= 0 || (strict && usedDefault)) return false;
  out.resize(static_cast<size_t>(length));
  WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, nullptr, nullptr);
  return true;
}

}  // namespace

std::wstring wideFromCp932(const std::string& bytes) { return toWide(kCp932, bytes); }

bool cp932FromWide(const std::wstring& text, std::string& out) {
  if (fromWide(kCp932, text, out, true)) return true;
  out.clear();
  return false;
}

std::wstring wideFromAnsi(const std::string& bytes) { return toWide(CP_ACP, bytes); }

bool ansiFromWide(const std::wstring& text, std::string& out) {
  if (fromWide(CP_ACP, text, out, true)) return true;
  out.clear();
  return false;
}

std::wstring wideFromUtf8(const std::string& text) { return toWide(CP_UTF8, text); }

std::string utf8FromWide(const std::wstring& text) {
  std::string out;
  fromWide(CP_UTF8, text, out, false);
  return out;
}

}  // namespace platform
