#include "app/PrintServer.h"

namespace kps {

PrintServer::PrintServer(StartupResult& started, const ServerPorts& ports, std::ostream& notices)
    : setup_(started.setup),
      db_(*started.db),
      log_(setup_.DrivePath, clock_, setup_.CodePage, &notices, setup_.LogKeepDays),
      registry_(PosPrinterRegistry::BesideSettings(setup_)),
      pinger_(9100, &notices),
      mainPrinter_(registry_),
      divertPrinter_(registry_),
      opos_(mainPrinter_, pinger_, ports.pause, log_, ports.op),
      form_(db_, clock_, ports.op, ticket_, ports.timer, started.RefOutlet),
      context_{db_,   log_,   clock_,  ports.op, form_,   ports.systemPrinter,
               opos_, codes_, device_, ticket_,  divert_, setup_.CodePage},
      dialog_(divertPrinter_, pinger_, ports.pause, log_, ports.op, codes_, divert_),
      sending_(context_, dialog_, ports.divertHost),
      composer_(context_, sending_),
      dispatcher_(context_, composer_),
      notices_(context_, dispatcher_),
      passes_(dispatcher_, notices_) {
    log_.RemoveOldFiles();
}

}  // namespace kps
