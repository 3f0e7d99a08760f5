#include "database/WaitingRowsProbe.h"

namespace kps {

const char* const WaitingRowsProbe::kSql =
    "SELECT (SELECT MAX(ID) FROM kelt_trs_printingdetails),"
    " (SELECT COUNT(*) FROM kelt_trs_printingdetails WHERE PrintStatus=0),"
    " (SELECT MAX(ID) FROM kelt_trs_printkitchen),"
    " (SELECT COUNT(*) FROM kelt_trs_printkitchen WHERE PrintStatus=0)";

WaitingRowsProbe::WaitingRowsProbe(Connection& db, std::chrono::milliseconds every)
    : db_(db), every_(every), seen_(Look()) {}

bool WaitingRowsProbe::Changed() {
    std::string now = Look();
    const bool changed = now != seen_;
    seen_ = std::move(now);
    return changed;
}

std::string WaitingRowsProbe::Look() {
    const ResultTable result = db_.Query(kSql);
    std::string seen;
    if (!result.rows.empty()) {
        for (const Value& value : result.rows[0]) {
            seen += value.IsNull() ? "-" : value.AsText();
            seen += '|';
        }
    }
    return seen;
}

}  // namespace kps
