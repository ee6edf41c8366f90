// A temporary folder for tests that work on real files, and a way to run a
// piece of a test without root's power to ignore file permissions.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, sorted.
  std::string listing() const;

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
mode_t fileMode(const std::string& path);

// Runs `body` in a child process as an ordinary user (nobody) when the tests
// run as root, else in this process; returns what `body` returned. Files the
// body needs must be reachable by that user.
bool runWithoutPrivileges(const std::function<bool()>& body);
