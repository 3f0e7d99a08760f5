#pragma once

#include <iostream>
#include <random>
#include <string>

namespace kps {

// --encrypt-password: reads one password line from `in` and scrambles it.
// With a settings file, the stored form is written as [GeneralSetup]
// Password in the file's code page and the rest of the file stays byte for
// byte; without one, the stored form is printed on `out` in UTF-8, as a
// terminal shows it. Returns the exit status; a problem goes to `err`.
int EncryptPasswordCommand(std::istream& in, std::ostream& out, std::ostream& err,
                           const std::string& settingsFile, std::mt19937& rng);

}  // namespace kps
