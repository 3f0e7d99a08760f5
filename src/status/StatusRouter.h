#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "status/StatusSnapshot.h"

namespace kps {

struct StatusResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // besides Content-Type
};

// The status server's answer to `method` on `path` (percent-decoded,
// without the query) from the latest snapshot (null before the first) at
// `now`: "/", "/tickets/<device>/<n>", "/api/v1/status",
// "/api/v1/tickets/<device>", "/metrics" and "/healthz", for GET and HEAD
// (the caller leaves a HEAD's body out). Device names and ticket numbers
// are only looked up in the snapshot; any other path is 404, any other
// method on these 405.
StatusResponse RouteStatusRequest(std::string_view method, std::string_view path,
                                  const StatusSnapshot* snapshot, SteadyTime now);

}  // namespace kps
