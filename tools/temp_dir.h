// A temporary folder and whole-file reading and writing, for the tests, the benchmarks and the
// fuzzers: nothing here needs an X server.
#pragma once

#include <string>

namespace tobrin_test {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

}  // namespace tobrin_test
