// korvelux-ctl backlight: the front panel backlight time and brightness of a matrix switcher.
#include <string>
#include <vector>

#include "matrix/matrix_exchange.h"
#include "matrix_ctl_commands.h"
#include "matrix_target.h"
#include "matrix_texts.h"

namespace kvx {

namespace {

constexpr int kMaxBrightness = 100;

int runBacklight(const std::vector<std::string>& args, const OutputOptions& output) {
    MatrixOptions options;
    std::vector<std::string> words;
    if (!parseMatrixArguments(args, backlightCommand(), options, words)) return kExitOk;
    if (words.size() != 2) throw UsageError("backlight takes TIME BRIGHTNESS");
    const uint8_t time = parseBacklightTime(words[0]);
    const auto brightness = static_cast<uint8_t>(parseNumber(words[1], 0, kMaxBrightness, "brightness"));

    CtlSession session(options.link);
    MatrixTarget found;
    if (const int result = findMatrix(session, options, found); result != kExitOk) return result;
    const int timeSent =
        sendOnWorker(session, [&](DeviceLink& link) { return sendBacklightTime(link, found.target, time); });
    if (timeSent != kExitOk) return timeSent;
    const int brightnessSent = sendOnWorker(
        session, [&](DeviceLink& link) { return sendBacklightBrightness(link, found.target, brightness); });
    if (brightnessSent != kExitOk) return brightnessSent;
    printSent(output, {{"BacklightTime", backlightTimeText(time)}, {"BacklightBrightness", brightness}});
    return kExitOk;
}

}  // namespace

CtlCommand backlightCommand() {
    static const std::string help =
        std::string(
            "usage: korvelux-ctl backlight TIME BRIGHTNESS [--device ADDRESS [--type 82|83]]\n"
            "                              [--serial PATH [--baud N]] [--demo]\n"
            "Sets the front panel backlight of a matrix switcher: the time (0x51), 0 to 4 or its text "
            "(\"15s\n"
            "Dim\", \"60s Dim\", \"15s Off\", \"60s Off\", \"Always On\"), then the brightness (0x52), 0 to "
            "100\n"
            "percent. Prints 'sent BacklightTime=TEXT' and 'sent BacklightBrightness=N' (--json:\n"
            "{\"sent\": {\"BacklightTime\": TEXT, \"BacklightBrightness\": N}}).\n"
            "Exit status: 0 both went out, 1 no matrix switcher found, 2 usage error, port or socket error.\n"
            "Options:\n") +
        kMatrixOptionsHelp;
    return {"backlight", "set a matrix switcher's backlight time and brightness", help.c_str(), runBacklight};
}

}  // namespace kvx
