#include "startup/MasterData.h"

#include <filesystem>

#include "database/Recordset.h"
#include "startup/FlagText.h"
#include "startup/LayoutFilePath.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

// The error number of a Null read where text is required.
constexpr long kErrInvalidUseOfNull = 94;

}  // namespace

std::string LoadOutlet(Connection& db, const GeneralSetup& setup) {
    const std::string sql =
        setup.systemtype == "HQ"
            ? "SELECT * from Kelt_mt_Outlet WHERE OutletCode='" + SqlQuote(setup.OutletCode) + "'"
            : std::string("SELECT * from Kelt_mt_Outlet");
    auto outlets = db.OpenRecordset(sql);
    std::string refOutlet;
    if (!outlets->IsEOF()) {
        refOutlet = outlets->Field("RefOutlet").AsText();
    }
    outlets->Close();
    return refOutlet;
}

std::string LoadPrinterGroups(Connection& db, const std::string& settingsFolder) {
    std::string missing;
    auto groups = db.OpenRecordset("SELECT * from Kelt_mt_PrinterGroup");
    for (; !groups->IsEOF(); groups->MoveNext()) {
        const Value& flags = groups->Field("RefPrinterGroup");
        if (flags.IsNull()) {
            throw KpsError(kErrInvalidUseOfNull,
                           "Invalid use of Null: RefPrinterGroup of printer group '" +
                               groups->Field("PrinterGroupCode").AsText() + "'");
        }
        for (int position : FlaggedPositions(flags.AsText())) {
            CheckDeviceLayout(db, std::to_string(position), settingsFolder, missing);
        }
    }
    groups->Close();
    return missing;
}

void CheckDeviceLayout(Connection& db, const std::string& deviceCode,
                       const std::string& settingsFolder, std::string& missing) {
    auto device =
        db.OpenRecordset("SELECT * from Kelt_mt_Device where DeviceCode='" + deviceCode + "'");
    if (!device->IsEOF()) {
        const Value& fileName = device->Field("Wp_FileName");
        if (fileName.IsNull()) {
            throw KpsError(kErrInvalidUseOfNull,
                           "Invalid use of Null: Wp_FileName of device " + deviceCode);
        }
        std::error_code ec;
        if (!std::filesystem::exists(FindLayoutFile(fileName.AsText(), settingsFolder), ec)) {
            missing += device->Field("DeviceName").AsText() + ",";
        }
    }
    device->Close();
}

}  // namespace kps
