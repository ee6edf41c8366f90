// The persisted property set of a control: named values the dialog's layout
// data fills and the control reads on load and writes on save.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace button {

// A font object as the layout data describes it. Sizes are in points.
struct CaptionFont {
  std::string face = "ＭＳ Ｐゴシック";
  double size = 9.75;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 128;  // Shift-JIS

  bool operator==(const CaptionFont& o) const {
    return face == o.face && size == o.size && weight == o.weight && italic == o.italic &&
           underline == o.underline && strikeout == o.strikeout && charset == o.charset;
  }
  bool operator!=(const CaptionFont& o) const { return !(*this == o); }
};

using PropertyValue = std::variant<bool, int64_t, std::string, CaptionFont>;

class PropertyBag {
 public:
  using Entry = std::pair<std::string, PropertyValue>;

  // Stores a value as the layout data holds it (no default involved).
  void set(const std::string& name, PropertyValue value);

  // The stored value, or null when the set has no entry of that name.
  const PropertyValue* find(const std::string& name) const;

  // The stored value, or `fallback` when the entry is missing.
  PropertyValue read(const std::string& name, const PropertyValue& fallback) const;

  // Stores `value` under `name`, except that a value equal to its default is
  // left out (and an older entry of that name removed): a missing entry reads
  // back as the default anyway. A new name goes to the end, so a fresh set
  // keeps the order of writing.
  void write(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue);

  const std::vector<Entry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

 private:
  std::vector<Entry> entries_;
};

// Conversions of a stored value to a property's type. Each answers false when
// the value cannot be taken as that type (the load step is then skipped).
// Booleans are numbers -1 (true) and 0 (false); any nonzero number is true;
// texts may hold a whole decimal number (with blanks and a sign) or, for
// booleans, "True" / "False".
bool toInteger(const PropertyValue& value, int64_t& out);
bool toBool(const PropertyValue& value, bool& out);
bool toText(const PropertyValue& value, std::string& out);
bool toFont(const PropertyValue& value, CaptionFont& out);

}  // namespace button
