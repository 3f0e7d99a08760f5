#pragma once

#include <gtest/gtest.h>

#include <string_view>

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

class StatusFixture : public ::testing::Test {
  protected:
    // A second after the tick, unless a test moves it.
    StatusResponse Request(std::string_view method, std::string_view path) const {
        return RouteStatusRequest(method, path, &snapshot, now);
    }
    StatusResponse Get(std::string_view path) const { return Request("GET", path); }

    StatusSnapshot snapshot = FixtureSnapshot();
    SteadyTime now = kTickEnded + std::chrono::seconds(1);
};

}  // namespace kps::test
