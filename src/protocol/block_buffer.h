#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace kvx {

// A byte queue made of a chain of blocks, each with a read position, a write position and a capacity.
// A new block holds at least 1024 bytes. A block that has been read empty is freed, unless it is the last one
// and holds at most 4096 bytes, in which case it is kept for reuse. Each queue has its own lock.
class BlockBuffer {
public:
    static constexpr size_t kMinBlock = 1024;
    static constexpr size_t kMaxReusedBlock = 4096;

    BlockBuffer();
    ~BlockBuffer();
    BlockBuffer(const BlockBuffer&) = delete;
    BlockBuffer& operator=(const BlockBuffer&) = delete;

    void write(const uint8_t* bytes, size_t n);
    size_t read(uint8_t* out, size_t n);   // takes up to n bytes from the front
    size_t peek(uint8_t* out, size_t n) const;
    size_t size() const;
    void clear();
    size_t blockCount() const;  // for tests of the block rules

private:
    struct Block;
    mutable std::mutex mutex_;
    std::unique_ptr<Block> head_;
    Block* tail_ = nullptr;
    size_t size_ = 0;
};

}  // namespace kvx
