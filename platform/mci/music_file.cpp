#include "platform/mci/music_file.h"

#include <SDL.h>

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::mci {

bool isRegularFile(const std::string& path, bool blockDeviceToo) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0) return false;
  return S_ISREG(info.st_mode) || (blockDeviceToo && S_ISBLK(info.st_mode));
}

std::FILE* openRegularFile(const std::string& path, uint64_t sizeLimit, uint64_t* size) {
  if (path.empty()) return nullptr;
  // O_NONBLOCK: opening a named pipe with no writer would wait for ever.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      (sizeLimit > 0 && static_cast<uint64_t>(info.st_size) > sizeLimit)) {
    close(fd);
    return nullptr;
  }
  // Reads of a regular file never wait on a writer; the flag only mattered
  // for the open.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (!file) {
    close(fd);
    return nullptr;
  }
  if (size) *size = static_cast<uint64_t>(info.st_size);
  return file;
}

SDL_RWops* openRegularFileRW(const std::string& path, uint64_t sizeLimit, uint64_t* size) {
  std::FILE* file = openRegularFile(path, sizeLimit, size);
  if (!file) return nullptr;
  SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
  if (!stream) std::fclose(file);
  return stream;
}

std::vector<std::string> sheetDataFiles(const std::string& sheetText) {
  std::vector<std::string> files;
  size_t pos = 0;
  while (pos < sheetText.size()) {
    size_t end = sheetText.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = sheetText.size();
    const std::string line = sheetText.substr(pos, end - pos);
    pos = end + 1;
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) continue;
    size_t wordEnd = line.find_first_of(" \t", at);
    if (wordEnd == std::string::npos) continue;
    std::string word = line.substr(at, wordEnd - at);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word != "FILE" && word != "DATAFILE" && word != "AUDIOFILE") continue;
    at = line.find_first_not_of(" \t", wordEnd);
    if (at == std::string::npos) continue;
    std::string name;
    if (line[at] == '"') {
      size_t close = line.find('"', at + 1);
      if (close == std::string::npos) continue;
      name = line.substr(at + 1, close - at - 1);
    } else {
      size_t nameEnd = line.find_first_of(" \t", at);
      name = line.substr(at, nameEnd == std::string::npos ? std::string::npos : nameEnd - at);
    }
    if (!name.empty()) files.push_back(name);
  }
  return files;
}

bool isSafeCdSource(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0) return false;
  if (S_ISBLK(info.st_mode)) return true;
  if (!S_ISREG(info.st_mode)) return false;
  // An image's sheet names the files with the sound; those are opened by
  // the disc library too, so each must be a regular file as well. Sheets
  // are small; the start of a large binary image names nothing.
  std::FILE* sheet = openRegularFile(path, 0);
  if (!sheet) return false;
  std::string text(64 * 1024, '\0');
  text.resize(std::fread(&text[0], 1, text.size(), sheet));
  std::fclose(sheet);
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  for (const std::string& name : sheetDataFiles(text)) {
    for (const std::string& candidate : {name[0] == '/' ? name : folder + name, name}) {
      struct stat data {};
      if (stat(candidate.c_str(), &data) == 0 && !S_ISREG(data.st_mode)) return false;
    }
  }
  return true;
}

}  // namespace platform::mci
