// The lanes' records in the database: written before a job's first byte on
// a connection of their own, cleared in the transaction that marks the
// ticket printed; a job whose record cannot be written is not sent.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "sending/JournalWriter.h"
#include "sending/PrintJournalTable.h"
#include "startup/ConnectionFactory.h"
#include "support/SendingFixture.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PrintJournalTableTest : public SendingFixture {
  protected:
    PrintJournalTableTest() { pinger.reachable = {"127.0.0.1", "127.0.0.2"}; }

    std::set<std::string> Rows() {
        std::set<std::string> keys;
        for (const auto& row : database.Db().Query("SELECT ItemKey FROM kps_print_journal").rows) {
            keys.insert(row.at(0).AsText());
        }
        return keys;
    }

    // Sends the composed ticket through a lane that records in `writer`.
    TicketSendingStep& Through(JournalWriter& writer) {
        runner_ = std::make_unique<LaneJobRunner>(posPrinter, pinger, pause, log, &writer);
        lanes_ = std::make_unique<InlinePrinterLanes>(*runner_, divertRunner);
        step_ = std::make_unique<TicketSendingStep>(ctx, *lanes_, dialog);
        step_->UseJournalTable(&table, writer.Writer());
        return *step_;
    }

    PrintJournalTable table{db};
    JournalWriter::ConnectionOpener ownConnection = [this] {
        return OpenDatabaseConnection(database.Setup(), AdoConnectionString(database.Setup()));
    };

  private:
    std::unique_ptr<LaneJobRunner> runner_;
    std::unique_ptr<InlinePrinterLanes> lanes_;
    std::unique_ptr<TicketSendingStep> step_;
};

TEST_F(PrintJournalTableTest, TheRecordIsInBeforeTheFirstByteAndLeavesInTheMarkingTransaction) {
    JournalWriter writer(ownConnection, "here/1/1", clock, log);
    std::set<std::string> atFirstByte;
    posPrinter.beforePrint = [&] {
        if (atFirstByte.empty()) {
            atFirstByte = Rows();
        }
    };
    TicketSendingStep& step = Through(writer);
    ComposeTicket("O");
    step.SendTicket();
    EXPECT_THAT(atFirstByte, ElementsAre("1", "2", "3"));

    step.SettleReports();
    EXPECT_THAT(Rows(), IsEmpty());
    const auto& executed = recorded.executed;
    const auto begin = std::find(executed.begin(), executed.end(), "BEGIN");
    const auto commit = std::find(executed.begin(), executed.end(), "COMMIT");
    ASSERT_NE(commit, executed.end());
    EXPECT_EQ(std::count_if(begin, commit,
                            [](const std::string& sql) {
                                return sql.find("delete from kps_print_journal") !=
                                       std::string::npos;
                            }),
              3);
    EXPECT_EQ(PrintStatus(1), 1);
}

TEST_F(PrintJournalTableTest, AJobWhoseRecordCannotBeWrittenSendsNoByteAndItsItemsWait) {
    JournalWriter writer(
        []() -> std::unique_ptr<Connection> { throw KpsError(kErrStatement, "database gone"); },
        "here/1/1", clock, log);
    TicketSendingStep& step = Through(writer);
    ComposeTicket("O");
    step.SendTicket();
    step.SettleReports();
    EXPECT_THAT(posPrinter.Printed(), IsEmpty());
    EXPECT_FALSE(posPrinter.open);
    EXPECT_EQ(PrintStatus(1), 0);
    EXPECT_FALSE(records.Holds("1")) << "composed and tried again by the next pass";
    EXPECT_FALSE(records.MayBeOnPaper("1"));
    EXPECT_EQ(host.shown, 0) << "not a printer fault: nothing to divert";
    EXPECT_THAT(LogText(), HasSubstr("Error Print Journal: database gone"));
}

TEST_F(PrintJournalTableTest, AJobWithNoByteLeftTakesItsRowsAway) {
    JournalWriter writer(ownConnection, "here/1/1", clock, log);
    TicketSendingStep& step = Through(writer);
    posPrinter.coverOpen = true;  // opens, then sends nothing
    database.Exec(
        "INSERT INTO kps_print_journal (ItemKey, Writer, Job) VALUES ('1', 'dead/1/1', 1)");
    ComposeTicket("O");
    step.SendTicket();
    step.SettleReports();
    EXPECT_THAT(Rows(), ElementsAre("1")) << "only the other server's row is left";
}

// SQLite's table is made in the outlet's file; a server database's never is,
// and asking for it leaves the connection fit for work.
TEST_F(PrintJournalTableTest, OnlySqliteGetsTheTableMadeWhenItIsMissing) {
    database.Exec("DROP TABLE kps_print_journal");
    EXPECT_TRUE(PrintJournalTable::Available(database.Db()));
    EXPECT_THAT(Rows(), IsEmpty());
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TestDatabase postgres(Backend::Postgres);
    postgres.Exec("DROP TABLE kps_print_journal");
    EXPECT_FALSE(PrintJournalTable::Available(postgres.Db()));
    EXPECT_FALSE(PrintJournalTable::Available(postgres.Db()));
    EXPECT_NO_THROW(postgres.Db().Query("SELECT ID FROM kelt_trs_printingdetails"));
}

// Delivered copies keep their rows, so a take-over labels them, until the
// notice is marked; another notice's stay.
TEST_F(PrintJournalTableTest, MarkingANoticeTakesTheRowsOfEveryCopyOfItAndNoOther) {
    JournalWriter writer(ownConnection, "here/1/1", clock, log);
    TicketSendingStep& step = Through(writer);
    for (const char* key : {"notice 5 BAR1", "notice 5 GRILL", "notice 51 BAR1"}) {
        database.Exec(
            std::string("INSERT INTO kps_print_journal (ItemKey, Writer, Job) VALUES ('") + key +
            "', 'here/1/1', 1)");
    }
    step.MarkNoticePrinted("5");
    EXPECT_THAT(Rows(), ElementsAre("notice 51 BAR1"));
}

}  // namespace
}  // namespace kps::test
