#include "launcher/button/property_bag.h"

#include <cctype>
#include <limits>

namespace button {

void PropertyBag::set(const std::string& name, PropertyValue value) {
  for (Entry& e : entries_) {
    if (e.first == name) {
      e.second = std::move(value);
      return;
    }
  }
  entries_.emplace_back(name, std::move(value));
}

const PropertyValue* PropertyBag::find(const std::string& name) const {
  for (const Entry& e : entries_) {
    if (e.first == name) return &e.second;
  }
  return nullptr;
}

PropertyValue PropertyBag::read(const std::string& name, const PropertyValue& fallback) const {
  const PropertyValue* v = find(name);
  return v ? *v : fallback;
}

void PropertyBag::write(const std::string& name, const PropertyValue& value,
                        const PropertyValue& defaultValue) {
  if (value == defaultValue) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->first == name) {
        entries_.erase(it);
        break;
      }
    }
    return;
  }
  set(name, value);
}

namespace {

std::string trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

bool equalsNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == 0;
}

bool parseWhole(const std::string& text, int64_t& out) {
  std::string s = trimmed(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    if (v > (std::numeric_limits<int64_t>::max() - 9) / 10) return false;
    v = v * 10 + (s[i] - '0');
  }
  out = negative ? -v : v;
  return true;
}

}  // namespace

bool toInteger(const PropertyValue& value, int64_t& out) {
  if (auto b = std::get_if<bool>(&value)) {
    out = *b ? -1 : 0;
    return true;
  }
  if (auto i = std::get_if<int64_t>(&value)) {
    out = *i;
    return true;
  }
  if (auto s = std::get_if<std::string>(&value)) return parseWhole(*s, out);
  return false;
}

bool toBool(const PropertyValue& value, bool& out) {
  if (auto s = std::get_if<std::string>(&value)) {
    std::string t = trimmed(*s);
    if (equalsNoCase(t, "true")) return out = true, true;
    if (equalsNoCase(t, "false")) return out = false, true;
  }
  int64_t n = 0;
  if (!toInteger(value, n)) return false;
  out = n != 0;
  return true;
}

bool toText(const PropertyValue& value, std::string& out) {
  if (auto s = std::get_if<std::string>(&value)) {
    out = *s;
    return true;
  }
  if (auto b = std::get_if<bool>(&value)) {
    out = *b ? "True" : "False";
    return true;
  }
  if (auto i = std::get_if<int64_t>(&value)) {
    out = std::to_string(*i);
    return true;
  }
  return false;
}

bool toFont(const PropertyValue& value, CaptionFont& out) {
  if (auto f = std::get_if<CaptionFont>(&value)) {
    out = *f;
    return true;
  }
  return false;
}

}  // namespace button
