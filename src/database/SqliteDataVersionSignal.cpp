#include "database/SqliteDataVersionSignal.h"

#include "text/KpsError.h"

namespace kps {

namespace {

// The main database's file; empty for one in memory or a temporary one.
std::string MainFile(Connection& db) {
    for (const auto& row : db.Query("PRAGMA database_list").rows) {
        if (row.size() >= 3 && row[1].AsText() == "main") {
            return row[2].AsText();
        }
    }
    return {};
}

std::unique_ptr<SqliteFileWatch> WatchOrNote(const std::string& path,
                                             const SqliteDataVersionSignal::Note& note,
                                             std::chrono::milliseconds unwatched) {
    std::string reason = "it has no file";
    if (!path.empty()) {
        try {
            return std::make_unique<SqliteFileWatch>(path);
        } catch (const KpsError& error) {
            reason = error.Description();
        }
    }
    if (note) {
        std::string line = "The database is asked for changes every ";
        line += std::to_string(unwatched.count());
        line += " ms: its files cannot be watched (";
        line += reason;
        line += ")";
        note(line);
    }
    return nullptr;
}

}  // namespace

SqliteDataVersionSignal::SqliteDataVersionSignal(Connection& db, const Note& note,
                                                 std::chrono::milliseconds watched,
                                                 std::chrono::milliseconds unwatched)
    : statement_(db.Prepare("PRAGMA data_version")),
      watch_(WatchOrNote(MainFile(db), note, unwatched)),
      every_(watch_ ? watched : unwatched),
      version_(Version()) {}

void SqliteDataVersionSignal::ClearFd() {
    if (watch_) {
        watch_->Drain();
    }
}

bool SqliteDataVersionSignal::Changed() {
    std::string now = Version();
    const bool changed = now != version_;
    version_ = std::move(now);
    return changed;
}

std::string SqliteDataVersionSignal::Version() {
    const ResultTable result = statement_->Query();
    return result.rows.empty() || result.rows[0].empty() ? std::string()
                                                         : result.rows[0][0].AsText();
}

}  // namespace kps
