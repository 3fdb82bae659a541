#include "simulator/front_panel_commands.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace kvx {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

std::optional<uint8_t> byteOf(std::string_view text, int base = 10) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 0xFF)
        return std::nullopt;
    return static_cast<uint8_t>(value);
}

}  // namespace

FrontPanelResult applyFrontPanelCommand(MultiviewerDevice& device, std::string_view line) {
    const std::vector<std::string_view> w = words(line);
    if (w.empty()) return FrontPanelResult::Unknown;
    std::vector<std::optional<uint8_t>> n;
    const auto isHex = [&w](size_t i) { return w[0] == "request" || (w[0] == "colour" && i == 1); };
    for (size_t i = 1; i < w.size(); ++i) n.push_back(byteOf(w[i], isHex(i) ? 16 : 10));
    for (const auto& value : n) {
        if (!value) return FrontPanelResult::Unknown;
    }
    const auto done = [](bool ok) { return ok ? FrontPanelResult::Done : FrontPanelResult::Refused; };
    const std::string_view verb = w[0];
    if (verb == "layout" && n.size() == 1) return done(device.changeLayout(*n[0]));
    if (verb == "source" && n.size() == 2) return done(device.changeSource(*n[0], *n[1]));
    if (verb == "umd" && n.size() == 2) return done(device.switchUmd(*n[0], *n[1]));
    if (verb == "colour" && n.size() == 3) return done(device.changeColour(*n[0], *n[1], *n[2]));
    if (verb == "signal" && n.size() == 3) return done(device.setSignal(*n[0], *n[1], *n[2]));
    if (verb == "request" && !n.empty()) {
        Bytes payload;
        for (size_t i = 1; i < n.size(); ++i) payload.push_back(*n[i]);
        return done(device.frontPanelChange(*n[0], payload));
    }
    if (verb == "defaults" && n.empty()) {
        device.loadDefaults();
        return FrontPanelResult::Done;
    }
    return FrontPanelResult::Unknown;
}

}  // namespace kvx
