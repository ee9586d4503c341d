#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it when
// the object goes away. Paths are UTF-16 so tests can hand them straight to the program.
#include <filesystem>
#include <string>

#include "common/text.h"

namespace bcnk::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    Text text() const { return path_.u16string(); }
    // A path inside the directory, as Text.
    Text File(const std::u16string& name) const { return (path_ / name).u16string(); }

  private:
    std::filesystem::path path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's contents with exactly these bytes.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace bcnk::test
