#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kvx {

// Hands a result back to the thread that asked (the UI thread in the window; the caller in tools and tests).
using ResultDispatch = std::function<void(std::function<void()>)>;

// The one thread that owns the command socket, the peer address and the serial port. Every send, read-back
// and search is a job queued here and run in order, so two exchanges never interleave on the wire.
class ExchangeWorker {
public:
    ExchangeWorker();
    // Finishes the job under way and drops the ones still queued.
    ~ExchangeWorker();
    ExchangeWorker(const ExchangeWorker&) = delete;
    ExchangeWorker& operator=(const ExchangeWorker&) = delete;

    void post(std::function<void()> job);

    // Runs job on the worker, then hands its result to done through dispatch.
    template <class Result>
    void request(std::function<Result()> job, std::function<void(Result)> done, ResultDispatch dispatch) {
        post([job = std::move(job), done = std::move(done), dispatch = std::move(dispatch)]() mutable {
            auto result = std::make_shared<Result>(job());
            dispatch([done = std::move(done), result]() { done(std::move(*result)); });
        });
    }

    // Blocks until every job queued so far has run. Not to be called from the worker itself.
    void waitIdle();

private:
    void loop();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kvx
