// Text conversions for what the launcher shows on Windows. The launcher's
// texts are code-page-932 (Shift-JIS) bytes or UTF-8; Windows shows them
// through the wide-character functions, so they read correctly whatever the
// system's ANSI code page is. Windows only (MultiByteToWideChar and
// WideCharToMultiByte).
#pragma once

#include <string>

namespace platform {

// UTF-16 from code-page-932 bytes; an invalid byte becomes U+30FB as the
// system's conversion has it (never an error).
std::wstring wideFromCp932(const std::string& bytes);
// Code-page-932 bytes from UTF-16. False (and `out` empty) when a character
// has no code-page-932 form.
bool cp932FromWide(const std::wstring& text, std::string& out);

// The same for the system's ANSI code page (GetACP()), in which the music
// path is stored and handed to the multimedia functions.
std::wstring wideFromAnsi(const std::string& bytes);
bool ansiFromWide(const std::wstring& text, std::string& out);

// UTF-8, the form of the launcher's own texts in its sources.
std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

}  // namespace platform
