#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RecordingConnection.h"
#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"
#include "dialogs/TRDIVET.h"
#include "output/OposPrinterRoutines.h"
#include "printing/PrintContext.h"
#include "printing/TicketSendingStep.h"
#include "support/FakePrintWindow.h"
#include "support/Fakes.h"
#include "support/TestDatabase.h"

namespace kps::test {

// Stands for the operator: presses the dialog's buttons in the given order and
// keeps what the dialog held when it was shown.
class ScriptedDivertHost final : public DivertDialogHost, private DivertDialogView {
  public:
    void ShowModal(TRDIVET& dialog) override;

    std::vector<std::function<void(TRDIVET&)>> presses;
    int shown = 0;
    std::string openedLabel;
    std::string lastLabel;
    std::string printerName, address, ownPrinter;
    std::vector<std::string> lines, printingIds, billIds;

  private:
    int SetWindowTopmost(bool topmost) override { return topmost ? 1 : 0; }
    void Repaint() override {}
};

// Throws a statement error, once, for the statement given.
class FailingConnection final : public Connection {
  public:
    explicit FailingConnection(Connection& inner) : inner_(inner) {}
    void Execute(const std::string& sql) override;
    ResultTable Query(const std::string& sql) override { return inner_.Query(sql); }

    std::string failOnce;

  private:
    Connection& inner_;
};

// A SQLite outlet with printing rows 1..3 (bill rows 11..13) waiting, and a
// ticket of two lines for printer K1 at 127.0.0.1, whose divert printer is
// device 2, K2 at 127.0.0.2.
class SendingFixture : public ::testing::Test {
  protected:
    SendingFixture();

    void AddDevice(int code, const std::string& name, const std::string& address);
    void ComposeTicket(const std::string& printingType,
                       std::vector<std::string> ids = {"1", "2", "3"});
    long PrintStatus(long id);
    long KitchenStatus(long id);
    std::string LogText() const;
    std::string PortPath(const std::string& name) const { return database.Folder() + "/" + name; }

    TestDatabase database;
    RecordingConnection recorded{database.Db()};
    FailingConnection db{recorded};
    FakeClock clock;
    PrintLog log{database.Folder(), clock};
    FakeOperator op;
    FakePrintWindow window{db};
    FakeSystemPrinter systemPrinter;
    FakePosPrinter posPrinter;
    FakePosPrinter divertPrinter;
    FakePinger pinger;
    FakeWaitPause pause;
    OposPrinterRoutines opos{posPrinter, pinger, pause, log, op};
    PrinterCodes codes;
    PrintDeviceSetting device;
    TicketBuffers ticket;
    DivertState divert;
    PrintContext ctx{db,   log,   clock,  op,     window, systemPrinter,
                     opos, codes, device, ticket, divert};
    TRDIVET dialog{divertPrinter, pinger, pause, log, op, codes, divert};
    ScriptedDivertHost host;
    TicketSendingStep sending{ctx, dialog, host};
};

}  // namespace kps::test
