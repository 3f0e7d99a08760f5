#pragma once

#include <string>
#include <vector>

namespace kps::bench {

// Runs a program to its end with standard input from /dev/null and standard
// output to `output` (appended; standard error goes there too). Returns its
// exit status, or 128 + the signal that ended it.
int RunProgram(const std::vector<std::string>& args, const std::string& output = "/dev/null");

// Same, but a status other than 0 is an error that names the program.
void RunProgramOrThrow(const std::vector<std::string>& args,
                       const std::string& output = "/dev/null");

}  // namespace kps::bench
