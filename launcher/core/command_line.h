// The screen-saver command line: which mode, and the preview's host window.
#pragma once

#include <cstdint>
#include <string>

// The mode letter: the second character of the command line, upper-cased
// (ASCII letters only); empty when the line has fewer than two characters.
// The first character, whatever it is, is never looked at. Characters are
// UTF-8 sequences, so a non-ASCII first character still counts as one.
//   "/p 1234" -> "P", "-c" -> "C", "/S" -> "S", "s" -> "", "" -> "".
std::string modeLetterOf(const std::string& commandLine);

// The preview's host window number: the command line from its fourth
// character on, read as a number from its leading digits (blanks skipped,
// a fraction rounded to the nearest whole number with halves to even) into
// a signed 32-bit value; no digits, or a number beyond 32 bits, give 0.
//   "/p 1234" -> 1234, "/p:1234" -> 1234, "/p1234" -> 234, "/p" -> 0.
int32_t hostWindowNumberOf(const std::string& commandLine);
