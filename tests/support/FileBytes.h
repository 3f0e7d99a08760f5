#pragma once

#include <string>

namespace kps::test {

// Replaces the file's content with `bytes`, unconverted.
void WriteBytes(const std::string& file, const std::string& bytes);

// The whole file as stored, or "" when it does not exist.
std::string ReadBytes(const std::string& file);

}  // namespace kps::test
