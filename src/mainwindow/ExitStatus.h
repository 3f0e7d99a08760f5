#pragma once

namespace kps {

// Process exit statuses of the window and headless runners.
inline constexpr int kExitShutDown = 0;
inline constexpr int kExitFatalError = 5;

}  // namespace kps
