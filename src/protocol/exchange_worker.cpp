#include "protocol/exchange_worker.h"

namespace kvx {

ExchangeWorker::ExchangeWorker() : thread_([this] { loop(); }) {}

ExchangeWorker::~ExchangeWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

void ExchangeWorker::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void ExchangeWorker::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void ExchangeWorker::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) break;
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        job();
        lock.lock();
        busy_ = false;
        if (jobs_.empty()) idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

}  // namespace kvx
