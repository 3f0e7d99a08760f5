#include "sending/WaitingItems.h"

#include <string_view>

namespace kps {
namespace {

constexpr std::string_view kNoticePrefix = "notice ";

std::set<std::string> Ids(Connection& db, const std::string& sql) {
    std::set<std::string> ids;
    for (const auto& row : db.Query(sql).rows) {
        ids.insert(row.at(0).AsText());
    }
    return ids;
}

}  // namespace

std::set<std::string> StillWaiting(Connection& db, const std::vector<std::string>& keys) {
    std::set<std::string> waiting;
    if (keys.empty()) {
        return waiting;
    }
    // The waiting rows are few (what the kitchen has not had yet), so they
    // are read whole rather than named one by one.
    const std::set<std::string> items =
        Ids(db, "select ID from kelt_trs_printingdetails where PrintStatus=0");
    const std::set<std::string> notices =
        Ids(db, "select ID from kelt_trs_printkitchen where PrintStatus=0");
    for (const std::string& key : keys) {
        const std::string_view text(key);
        const bool found = text.starts_with(kNoticePrefix)
                               ? notices.contains(std::string(text.substr(
                                     kNoticePrefix.size(),
                                     text.find(' ', kNoticePrefix.size()) - kNoticePrefix.size())))
                               : items.contains(key);
        if (found) {
            waiting.insert(key);
        }
    }
    return waiting;
}

}  // namespace kps
