#pragma once

namespace kps {

// The two passes of a polling tick that belong to the printing subsystem.
class PrintPasses {
  public:
    virtual ~PrintPasses() = default;
    virtual void DispatchPrintQueue() = 0;
    virtual void PrintKitchenNotices() = 0;
};

}  // namespace kps
