#include "status/StatusAddress.h"

#include <gtest/gtest.h>

namespace kps::test {
namespace {

TEST(StatusAddressTest, ReadsHostAndPortAndRefusesAnythingElse) {
    EXPECT_EQ(ParseStatusAddress("127.0.0.1:8631"), (StatusEndpoint{"127.0.0.1", 8631}));
    EXPECT_EQ(ParseStatusAddress("0.0.0.0:0"), (StatusEndpoint{"0.0.0.0", 0}));
    EXPECT_EQ(ParseStatusAddress("[::1]:65535"), (StatusEndpoint{"::1", 65535}));
    EXPECT_EQ(ParseStatusAddress("kitchen.local:80"), (StatusEndpoint{"kitchen.local", 80}));
    for (const char* bad : {"8631", "127.0.0.1", "127.0.0.1:", ":8631", "127.0.0.1:65536",
                            "127.0.0.1:-1", "127.0.0.1:86x", "::1:8631", "[]:8631"}) {
        EXPECT_FALSE(ParseStatusAddress(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace kps::test
