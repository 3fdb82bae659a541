#pragma once
// What every fuzz target shares: the invariant check, and the cutting of one input into messages.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <span>

// An invariant of the code under test: when it does not hold, the input is a finding.
#define KVX_FUZZ_CHECK(condition)                                                                    \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "invariant failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (false)

namespace kvx::fuzz {

// Cuts an input into messages (datagrams, or pieces of a serial stream): each message is one length byte and
// that many bytes; the last one takes what is left when fewer remain.
inline void forEachMessage(std::span<const uint8_t> input,
                           const std::function<void(std::span<const uint8_t>)>& use) {
    while (!input.empty()) {
        const size_t length = std::min<size_t>(input[0], input.size() - 1);
        use(input.subspan(1, length));
        input = input.subspan(1 + length);
    }
}

}  // namespace kvx::fuzz
