#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace kvx {

// Runs functions on the thread of a QObject (the UI thread for windows); a call for an object that has
// been destroyed meanwhile is dropped. To be made on that object's thread; the dispatch it returns may be
// used from any thread.
std::function<void(std::function<void()>)> dispatchTo(QObject* context);

// The functions handed to one object's thread. They wait here under a lock of ours and are taken, run and
// destroyed on that thread: Qt's own event queue is not enough, because a queued call may be released, and
// what it captured destroyed, by the thread that posted it, and because its locking is invisible to the
// thread sanitizer.
class ThreadInbox : public QObject {
    Q_OBJECT
public:
    explicit ThreadInbox(QObject* owner);
    ~ThreadInbox() override;

    struct Queue {
        // Queues fn and asks the inbox's thread to run it; drops it once the inbox is gone.
        void put(std::function<void()> fn);
        // The functions waiting to run; safe from any thread.
        size_t size();

        std::mutex mutex;
        std::deque<std::function<void()>> waiting;
        ThreadInbox* inbox = nullptr;  // cleared, under the lock, as the inbox goes
    };
    std::shared_ptr<Queue> queue() const { return queue_; }

private:
    // Runs the first waiting function; it may destroy this object.
    Q_INVOKABLE void drain();

    const std::shared_ptr<Queue> queue_;
};

}  // namespace kvx
