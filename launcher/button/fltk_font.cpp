#include "launcher/button/fltk_font.h"

#include <FL/Fl.H>

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "platform/runtime/fltk_runtime.h"

namespace button {
namespace {

// Windows faces and the fontconfig family shown in their place.
struct FaceMap {
  const char* windowsFace;
  const char* family;
};
const FaceMap kFaces[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
    {"IPA Pゴシック", "IPAPGothic"},   {"IPAPGothic", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"ＭＳ 明朝", "IPAMincho"},
};

std::string familyFor(const std::string& face) {
  if (face.empty()) return "IPAPGothic";
  for (const FaceMap& f : kFaces) {
    if (face == f.windowsFace) return f.family;
  }
  return face;
}

Fl_Font registerFamily(const std::string& family, bool bold, bool italic) {
  // The plain face is the launcher's user-interface font, which the runtime
  // registers; only other faces and styles get slots of their own here.
  if (family == "IPAPGothic" && !bold && !italic) return platform::uiFont();
  // FLTK keeps the name pointer, so names live as long as the process.
  static std::map<std::tuple<std::string, bool, bool>, std::pair<Fl_Font, std::string*>> registered;
  static Fl_Font next = FL_FREE_FONT;
  auto key = std::make_tuple(family, bold, italic);
  auto it = registered.find(key);
  if (it != registered.end()) return it->second.first;
  char style = bold ? (italic ? 'P' : 'B') : (italic ? 'I' : ' ');
  auto* name = new std::string(std::string(1, style) + family);
  Fl_Font slot = next++;
  Fl::set_font(slot, name->c_str());
  registered.emplace(key, std::make_pair(slot, name));
  return slot;
}

}  // namespace

Fl_Font ipaPGothicFont(bool bold, bool italic) { return registerFamily("IPAPGothic", bold, italic); }

Fl_Font fltkFont(const CaptionFont& font) {
  return registerFamily(familyFor(font.face), font.weight >= 600, font.italic);
}

Fl_Fontsize fltkFontSize(const CaptionFont& font) {
  long px = std::lround(font.size * 96.0 / 72.0);
  return static_cast<Fl_Fontsize>(px < 1 ? 1 : px);
}

}  // namespace button
