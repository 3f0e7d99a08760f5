#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/DivertDialogHost.h"
#include "dialogs/DivertDialogView.h"
#include "dialogs/TRDIVET.h"
#include "sending/PrintContext.h"
#include "sending/TicketSendingStep.h"
#include "support/Fakes.h"
#include "support/PrintRig.h"
#include "support/RecordingConnection.h"
#include "support/TestDatabase.h"
#include "support/TextStatement.h"

namespace kps::test {

// Stands for the operator: keeps what the dialog held when it was shown; the
// test presses the buttons.
class ScriptedDivertHost final : public DivertDialogHost, private DivertDialogView {
  public:
    void Show(TRDIVET& dialog) override;
    bool KeepAsking(TRDIVET&) override { return keepAsking; }
    void Hide(TRDIVET&) override { ++hidden; }

    bool keepAsking = true;
    int shown = 0;
    int hidden = 0;
    std::string openedLabel;
    std::string printerName, address, ownPrinter;

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
    std::unique_ptr<Statement> Prepare(const std::string& sql) override {
        return std::make_unique<TextStatement>(*this, sql);
    }
    void BeginTransaction() override { inner_.BeginTransaction(); }
    void CommitTransaction() override { inner_.CommitTransaction(); }
    void RollbackTransaction() override { inner_.RollbackTransaction(); }
    std::string DbmsName() const override { return inner_.DbmsName(); }

    std::string failOnce;

  private:
    Connection& inner_;
};

// A SQLite outlet whose updates are recorded and may be made to fail; a base
// of the fixture so the connection exists before the PrintRig using it.
struct SendingDatabase {
    TestDatabase database;
    RecordingConnection recorded{database.Db()};
    FailingConnection db{recorded};
};

// A SQLite outlet with printing rows 1..3 (bill rows 11..13) waiting, and a
// ticket of two lines for printer K1 at 127.0.0.1, whose divert printer is
// device 2, K2 at 127.0.0.2.
class SendingFixture : public ::testing::Test, protected SendingDatabase, protected PrintRig {
  protected:
    SendingFixture();

    void AddDevice(int code, const std::string& name, const std::string& address);
    void ComposeTicket(const std::string& printingType,
                       std::vector<std::string> ids = {"1", "2", "3"},
                       const std::string& deviceName = "K1");
    long PrintStatus(long id);
    long KitchenStatus(long id);
    std::string PortPath(const std::string& name) const { return database.Folder() + "/" + name; }

    ScriptedDivertHost host;
    TRDIVET dialog{sending, host, log, op};
    TicketSendingStep sending{ctx, lanes, dialog};
};

}  // namespace kps::test
