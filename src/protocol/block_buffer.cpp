#include "protocol/block_buffer.h"

#include <algorithm>
#include <cstring>

namespace kvx {

struct BlockBuffer::Block {
    explicit Block(size_t size) : data(new uint8_t[size]), capacity(size) {}

    size_t unread() const { return writePos - readPos; }
    size_t room() const { return capacity - writePos; }

    std::unique_ptr<uint8_t[]> data;
    size_t capacity;
    size_t readPos = 0;
    size_t writePos = 0;
    std::unique_ptr<Block> next;
};

BlockBuffer::BlockBuffer() = default;

BlockBuffer::~BlockBuffer() { clear(); }

void BlockBuffer::write(const uint8_t* bytes, size_t n) {
    std::lock_guard lock(mutex_);
    while (n > 0) {
        if (!tail_ || tail_->room() == 0) {
            auto block = std::make_unique<Block>(std::max(kMinBlock, n));
            Block* added = block.get();
            (tail_ ? tail_->next : head_) = std::move(block);
            tail_ = added;
        }
        const size_t part = std::min(n, tail_->room());
        std::memcpy(tail_->data.get() + tail_->writePos, bytes, part);
        tail_->writePos += part;
        size_ += part;
        bytes += part;
        n -= part;
    }
}

size_t BlockBuffer::read(uint8_t* out, size_t n) {
    std::lock_guard lock(mutex_);
    size_t done = 0;
    while (done < n && head_) {
        Block& block = *head_;
        const size_t part = std::min(n - done, block.unread());
        std::memcpy(out + done, block.data.get() + block.readPos, part);
        block.readPos += part;
        done += part;
        if (block.unread() > 0) break;
        if (!block.next && block.capacity <= kMaxReusedBlock) {
            block.readPos = block.writePos = 0;  // the last small block is kept for the next write
            break;
        }
        head_ = std::move(block.next);
        if (!head_) tail_ = nullptr;
    }
    size_ -= done;
    return done;
}

size_t BlockBuffer::peek(uint8_t* out, size_t n) const {
    std::lock_guard lock(mutex_);
    size_t done = 0;
    for (const Block* block = head_.get(); block && done < n; block = block->next.get()) {
        const size_t part = std::min(n - done, block->unread());
        std::memcpy(out + done, block->data.get() + block->readPos, part);
        done += part;
    }
    return done;
}

size_t BlockBuffer::size() const {
    std::lock_guard lock(mutex_);
    return size_;
}

void BlockBuffer::clear() {
    std::lock_guard lock(mutex_);
    // Unlinks one block at a time, so a long chain does not free itself by deep recursion.
    while (head_) head_ = std::move(head_->next);
    tail_ = nullptr;
    size_ = 0;
}

size_t BlockBuffer::blockCount() const {
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const Block* block = head_.get(); block; block = block->next.get()) ++count;
    return count;
}

}  // namespace kvx
