#pragma once

#include <optional>

#include "status/StatusRouter.h"

namespace kps {

// The answer to an action's path: refused without the token or across
// sites, 405 for any method but POST, 404 for a printer, ticket or
// question the snapshot does not have; else the action's outcome. Nothing
// when `request.path` is no action's.
std::optional<StatusResponse> RouteStatusAction(const StatusRequest& request,
                                                const StatusSnapshot& snapshot,
                                                const ActionDoor* door);

// "/?token=…" with the right token: keeps it in a cookie and leads to "/"
// without it in the address. Nothing for any other request.
std::optional<StatusResponse> KeepStatusToken(const StatusRequest& request, const ActionDoor* door);

}  // namespace kps
