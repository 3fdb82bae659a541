// The LAN search's reader: datagrams of at most 128 bytes (what a 128-byte receive leaves of a longer one)
// from one sender, all folded into one table of found devices.
#include "protocol/discovery.h"
#include "support/fuzz_input.h"

namespace {

using namespace kvx;

// The longest dotted address, so that every entry's address field is filled to its last usable byte.
const std::string kSender = "192.168.100.200";
constexpr size_t kReceiveSize = 128;

void checkEntry(const DeviceEntry& entry, const std::string& item) {
    KVX_FUZZ_CHECK(isAcceptedDeviceType(entry.deviceType));
    KVX_FUZZ_CHECK(entry.address() == kSender);
    KVX_FUZZ_CHECK(entry.addressText.back() == 0);
    const std::string suffix = "_" + kSender;
    KVX_FUZZ_CHECK(item.size() >= suffix.size() && item.ends_with(suffix));
    const std::string name = item.substr(0, item.size() - suffix.size());
    // The name is bytes 18 up to the pattern, inside a datagram of at most 128 bytes.
    KVX_FUZZ_CHECK(name.size() + frame::kDataOffset + 3 <= kReceiveSize);
    KVX_FUZZ_CHECK(entry.modelFlag == (name == kModelFlagName ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FoundDevices found;
    fuzz::forEachMessage({data, size}, [&](std::span<const uint8_t> datagram) {
        const size_t before = found.entries.size();
        const auto received = datagram.first(std::min(datagram.size(), kReceiveSize));
        const LanReplyVerdict verdict = readLanReply(received, kSender, found);
        KVX_FUZZ_CHECK(found.entries.size() <= kDeviceTableSize);
        KVX_FUZZ_CHECK(found.entries.size() == found.items.size());
        if (verdict != LanReplyVerdict::Scanned) KVX_FUZZ_CHECK(found.entries.size() == before);
        for (size_t i = before; i < found.entries.size(); ++i) {
            checkEntry(found.entries[i], found.items[i]);
            KVX_FUZZ_CHECK(found.entries[i].deviceType == received[frame::kTypeOffset]);
            KVX_FUZZ_CHECK(found.entries[i].subCode == received[frame::kSubOffset]);
        }
    });
    return 0;
}
