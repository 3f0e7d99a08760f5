#pragma once

namespace kps {

// The wait form TRWAIT: the fixed pause of about two seconds that the printer
// routines make before a device is closed. The window keeps its event loop
// running meanwhile; headless it sleeps; in tests it returns at once.
class WaitPause {
  public:
    virtual ~WaitPause() = default;
    virtual void Pause() = 0;
};

}  // namespace kps
