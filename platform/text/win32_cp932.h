// Text conversions for what the launcher shows on Windows. The launcher's
// texts are code-page-932 (Shift-JIS) bytes or UTF-8; Windows shows them
// through the wide-character functions, so they read correctly whatever the
// system's ANSI code page is. Windows only (MultiByteToWideChar and
// WideCharToMultiByte), called only in the ways each code page allows
// (code_page_rules.h), so they work at code page 65001 too.
#pragma once

#include <string>

namespace platform {

// UTF-16 from bytes in `codePage`; an invalid byte becomes the code page's
// default character (U+30FB at 932), as the system's conversion has it.
std::wstring wideFromBytes(unsigned codePage, const std::string& bytes);
// Bytes in `codePage` from UTF-16. False (and `out` empty) when a character
// has no form there (no best fit: "∞" is not "8").
bool bytesFromWide(unsigned codePage, const std::wstring& text, std::string& out);

// UTF-16 from bytes in `codePage`, each character that is not valid there
// becoming one `replacement` (so a real U+30FB stays what it is).
std::wstring wideFromBytesMarkingBad(unsigned codePage, const std::string& bytes,
                                     wchar_t replacement);

// Code page 932.
std::wstring wideFromCp932(const std::string& bytes);
bool cp932FromWide(const std::wstring& text, std::string& out);

// The same for the system's ANSI code page (GetACP()), in which the music
// path is stored and handed to the multimedia functions.
std::wstring wideFromAnsi(const std::string& bytes);
bool ansiFromWide(const std::wstring& text, std::string& out);

// UTF-8, the form of the launcher's own texts in its sources. A lone
// surrogate becomes U+FFFD.
std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

}  // namespace platform
