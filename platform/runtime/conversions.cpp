#include "platform/runtime/conversions.h"
#include "platform/runtime/runtime.h"

#include <charconv>
#include <cmath>

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// std::from_chars never consults the locale, unlike strtod.
bool decimalToDouble(const std::string& text, double& out) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  double value = 0;
  auto result = std::from_chars(first, last, value);
  if (result.ec != std::errc() || result.ptr != last) return false;
  out = value;
  return true;
}

}  // namespace

std::string numberText(long long value) {
  std::string digits = std::to_string(value);
  return value >= 0 ? " " + digits : digits;
}

double leadingNumber(const std::string& text) {
  std::string clean;
  bool seenPoint = false;
  bool seenDigit = false;
  for (char c : text) {
    if (isBlank(c) || c == '\r' || c == '\n') continue;
    if (clean.empty() && (c == '+' || c == '-')) {
      clean += c;
      continue;
    }
    if (isDigit(c)) {
      clean += c;
      seenDigit = true;
    } else if (c == '.' && !seenPoint) {
      clean += c;
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!seenDigit) return 0;
  bool negative = clean[0] == '-';
  if (clean[0] == '+' || clean[0] == '-') clean.erase(0, 1);
  double value = 0;
  if (!decimalToDouble(clean, value)) return 0;  // only on overflow of a huge digit run
  return negative ? -value : value;
}

bool parseNumber(const std::string& text, double& value) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  std::string number;
  size_t i = begin;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t digits = 0;
  bool seenPoint = false;
  for (; i < end; ++i) {
    char c = text[i];
    if (isDigit(c)) {
      ++digits;
      number += c;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      number += c;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < end && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    number += 'e';
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
      if (text[i] == '-') number += '-';
      ++i;
    }
    size_t exponentDigits = 0;
    for (; i < end && isDigit(text[i]); ++i, ++exponentDigits) number += text[i];
    if (exponentDigits == 0) return false;
  }
  if (i != end) return false;
  double parsed = 0;
  if (!decimalToDouble(number, parsed) || !std::isfinite(parsed)) return false;
  value = negative ? -parsed : parsed;
  return true;
}

double roundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double below = std::floor(value);
  double fraction = value - below;
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

bool toInt16Rounded(double value, int16_t& out) {
  double rounded = roundHalfEven(value);
  if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) return false;  // NaN fails too
  out = static_cast<int16_t>(rounded);
  return true;
}

bool toInt32Rounded(double value, int32_t& out) {
  double rounded = roundHalfEven(value);
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return false;
  out = static_cast<int32_t>(rounded);
  return true;
}

std::string formatHashes(long long value) { return value == 0 ? std::string() : std::to_string(value); }

// The dots per inch of an X screen (runtime.h): plain code, so it is here.
double logicalDpi(const char* xftDpi, int pixels, int millimetres) {
  double dpi = 0;
  if (xftDpi && parseNumber(xftDpi, dpi) && (dpi >= 24 && dpi <= 960)) return std::round(dpi);
  if (pixels > 0 && millimetres > 0) {
    dpi = pixels * 25.4 / millimetres;
    if ((dpi >= 24 && dpi <= 960)) return std::round(dpi);
  }
  return 96;
}

}  // namespace platform
