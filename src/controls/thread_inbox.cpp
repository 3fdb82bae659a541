#include "controls/thread_inbox.h"

namespace kvx {

ThreadInbox::ThreadInbox(QObject* owner) : QObject(owner), queue_(std::make_shared<Queue>()) {
    queue_->inbox = this;
}

ThreadInbox::~ThreadInbox() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(queue_->mutex);
    queue_->inbox = nullptr;
    dropped.swap(queue_->waiting);
}

void ThreadInbox::Queue::put(std::function<void()> fn) {
    std::lock_guard lock(mutex);
    if (!inbox) return;
    waiting.push_back(std::move(fn));
    // Under the lock, so the inbox cannot go while the call is posted to it.
    QMetaObject::invokeMethod(inbox, "drain", Qt::QueuedConnection);
}

size_t ThreadInbox::Queue::size() {
    std::lock_guard lock(mutex);
    return waiting.size();
}

// Each put posts one call of this, so each call runs one function. Running all that waits instead would
// keep the thread here for as long as another thread puts functions in faster than they run, and its paints
// and timers would wait: the event loop defers what is posted while it delivers, so this way they come
// between.
void ThreadInbox::drain() {
    std::function<void()> next;
    {
        std::lock_guard lock(queue_->mutex);
        if (queue_->waiting.empty()) return;
        next = std::move(queue_->waiting.front());
        queue_->waiting.pop_front();
    }
    next();  // may destroy this object
}

std::function<void(std::function<void()>)> dispatchTo(QObject* context) {
    if (!context) return [](std::function<void()>) {};
    auto* inbox = context->findChild<ThreadInbox*>(QString(), Qt::FindDirectChildrenOnly);
    if (!inbox) inbox = new ThreadInbox(context);
    return [queue = inbox->queue()](std::function<void()> fn) { queue->put(std::move(fn)); };
}

}  // namespace kvx
