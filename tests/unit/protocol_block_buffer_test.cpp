#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "protocol/block_buffer.h"

namespace kvx {
namespace protocol_block_buffer_test {

std::vector<uint8_t> pattern(size_t n, size_t start = 0) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>((start + i) * 7 + (start + i) / 251);
    return bytes;
}

std::vector<uint8_t> readAll(BlockBuffer& buffer, size_t chunk) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> part(chunk);
    while (size_t got = buffer.read(part.data(), part.size())) {
        out.insert(out.end(), part.begin(), part.begin() + got);
    }
    return out;
}

TEST(BlockBuffer, StartsEmpty) {
    BlockBuffer buffer;
    uint8_t byte = 0;
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.blockCount(), 0u);
    EXPECT_EQ(buffer.read(&byte, 1), 0u);
    EXPECT_EQ(buffer.peek(&byte, 1), 0u);
}

struct FifoCase {
    const char* name;
    std::vector<size_t> writes;  // sizes of the successive writes
    size_t readChunk;
};

class BlockBufferFifo : public ::testing::TestWithParam<FifoCase> {};

TEST_P(BlockBufferFifo, GivesBackEveryByteInOrder) {
    BlockBuffer buffer;
    const FifoCase& c = GetParam();
    const size_t total = std::accumulate(c.writes.begin(), c.writes.end(), size_t{0});
    const std::vector<uint8_t> expected = pattern(total);
    size_t offset = 0;
    for (size_t n : c.writes) {
        buffer.write(expected.data() + offset, n);
        offset += n;
    }
    EXPECT_EQ(buffer.size(), total);
    EXPECT_EQ(readAll(buffer, c.readChunk), expected);
    EXPECT_EQ(buffer.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, BlockBufferFifo,
    ::testing::Values(FifoCase{"SmallWritesManyBlocks", std::vector<size_t>(300, 21), 64},
                      FifoCase{"WritesAcrossBlockEdges", {1000, 50, 1023, 1, 2048, 7}, 333},
                      FifoCase{"OneBigWrite", {100000}, 4096}, FifoCase{"BigAfterSmall", {10, 9000, 10}, 1},
                      FifoCase{"ReadLargerThanAll", {500, 700}, 5000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockBuffer, NewBlockHoldsAtLeast1024Bytes) {
    BlockBuffer buffer;
    const auto bytes = pattern(1024);
    buffer.write(bytes.data(), 1);
    buffer.write(bytes.data() + 1, 1023);
    EXPECT_EQ(buffer.blockCount(), 1u);
    buffer.write(bytes.data(), 1);
    EXPECT_EQ(buffer.blockCount(), 2u);
}

TEST(BlockBuffer, OneLargeWriteGetsOneBlockOfItsSize) {
    BlockBuffer buffer;
    const auto bytes = pattern(10000);
    buffer.write(bytes.data(), bytes.size());
    EXPECT_EQ(buffer.blockCount(), 1u);
    EXPECT_EQ(buffer.size(), 10000u);
}

TEST(BlockBuffer, PartialReadsKeepTheRestInOrder) {
    BlockBuffer buffer;
    const auto bytes = pattern(3000);
    buffer.write(bytes.data(), bytes.size());
    std::vector<uint8_t> first(1000);
    ASSERT_EQ(buffer.read(first.data(), first.size()), 1000u);
    EXPECT_EQ(first, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1000));
    EXPECT_EQ(buffer.size(), 2000u);
    EXPECT_EQ(readAll(buffer, 7), std::vector<uint8_t>(bytes.begin() + 1000, bytes.end()));
}

TEST(BlockBuffer, KeepsTheLastSmallBlockAndReusesItFromTheStart) {
    BlockBuffer buffer;
    const auto bytes = pattern(1024);
    std::vector<uint8_t> out(1024);
    buffer.write(bytes.data(), 100);
    ASSERT_EQ(buffer.read(out.data(), 100), 100u);
    EXPECT_EQ(buffer.blockCount(), 1u);
    EXPECT_EQ(buffer.size(), 0u);
    // A block whose positions were not reset would have only 924 bytes of room left.
    buffer.write(bytes.data(), 1024);
    EXPECT_EQ(buffer.blockCount(), 1u);
    ASSERT_EQ(buffer.read(out.data(), out.size()), 1024u);
    EXPECT_EQ(out, bytes);
}

TEST(BlockBuffer, KeepsALast4096ByteBlockButFreesALargerOne) {
    for (size_t capacity : {size_t{4096}, size_t{4097}}) {
        BlockBuffer buffer;
        const auto bytes = pattern(capacity);
        std::vector<uint8_t> out(capacity);
        buffer.write(bytes.data(), bytes.size());
        ASSERT_EQ(buffer.read(out.data(), out.size()), capacity);
        EXPECT_EQ(buffer.blockCount(), capacity <= BlockBuffer::kMaxReusedBlock ? 1u : 0u) << capacity;
        buffer.write(bytes.data(), 10);
        EXPECT_EQ(buffer.read(out.data(), out.size()), 10u) << capacity;
    }
}

TEST(BlockBuffer, FreesBlocksReadEmptyThatAreNotTheLast) {
    BlockBuffer buffer;
    const auto bytes = pattern(1024 * 3);
    for (int i = 0; i < 3; ++i) buffer.write(bytes.data() + i * 1024, 1024);
    ASSERT_EQ(buffer.blockCount(), 3u);
    std::vector<uint8_t> out(1500);
    ASSERT_EQ(buffer.read(out.data(), out.size()), 1500u);
    EXPECT_EQ(buffer.blockCount(), 2u);
}

TEST(BlockBuffer, PeekCopiesAcrossBlocksWithoutTaking) {
    BlockBuffer buffer;
    const auto bytes = pattern(3000);
    buffer.write(bytes.data(), 1000);
    buffer.write(bytes.data() + 1000, 2000);
    std::vector<uint8_t> skipped(10);
    buffer.read(skipped.data(), skipped.size());
    std::vector<uint8_t> seen(1500);
    ASSERT_EQ(buffer.peek(seen.data(), seen.size()), 1500u);
    EXPECT_EQ(seen, std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 1510));
    EXPECT_EQ(buffer.size(), 2990u);
    std::vector<uint8_t> rest(5000);
    EXPECT_EQ(buffer.peek(rest.data(), rest.size()), 2990u);
    EXPECT_EQ(readAll(buffer, 999), std::vector<uint8_t>(bytes.begin() + 10, bytes.end()));
}

TEST(BlockBuffer, ClearEmptiesAndTheBufferWorksAfterwards) {
    BlockBuffer buffer;
    const auto bytes = pattern(5000);
    buffer.write(bytes.data(), bytes.size());
    buffer.write(bytes.data(), 100);
    buffer.clear();
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.blockCount(), 0u);
    uint8_t byte = 0;
    EXPECT_EQ(buffer.read(&byte, 1), 0u);
    buffer.write(bytes.data(), 300);
    EXPECT_EQ(readAll(buffer, 64), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 300));
}

TEST(BlockBuffer, OneWriterAndOneReaderOnTwoThreadsKeepTheOrder) {
    BlockBuffer buffer;
    constexpr size_t kTotal = 200000;
    const auto bytes = pattern(kTotal);
    std::thread writer([&] {
        for (size_t offset = 0; offset < kTotal;) {
            const size_t n = std::min<size_t>(1 + offset % 1500, kTotal - offset);
            buffer.write(bytes.data() + offset, n);
            offset += n;
        }
    });
    std::vector<uint8_t> got;
    std::vector<uint8_t> part(777);
    while (got.size() < kTotal) {
        const size_t n = buffer.read(part.data(), part.size());
        got.insert(got.end(), part.begin(), part.begin() + n);
        if (n == 0) std::this_thread::yield();
    }
    writer.join();
    EXPECT_EQ(got, bytes);
}

}  // namespace protocol_block_buffer_test
}  // namespace kvx
