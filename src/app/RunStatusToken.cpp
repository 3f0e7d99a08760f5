#include "app/RunStatusToken.h"

#include "mainwindow/HeadlessOperator.h"
#include "startup/ExitStatus.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/StateFolder.h"
#include "status/StatusToken.h"
#include "text/KpsError.h"

namespace kps {

int RunStatusToken(const std::string& iniPath, std::ostream& out, std::ostream& err) {
    HeadlessOperator op(err);
    try {
        const GeneralSetup setup = LoadGeneralSetup(iniPath, op, err);
        const std::string folder = ResolveStateFolder(setup);
        const std::optional<std::string> token = ReadStatusToken(folder);
        if (!token) {
            err << "kitchen-print-server: no status token in " << folder
                << ": the server makes it when it starts with a StatusAddress\n";
            return kExitFatalError;
        }
        out << *token << "\n";
        if (!setup.StatusAddress.empty()) {
            out << "http://" << setup.StatusAddress << "/?token=" << *token << "\n";
        }
        return kExitNormal;
    } catch (const KpsError& error) {
        err << "kitchen-print-server: " << error.Description() << "\n";
        return kExitFatalError;
    }
}

}  // namespace kps
