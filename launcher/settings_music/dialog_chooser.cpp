#include "launcher/settings_music/dialog_chooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>

#include <cctype>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/runtime/fltk_runtime.h"

namespace dialog {
namespace {

std::string anyCase(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80 && std::isalpha(u)) {
      out += '[';
      out += static_cast<char>(std::toupper(u));
      out += static_cast<char>(std::tolower(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

// While the chooser is up, FLTK's standard face is IPA P Gothic, so that the
// filter's name and Japanese file names show their glyphs; the old face comes
// back afterwards.
class ChooserFont {
 public:
  ChooserFont() : old_(Fl::get_font(FL_HELVETICA)) {
    Fl::set_font(FL_HELVETICA, Fl::get_font(platform::uiFont()));
  }
  ~ChooserFont() {
    if (old_) Fl::set_font(FL_HELVETICA, old_);
  }
  ChooserFont(const ChooserFont&) = delete;
  ChooserFont& operator=(const ChooserFont&) = delete;

 private:
  const char* old_;
};

}  // namespace

std::string startFolder(const std::string& currentFile) {
  size_t slash = currentFile.rfind('/');
  if (slash != std::string::npos) {
    std::string folder = slash == 0 ? "/" : currentFile.substr(0, slash);
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return folder;
  }
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string chooserFilter(const std::string& description, const std::string& patterns) {
  std::string name;
  for (char c : description) {
    if (c == '(') {
      name += "（";
    } else if (c == ')') {
      name += "）";
    } else if (c != '\t' && c != '\n') {
      name += c;
    }
  }
  std::string alternatives;
  int count = 0;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string one = patterns.substr(start, end - start);
    if (!one.empty()) {
      if (count++) alternatives += ',';
      alternatives += anyCase(one);
    }
    start = end + 1;
  }
  if (count == 0) alternatives = "*";
  else if (count > 1) alternatives = "{" + alternatives + "}";
  return name + "\t" + alternatives;
}

bool chooseMusicFile(const std::string& startPath, std::string& path) {
  if (!platform::display()) return false;
  // The GTK chooser would stop FLTK's timers (the buttons' pointer watches)
  // while it is open.
  Fl::option(Fl::OPTION_FNFC_USES_GTK, false);
  ChooserFont font;
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
  chooser.title(kChooserTitle);
  const std::string filter = chooserFilter(kFilterDescription, kFilterPatterns);
  chooser.filter(filter.c_str());
  // NEW_FOLDER lets FLTK's chooser accept a typed name of a file that does
  // not exist yet, as the open dialog has always done.
  chooser.options(Fl_Native_File_Chooser::NEW_FOLDER);
  const std::string folder = startFolder(startPath);
  if (!folder.empty()) chooser.directory(folder.c_str());
  if (chooser.show() != 0) return false;
  const char* chosen = chooser.filename();
  if (!chosen || !*chosen) return false;
  path = chosen;
  return true;
}

}  // namespace dialog
