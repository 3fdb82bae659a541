#include "controls/thread_inbox.h"

#include <QPointer>

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

void ThreadInbox::drain() {
    const std::shared_ptr<Queue> queue = queue_;
    const QPointer<ThreadInbox> alive(this);
    while (alive) {
        std::function<void()> next;
        {
            std::lock_guard lock(queue->mutex);
            if (queue->waiting.empty()) return;
            next = std::move(queue->waiting.front());
            queue->waiting.pop_front();
        }
        next();
    }
}

std::function<void(std::function<void()>)> dispatchTo(QObject* context) {
    if (!context) return [](std::function<void()>) {};
    auto* inbox = context->findChild<ThreadInbox*>(QString(), Qt::FindDirectChildrenOnly);
    if (!inbox) inbox = new ThreadInbox(context);
    return [queue = inbox->queue()](std::function<void()> fn) { queue->put(std::move(fn)); };
}

}  // namespace kvx
