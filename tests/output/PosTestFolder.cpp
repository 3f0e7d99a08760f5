#include "PosTestFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kps::test {

PosTestFolder::PosTestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kps-pos-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

PosTestFolder::~PosTestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string PosTestFolder::Write(const std::string& name, const std::string& text) const {
    const std::string file = (std::filesystem::path(path_) / name).string();
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string PosTestFolder::Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kps::test
