#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "dialogs/HeadlessDivertPolicy.h"
#include "dialogs/TRDIVET.h"
#include "sending/PrintContext.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/PrintRig.h"
#include "support/RecordedDatabase.h"
#include "support/TestDatabase.h"
#include "tickets/KitchenNoticePass.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps::test {

// One notice row; a Null column is an empty text here.
struct NoticeRow {
    long id;
    std::string group;
    std::string from = "T1";
    std::string to = "T5";
    std::array<std::string, 5> remarks{};
    std::string date = "2026-12-07";
    std::string time = "22:05:09";
};

// A real outlet database with the notice pass and the table exchange ticket
// wired to fake printers, as the main window wires them.
class NoticeTestFixture : public ::testing::Test, protected RecordedDatabase, protected PrintRig {
  protected:
    explicit NoticeTestFixture(Backend backend = Backend::Sqlite);

    // Adds a device and reloads the window's device list. A direct port is
    // a file in the database's temporary folder unless it is given whole.
    void AddDevice(int code, const std::string& name, const std::string& type,
                   const std::string& directPort = "", const std::string& address = "127.0.0.1");
    void UpdateDevicePort(int code, const std::string& directPort);
    void AddGroup(const std::string& code, const std::string& flags);
    void AddGroupWithNullFlags(const std::string& code);
    void AddNotice(const NoticeRow& row);

    // One tick's printing: the lanes' reports settled, then the notice pass.
    void Tick();
    long PrintStatus(long id);
    long UpdatesOf(long id) const;
    std::string PortPath(const std::string& name) const { return database.Folder() + "/" + name; }

    HeadlessDivertPolicy host;
    TRDIVET dialog{sending, host, log, op};
    TicketSendingStep sending{ctx, lanes, dialog};
    KitchenTicketComposer composer{ctx, sending};
    PrintQueueDispatcher dispatcher{ctx, composer};
    KitchenNoticePass pass{ctx, dispatcher, sending};
};

}  // namespace kps::test
