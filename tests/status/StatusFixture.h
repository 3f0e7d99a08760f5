#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "status/StatusRouter.h"
#include "status/StatusSnapshot.h"

namespace kps::test {

// A server at work when its 42nd tick ended, at 2026-12-07 22:05:09 (wall)
// and kTickEnded (steady): BAR1 (network) not printing with its cover open,
// a direct port whose name needs escaping in every format, a suspended
// printer that answers again, two waiting items, and kept tickets of BAR1
// and of "OLD 1", a device known only by them.
StatusSnapshot FixtureSnapshot();

inline const SteadyTime kTickEnded{std::chrono::hours(100)};
inline const std::string kOddName = "Grill \"A\" <b>&";

inline const std::string kToken(64, 'a');

class StatusFixture : public ::testing::Test {
  protected:
    // A second after the tick, unless a test moves it.
    StatusResponse Route(const StatusRequest& request) const {
        return RouteStatusRequest(request, &snapshot, now, &door);
    }
    StatusResponse Request(std::string_view method, std::string_view path) const {
        StatusRequest request;
        request.method = method;
        request.path = path;
        return Route(request);
    }
    StatusResponse Get(std::string_view path) const { return Request("GET", path); }

    // As the page's form posts it: the token's cookie, from the page's own
    // site.
    StatusRequest PagePost(std::string_view path, std::string_view body = "") const {
        StatusRequest request;
        request.method = "POST";
        request.path = path;
        request.body = body;
        request.contentType = "application/x-www-form-urlencoded";
        request.cookie = "other=1; kps_token=" + kToken;
        request.host = "127.0.0.1:8631";
        request.origin = "http://127.0.0.1:8631";
        request.fetchSite = "same-origin";
        request.client = "192.0.2.7";
        return request;
    }

    StatusSnapshot snapshot = FixtureSnapshot();
    SteadyTime now = kTickEnded + std::chrono::seconds(1);
    std::vector<StatusAction> acted;
    ActionDoor door{kToken, true, [this](StatusAction action) {
                        acted.push_back(action);
                        return StatusActionOutcome{true, "done <now>"};
                    }};
};

}  // namespace kps::test
