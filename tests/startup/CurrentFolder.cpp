#include "CurrentFolder.h"

#include <system_error>

namespace kps::test {

CurrentFolder::CurrentFolder(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

}  // namespace kps::test
