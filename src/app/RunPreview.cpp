#include "app/RunPreview.h"

#include <filesystem>
#include <fstream>

#include "mainwindow/HeadlessOperator.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/MDIForm1.h"
#include "output/PosPrinterRegistry.h"
#include "startup/ExitStatus.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/MasterData.h"
#include "startup/OpenConnection.h"
#include "text/KpsError.h"

namespace kps {

int RunPreview(const std::string& iniPath, const std::string& device, const std::string& outFolder,
               PreviewPainter* painter, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    HeadlessOperator op(err);
    try {
        GeneralSetup setup = LoadGeneralSetup(iniPath, op, err);
        auto db = OpenConnection(setup);
        const std::string refOutlet = LoadOutlet(*db, setup);
        fs::create_directories(outFolder);
        SystemClock clock;
        PrintLog log(outFolder, clock, setup.CodePage);
        HeadlessPollTimer timer;
        TicketBuffers ticket;
        MDIForm1 form(*db, clock, op, ticket, timer, refOutlet);
        form.Load();
        const PosPrinterRegistry printers = PosPrinterRegistry::BesideSettings(setup);
        const auto tickets = PreviewPrintQueue(*db, log, clock, op, form, setup.CodePage,
                                               setup.SettingsFolder(), &printers);
        int number = 0;
        for (const PreviewTicket& previewed : tickets) {
            ++number;
            if (!device.empty() && previewed.job.device != device) {
                continue;
            }
            const fs::path stem = fs::path(outFolder) / PreviewFileStem(previewed, number);
            const std::string textFile = stem.string() + ".txt";
            std::ofstream(textFile, std::ios::binary) << PreviewText(previewed);
            out << textFile << "\n";
            const std::string picture = stem.string() + ".png";
            if (painter != nullptr && painter->SavePicture(previewed, picture)) {
                out << picture << "\n";
            }
        }
        if (number == 0) {
            out << "Nothing waits to print.\n";
        }
        return kExitNormal;
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return kExitFatalError;
    } catch (const std::exception& error) {
        err << "kitchen-print-server: " << error.what() << "\n";
        return kExitFatalError;
    }
}

}  // namespace kps
