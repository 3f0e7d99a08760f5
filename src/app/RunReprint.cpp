#include "app/RunReprint.h"

#include <memory>

#include "mainwindow/HeadlessOperator.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintRequest.h"
#include "sending/DeviceLaneRunner.h"
#include "sending/LaneReprintSender.h"
#include "sending/ThreadedPrinterLanes.h"
#include "sending/TicketReprinter.h"
#include "startup/ExitStatus.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/OpenConnection.h"
#include "startup/SingleInstance.h"
#include "startup/StateFolder.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// A network printer gives up on a job well within this.
constexpr std::chrono::milliseconds kReprintLimit{30000};

}  // namespace

int RunReprint(const std::string& iniPath, const std::string& device, int n, std::ostream& out,
               std::ostream& err) {
    HeadlessOperator op(err);
    try {
        GeneralSetup setup = LoadGeneralSetup(iniPath, op, err);
        const std::string stateFolder = ResolveStateFolder(setup);
        const auto lock = SingleInstance::TryAcquire(iniPath);
        if (!lock) {
            WriteReprintRequest(stateFolder, device, n);
            out << "Reprint of '" << device << "' handed to the running server\n";
            return kExitNormal;
        }
        auto db = OpenConnection(setup);
        SystemClock clock;
        PrintLog log(setup.DrivePath, clock, setup.CodePage);
        ReprintStore store(stateFolder, log);
        const PosPrinterRegistry registry = PosPrinterRegistry::BesideSettings(setup);
        ThreadedPrinterLanes lanes(
            [&] { return std::make_unique<DeviceLaneRunner>(registry, log, &err, nullptr); });
        LaneReprintSender sender(lanes);
        TicketReprinter reprinter(*db, log, store, sender, setup.CodePage);
        if (!reprinter.Reprint(device, n)) {
            err << "kitchen-print-server: no ticket " << n << " of '" << device
                << "' is kept for a network or direct-port printer\n";
            return kExitNotReprinted;
        }
        lanes.Finish(kReprintLimit);
        const auto reports = lanes.TakeReports();
        if (reports.empty() || !reports.front().printed) {
            log.WriteLog("Error Reprint at '" + device + "'");
            return kExitNotReprinted;
        }
        out << "Reprinted the ticket on '" << device << "'\n";
        return kExitNormal;
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return kExitFatalError;
    }
}

}  // namespace kps
