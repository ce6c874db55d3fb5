#pragma once
// A fresh folder under the temporary directory, removed with everything in it at the end.

#include <string>

namespace kest::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(TempFolder const&) = delete;
  TempFolder& operator=(TempFolder const&) = delete;

  std::string const& path() const { return path_; }
  std::string file(std::string const& name) const { return path_ + "\\" + name; }

  // Returns the full path of the file written.
  std::string write(std::string const& name, std::string const& contents) const;

 private:
  std::string path_;
};

// Empty when the file cannot be read.
std::string readFile(std::string const& path);

// The build's bin folder (the library, the helper programs), with a closing backslash.
std::string programFolder();

}  // namespace kest::test
