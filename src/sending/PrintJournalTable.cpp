#include "sending/PrintJournalTable.h"

#include <set>

#include "database/Value.h"
#include "sending/WaitingItems.h"
#include "text/KpsError.h"

namespace kps {

bool PrintJournalTable::Available(Connection& db) {
    try {
        if (db.DbmsName().starts_with("SQLite")) {
            db.Execute(
                "CREATE TABLE IF NOT EXISTS kps_print_journal (ItemKey VARCHAR(200) NOT NULL, "
                "Writer VARCHAR(100) NOT NULL, Job INTEGER NOT NULL, Device VARCHAR(60), "
                "StartedAt VARCHAR(19))");
            db.Execute(
                "CREATE INDEX IF NOT EXISTS ix_print_journal_item ON kps_print_journal (ItemKey)");
        }
        db.Query("select count(*) from kps_print_journal where 1=0");
        return true;
    } catch (const KpsError&) {
        return false;
    }
}

std::vector<std::string> PrintJournalTable::MayBeOnPaper() {
    std::set<std::string> named;
    for (const auto& row : db_.Query("select ItemKey from kps_print_journal").rows) {
        named.insert(row.at(0).AsText());
    }
    const std::set<std::string> waiting =
        StillWaiting(db_, std::vector<std::string>(named.begin(), named.end()));
    std::vector<std::string> gone;
    for (const std::string& key : named) {
        if (!waiting.contains(key)) {
            gone.push_back(key);
        }
    }
    ClearItems(gone);
    return {waiting.begin(), waiting.end()};
}

void PrintJournalTable::ClearItems(const std::vector<std::string>& keys) {
    if (keys.empty()) {
        return;
    }
    if (!clearItem_) {
        clearItem_ = db_.Prepare("delete from kps_print_journal where ItemKey=?");
    }
    for (const std::string& key : keys) {
        clearItem_->Bind(1, Value::Text(key));
        clearItem_->Execute();
    }
}

void PrintJournalTable::ClearNotice(const std::string& noticeId) {
    auto clear = db_.Prepare("delete from kps_print_journal where ItemKey like ?");
    // A copy's key is NoticeCopyKey: "notice <ID> <device>".
    clear->Bind(1, Value::Text("notice " + noticeId + " %"));
    clear->Execute();
}

void PrintJournalTable::ClearJob(const std::string& writer, unsigned long job) {
    if (!clearJob_) {
        clearJob_ = db_.Prepare("delete from kps_print_journal where Writer=? and Job=?");
    }
    clearJob_->Bind(1, Value::Text(writer));
    clearJob_->Bind(2, Value::Integer(static_cast<long long>(job)));
    clearJob_->Execute();
}

}  // namespace kps
