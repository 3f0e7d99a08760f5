#include "database/SqliteDataVersionSignal.h"

namespace kps {

SqliteDataVersionSignal::SqliteDataVersionSignal(Connection& db, std::chrono::milliseconds every)
    : db_(db), every_(every), version_(Version()) {}

bool SqliteDataVersionSignal::Changed() {
    std::string now = Version();
    const bool changed = now != version_;
    version_ = std::move(now);
    return changed;
}

std::string SqliteDataVersionSignal::Version() {
    const ResultTable result = db_.Query("PRAGMA data_version");
    return result.rows.empty() || result.rows[0].empty() ? std::string()
                                                         : result.rows[0][0].AsText();
}

}  // namespace kps
