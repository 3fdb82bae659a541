#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "protocol/cn_comm.h"
#include "protocol/control_frame.h"
#include "protocol/device_entry.h"
#include "protocol/error_sink.h"
#include "protocol/udp_link.h"

namespace kvx {

inline constexpr size_t kStatusBlockSize = 789;
using StatusBlock = std::array<uint8_t, kStatusBlockSize>;

inline constexpr const char* kNoDeviceFound = "No Device Found";
inline constexpr const char* kNoDeviceConnected = "No Device Connected";
inline constexpr int kLanSearchWindowMs = 2000;
inline constexpr int kSerialSearchWindowMs = 3000;
inline constexpr size_t kGatherBufferSize = 1024;

// Accepted device types on the LAN.
bool isAcceptedDeviceType(uint8_t type);

// The devices found so far: entry i belongs to list item i. Never more than 256.
struct FoundDevices {
    std::vector<DeviceEntry> entries;
    std::vector<std::string> items;  // name bytes taken one byte per character (Latin-1)
    bool full() const { return entries.size() >= kDeviceTableSize; }
};

// What a search shows: the list items in order, the status text and the selected index.
struct SearchResult {
    bool ran = false;  // false when the search could not start; the window then keeps what it shows
    FoundDevices found;
    std::vector<std::string> items;  // what the list shows ("No Device Found" alone when none)
    std::string statusText;
    int selectedIndex = -1;
    std::optional<StatusBlock> statusBlock;  // a status frame caught by the serial search
};

// How one LAN datagram is treated by the search.
enum class LanReplyVerdict { NotAFrame, UnknownType, TooShort, Scanned };
// Scans one datagram from `sender` and appends the entries it yields (stops at 256).
LanReplyVerdict readLanReply(std::span<const uint8_t> datagram, const std::string& senderAddress,
                             FoundDevices& found);

// The serial reply parser over all gathered bytes. Returns 1 when a reply was handled, 0 when none yet.
struct SerialParse {
    int result = 0;
    uint8_t replyType = 0;
    uint8_t replySub = 0;
    std::optional<DeviceEntry> entry;  // entry 0, when a name pattern was found
    std::optional<std::string> name;   // the list item at index 0
    std::optional<StatusBlock> statusBlock;
};
SerialParse parseSerialReply(std::span<const uint8_t> gathered);

// The serial search's gathering buffer: what the port gives is appended, never beyond 1024 bytes, and the
// reply parser runs over everything gathered so far.
class SerialGathering {
public:
    SerialGathering() { bytes_.reserve(kGatherBufferSize); }
    size_t room() const { return kGatherBufferSize - bytes_.size(); }
    // Appends as much of a piece read from the port as fits, then parses all gathered bytes.
    SerialParse add(std::span<const uint8_t> piece);
    std::span<const uint8_t> bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// Item text and status text.
std::string connectedStatusText(size_t count);  // "Connected - %d"
SearchResult finishSearch(FoundDevices found);

// The two searches, run on the exchange worker. Errors ("Create socket err", "Please open the serial port
// first!") go to the sink with caption "Err", and the result then says ran = false.
SearchResult lanSearch(UdpLink& udp, Clock& clock, LinkKind link, ErrorSink& errors);
SearchResult serialSearch(CnComm& serial, Clock& clock, LinkKind link, ErrorSink& errors);

}  // namespace kvx
