#pragma once

#include <string>

namespace kps::test {

// A fresh temporary folder for one test, removed with the object.
class PosTestFolder {
  public:
    PosTestFolder();
    ~PosTestFolder();
    PosTestFolder(const PosTestFolder&) = delete;
    PosTestFolder& operator=(const PosTestFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Writes `text` to the file `name` in the folder; returns its path.
    std::string Write(const std::string& name, const std::string& text) const;

    // The whole file, or "" when it does not exist.
    static std::string Read(const std::string& file);

  private:
    std::string path_;
};

}  // namespace kps::test
