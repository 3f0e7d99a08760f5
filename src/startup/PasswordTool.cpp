#include "startup/PasswordTool.h"

#include <filesystem>

#include "startup/EncryptText.h"
#include "startup/ExitStatus.h"
#include "startup/IniValueWriter.h"
#include "startup/LoadGeneralSetup.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {

int EncryptPasswordCommand(std::istream& in, std::ostream& out, std::ostream& err,
                           const std::string& settingsFile, std::mt19937& rng) {
    std::string password;
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    try {
        if (settingsFile.empty()) {
            out << FromCodePage(EncryptText(password, rng), 1252) << "\n";
            return kExitNormal;
        }
        std::error_code ec;
        if (!std::filesystem::is_regular_file(settingsFile, ec)) {
            throw KpsError(kErrFile, "No settings file at " + settingsFile);
        }
        const int codePage = SettingsCodePage(settingsFile);
        WriteIniValue(settingsFile, "GeneralSetup", "Password",
                      EncryptText(password, rng, codePage));
        err << "Password written to " << settingsFile << "\n";
        return kExitNormal;
    } catch (const KpsError& error) {
        err << "kitchen-print-server: " << error.Description() << "\n";
        return kExitCommandLine;
    }
}

}  // namespace kps
