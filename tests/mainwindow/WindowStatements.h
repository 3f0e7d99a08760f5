#pragma once

#include <string>

#include "mainwindow/ScriptedConnection.h"

namespace kps::test {

// The main window's three statements, written out as the database gets them.
inline const std::string kDeviceSql =
    "Select a.PrinterType as PrintingType,* from kelt_mt_Device as a left outer join "
    "kelt_mt_printerModel as b on b.printercode=a.printercode order by a.Devicecode";
inline const std::string kItemsSql =
    "select * from kelt_trs_printingdetails as a left outer join mrex_mt_item as b on "
    "b.itemcode=a.itemcode Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType  "
    "left outer join kelt_mt_printergroup as D on D.PrinterGroupCode=b.RefPrinterGroupCode WHERE "
    "A.PrintStatus=0 order by id";
inline const std::string kNoticesSql =
    "select * from kelt_trs_printkitchen as a left outer join kelt_mt_printergroup as b on "
    "b.printergroupcode=a.printergroupcode WHERE a.PrintStatus=0";

// Empty answers to the three statements.
inline void AddEmptyWindowTables(ScriptedConnection& db) {
    db.tables[kDeviceSql] = {{"PrintingType", "DeviceCode", "DeviceName"}, {}};
    db.tables[kItemsSql] = {{"ID", "TableCode", "ServiceType", "BillNo", "PosDescription",
                             "Quantity", "PrinterGroupCode"},
                            {}};
    db.tables[kNoticesSql] = {{"ID", "PrinterGroupCode"}, {}};
}

}  // namespace kps::test
