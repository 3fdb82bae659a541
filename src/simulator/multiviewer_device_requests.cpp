#include "simulator/multiviewer_device_requests.h"

#include <algorithm>
#include <array>

#include "multiviewer/multiviewer_codes.h"
#include "multiviewer/status_layout.h"

namespace kvx {

namespace {

// The indexed text form: the input, then these seven bytes, then the text.
constexpr std::array<uint8_t, 7> kIndexedTextFixed{0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
constexpr size_t kIndexedTextHeader = 1 + kIndexedTextFixed.size();
constexpr uint8_t kLastUmdSize = 2;
constexpr uint8_t kLastChannelPair = 7;
constexpr uint8_t kLastTextColour = (1u << status::kColorBits) - 1;      // 15
constexpr uint8_t kLastBackColour = (1u << status::kBackColorBits) - 1;  // 31

bool isBool(uint8_t value) {
    return value <= 1;
}
bool isOneTo16(uint8_t value) {
    return value >= 1 && value <= 16;
}
size_t element(uint8_t oneBased) {
    return static_cast<size_t>(oneBased - 1);
}

// UTF-16LE code units up to the first zero unit (the end of the text, as the PC reads it back), at most as
// many as the status block keeps; a text of an odd byte count is malformed.
std::optional<std::u16string> textOf(std::span<const uint8_t> bytes, size_t maxUnits) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i < bytes.size() && text.size() < maxUnits; i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

// The field that one of the six colour requests sets, and the largest colour it takes.
struct ColourField {
    PerWindow<uint8_t> MultiviewerState::*field;
    uint8_t lastColour;
};

std::optional<ColourField> colourField(uint8_t code) {
    using S = MultiviewerState;
    switch (code) {
        case mv::kSetUmdTextColor:
            return ColourField{&S::UmdTextColor, kLastTextColour};
        case mv::kSetUmdBackColor:
            return ColourField{&S::UmdBackColor, kLastBackColour};
        case mv::kSetFormatTextColor:
            return ColourField{&S::FormatTextColor, kLastTextColour};
        case mv::kSetFormatBackColor:
            return ColourField{&S::FormatBackColor, kLastBackColour};
        case mv::kSetTimecodeTextColor:
            return ColourField{&S::TimecodeTextColor, kLastTextColour};
        case mv::kSetTimecodeBackColor:
            return ColourField{&S::TimecodeBackColor, kLastBackColour};
        default:
            return std::nullopt;
    }
}

// The switches of one byte, 0 or 1.
uint8_t* switchField(MultiviewerState& s, uint8_t code) {
    switch (code) {
        case mv::kSetBorder:
            return &s.BorderOn;
        case mv::kSetAudioAlarm:
            return &s.AudioAlarmOn;
        case mv::kSetAllAudioMeters:
            return &s.AllAudioMeterOn;
        case mv::kSetAllUmd:
            return &s.AllUmdOn;
        case mv::kSetFormatStatus:
            return &s.FormatStatusOn;
        case mv::kSetTimecode:
            return &s.TimecodeOn;
        default:
            return nullptr;
    }
}

// A per-input or per-window element set from [index 1 to 16, value up to `last`].
bool setElement(PerWindow<uint8_t>& field, std::span<const uint8_t> p, uint8_t last) {
    if (p.size() != 2 || !isOneTo16(p[0]) || p[1] > last) return false;
    field[element(p[0])] = p[1];
    return true;
}

RequestOutcome reported(uint8_t code, std::span<const uint8_t> payload) {
    return {true, DeviceReport{code, Bytes(payload.begin(), payload.end())}};
}
RequestOutcome wholeState(uint8_t code) {
    return {true, DeviceReport{code, {}}};
}
constexpr RequestOutcome kRefused{};
constexpr RequestOutcome kUnreported{true, std::nullopt};

RequestOutcome applyOneValue(MultiviewerDeviceState& d, uint8_t code, uint8_t value) {
    MultiviewerState& s = d.model;
    if (uint8_t* field = switchField(s, code)) {
        if (!isBool(value)) return kRefused;
        *field = value;
        return reported(code, std::span(&value, 1));
    }
    switch (code) {
        case mv::kLoadDefault:
            restoreSettings(s, factorySettings());
            return wholeState(mv::kLoadDefault);
        case mv::kSetLayout:
            if (!isLayoutCode(value)) return kRefused;
            s.LayoutMode = value;
            return reported(code, std::span(&value, 1));
        case mv::kSetAudioSource:
            if (value > kWindowCount) return kRefused;
            s.AudioSourceWindow = value;
            return reported(code, std::span(&value, 1));
        case mv::kSetUmdSize:
            if (value > kLastUmdSize) return kRefused;
            d.umdSize = value;
            return kUnreported;
        case mv::kSaveCustom:
            if (value < 1 || value > kCustomPresetCount) return kRefused;
            d.presets[value - 1] = s;
            return kUnreported;
        case mv::kLoadCustom:
            if (value < 1 || value > kCustomPresetCount) return kRefused;
            restoreSettings(s, d.presets[value - 1]);
            return wholeState(mv::kLoadCustom);
        case mv::kSetWorkMode:
            if (!isBool(value)) return kRefused;
            s.SwitcherMode = value;
            return kUnreported;
        case mv::kSetDhcp:
            if (!isBool(value)) return kRefused;
            s.DhcpToggle = value;
            s.DeviceDhcpOn = value;
            return kUnreported;
        case windowreq::kPanelLock:
            if (!isBool(value)) return kRefused;
            d.panelLocked = value;
            return kUnreported;
        default:
            return kRefused;
    }
}

RequestOutcome applyIndexed(MultiviewerDeviceState& d, uint8_t code, std::span<const uint8_t> p) {
    MultiviewerState& s = d.model;
    if (const auto colour = colourField(code)) {
        // Index 0 is every input or window.
        if (p.size() != 2 || p[0] > kWindowCount || p[1] > colour->lastColour) return kRefused;
        auto& field = s.*colour->field;
        if (p[0] == 0) {
            field.fill(p[1]);
        } else {
            field[element(p[0])] = p[1];
        }
        return reported(code, p);
    }
    switch (code) {
        case mv::kSetOutputFormat:
            if (p.size() != 2 || p[0] != 0x00 || !outputFormatPosition(p[1])) return kRefused;
            s.OutputFormat = p[1];
            return reported(code, p);
        case mv::kSetSource: {
            // [input, window]: the window's input in multiviewer mode, the output's in switcher mode.
            auto& field = s.SwitcherMode ? s.MatrixRoute : s.WindowSource;
            if (p.size() != 2 || !isOneTo16(p[0]) || !isOneTo16(p[1])) return kRefused;
            field[element(p[1])] = p[0];
            return reported(code, p);
        }
        case mv::kSetUmdOn:
            return setElement(s.UmdOn, p, 1) ? reported(code, p) : kRefused;
        case mv::kSetAudioMeterOn:
            return setElement(s.AudioMeterOn, p, 1) ? reported(code, p) : kRefused;
        case mv::kSetAudioChannel:
            return setElement(s.AudioChannelPair, p, kLastChannelPair) ? reported(code, p) : kRefused;
        default:
            return kRefused;
    }
}

RequestOutcome applyText(MultiviewerDeviceState& d, uint8_t code, std::span<const uint8_t> p) {
    MultiviewerState& s = d.model;
    if (code == mv::kSetUmdName) {
        if (p.size() < kIndexedTextHeader || !isOneTo16(p[0]) ||
            !std::equal(kIndexedTextFixed.begin(), kIndexedTextFixed.end(), p.begin() + 1)) {
            return kRefused;
        }
        const auto name = textOf(p.subspan(kIndexedTextHeader), status::kUmdNameMaxUnits);
        if (!name) return kRefused;
        s.UmdName[element(p[0])] = *name;
        return kUnreported;
    }
    // The custom name.
    const auto name = textOf(p, status::kDeviceNameMaxBytes / 2);
    if (!name) return kRefused;
    s.DeviceName = *name;
    return kUnreported;
}

}  // namespace

bool isLayoutCode(uint8_t code) {
    constexpr uint8_t kMultiWindow[] = {40, 41, 42,  60,  61,  80,  81,  82,  83,  90,  91,
                                        92, 93, 100, 101, 102, 110, 111, 120, 121, 160, 161};
    return isOneTo16(code) ||
           std::find(std::begin(kMultiWindow), std::end(kMultiWindow), code) != std::end(kMultiWindow);
}

RequestOutcome applyMultiviewerRequest(MultiviewerDeviceState& device, uint8_t code,
                                       std::span<const uint8_t> payload) {
    switch (code) {
        case mv::kSetUmdName:
        case windowreq::kCustomName:
            return applyText(device, code, payload);
        case mv::kResetMatrix:
            if (!payload.empty()) return kRefused;
            for (size_t k = 0; k < kWindowCount; ++k)
                device.model.MatrixRoute[k] = static_cast<uint8_t>(k + 1);
            // No report code exists for it; "state changed as a whole" makes the PC read the routes back.
            return wholeState(mv::kStateChanged);
        case windowreq::kNetworkSettings:
            if (payload.size() != kNetworkAddressBytes + 1 || !isBool(payload.back())) return kRefused;
            std::copy_n(payload.begin(), kNetworkAddressBytes, device.networkAddress.begin());
            device.model.DeviceDhcpOn = payload.back();
            return kUnreported;
        default:
            break;
    }
    if (payload.size() == 1) return applyOneValue(device, code, payload[0]);
    return applyIndexed(device, code, payload);
}

}  // namespace kvx
