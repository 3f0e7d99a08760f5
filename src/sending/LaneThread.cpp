#include "sending/LaneThread.h"

#include <cstring>
#include <utility>

#include "text/KpsError.h"

namespace kps {
namespace {

void* RunBody(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return nullptr;
}

}  // namespace

LaneThread::LaneThread(std::function<void()> body, std::size_t stackBytes)
    : body_(std::make_unique<std::function<void()>>(std::move(body))) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    const int failed = pthread_create(&thread_, &attributes, RunBody, body_.get());
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        body_.reset();
        throw KpsError(kErrPrinter,
                       std::string("Cannot start a printer lane: ") + std::strerror(failed));
    }
}

LaneThread::~LaneThread() {
    Join();
}

LaneThread::LaneThread(LaneThread&& other) noexcept
    : body_(std::move(other.body_)), thread_(other.thread_) {}

LaneThread& LaneThread::operator=(LaneThread&& other) noexcept {
    if (this != &other) {
        Join();
        body_ = std::move(other.body_);
        thread_ = other.thread_;
    }
    return *this;
}

void LaneThread::Join() {
    if (body_) {
        pthread_join(thread_, nullptr);
        body_.reset();
    }
}

}  // namespace kps
