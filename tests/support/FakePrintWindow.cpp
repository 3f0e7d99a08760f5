#include "support/FakePrintWindow.h"

namespace kps::test {

FakePrintWindow::FakePrintWindow(Connection& db, bool individualMode)
    : individualMode(individualMode),
      deviceList_(db.OpenRecordset(
          "Select a.PrinterType as PrintingType,* from kelt_mt_Device as a"
          " left outer join kelt_mt_printerModel as b on b.printercode=a.printercode"
          " order by a.Devicecode")),
      pendingNotices_(db.OpenRecordset(
          "select * from kelt_trs_printkitchen as a"
          " left outer join kelt_mt_printergroup as b on b.printergroupcode=a.printergroupcode"
          " WHERE a.PrintStatus=0")) {}

}  // namespace kps::test
