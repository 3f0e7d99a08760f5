#include "database/SqliteDataVersionSignal.h"

namespace kps {

SqliteDataVersionSignal::SqliteDataVersionSignal(Connection& db, std::chrono::milliseconds every)
    : statement_(db.Prepare("PRAGMA data_version")), every_(every), version_(Version()) {}

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
