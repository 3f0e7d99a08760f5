#include "output/SleepWaitPause.h"

#include <thread>

namespace kps {

void SleepWaitPause::Pause() {
    std::this_thread::sleep_for(length_);
}

}  // namespace kps
