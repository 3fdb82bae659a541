#include "app/application.h"

#include <QApplication>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/auto_script.h"
#include "app/main_window.h"
#include "controls/set_bitmap_resource.h"
#include "platform/system_platform.h"
#include "protocol/frame_trace.h"
#include "resources/skin_renderer.h"
#include "simulator/demo_world.h"
#include "simulator/front_panel_demo.h"
#include "simulator/multiviewer_device.h"

namespace kvx {

namespace {

const char* const kUsage =
    "usage: korvelux [--demo] [--screenshot FILE] [--auto STEPS] [--trace] [--help] [--version]\n"
    "  --demo             run on built-in simulated devices (a multiviewer, an 8x8 and a 16x16 matrix\n"
    "                     switcher, a listed-only device, and a serial port COM1 with a device on it);\n"
    "                     nothing is sent on the network; the multiviewer changes something on its own\n"
    "                     front panel every 4 s, as an operator at the device would\n"
    "  --screenshot FILE  search once, save the window to FILE (PNG) and exit\n"
    "  --auto STEPS       drive the window with comma-separated steps:\n"
    "%s"
    "  --trace            write every frame sent and received to stderr, one line each: a monotonic time\n"
    "                     in seconds, send or recv, the link (lan:ADDRESS:PORT, report:ADDRESS:PORT or\n"
    "                     serial:PORT) and the bytes in hex\n"
    "  --version          print the version\n"
    "The window toolkit's own options (such as -platform offscreen) are passed on to it.\n";

struct Arguments {
    CKORVELUX_16_VIEWApp::Options options;
    bool help = false;
    bool version = false;
    bool trace = false;
    std::vector<const char*> others;  // not the program's own
};

Arguments readArguments(int argc, char** argv) {
    Arguments read;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--help" || arg == "-h") {
            read.help = true;
        } else if (arg == "--version") {
            read.version = true;
        } else if (arg == "--demo") {
            read.options.demo = true;
        } else if (arg == "--trace") {
            read.trace = true;
        } else if ((arg == "--screenshot" || arg == "--auto") && i + 1 < argc) {
            const QString value = QString::fromLocal8Bit(argv[++i]);
            read.options.autoSteps =
                arg == "--auto" ? value : QStringLiteral("search,wait:300,screenshot:%1,quit").arg(value);
        } else {
            read.others.push_back(argv[i]);
        }
    }
    return read;
}

}  // namespace

int CKORVELUX_16_VIEWApp::run(int argc, char** argv) {
    Arguments arguments = readArguments(argc, argv);
    if (arguments.help) {
        std::printf(kUsage, kAutoStepsHelp);
        return 0;
    }
    if (arguments.version) {
        std::printf("%s\n", CKORVELUX_16_VIEWDlg::kVersionText);
        return 0;
    }
    if (const QString error = AutoScript::validate(arguments.options.autoSteps); !error.isEmpty()) {
        std::fprintf(stderr, "korvelux: %s\n", qPrintable(error));
        return 2;
    }
    // The windows are laid out for the screen's dots per inch by the program itself (positions scaled,
    // picture buttons at their own size); the toolkit scaling them once more would blow the pictures up.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // The toolkit takes out of argv the options that are its own; what is left must be the program's.
    QApplication app(argc, argv);
    if (!arguments.others.empty()) arguments = readArguments(argc, argv);
    if (!arguments.others.empty()) {
        std::fprintf(stderr, "korvelux: unknown option %s\n", arguments.others.front());
        std::fprintf(stderr, kUsage, kAutoStepsHelp);
        return 2;
    }
    if (arguments.trace) enableFrameTrace(stderr);
    return runWindow(arguments.options);
}

int CKORVELUX_16_VIEWApp::runWindow(const Options& options) {
    installBitmapSource(renderSkinBitmap);
    SystemClock clock;
    std::unique_ptr<DemoWorld> demo;
    std::unique_ptr<PosixNetwork> network;
    std::unique_ptr<TermiosSerialPorts> ports;
    std::shared_ptr<Network> demoNetwork;
    std::unique_ptr<FrontPanelDemo> frontPanel;
    if (options.demo) {
        demo = std::make_unique<DemoWorld>(clock);
        demoNetwork = demo->pcNetwork();
        // The demo's multiviewer is operated on its own front panel too, so its reports can be seen.
        if (auto* multiviewer = dynamic_cast<MultiviewerDevice*>(demo->devices().front().get()))
            frontPanel = std::make_unique<FrontPanelDemo>(*multiviewer);
    } else {
        network = std::make_unique<PosixNetwork>();
        ports = std::make_unique<TermiosSerialPorts>();
    }
    AppPlatform platform{options.demo ? *demoNetwork : static_cast<Network&>(*network), clock,
                         options.demo ? demo->pcSerialPorts() : static_cast<SerialPorts&>(*ports)};
    int status = 0;
    {
        CKORVELUX_16_VIEWDlg window(platform);
        window.show();
        if (!options.autoSteps.isEmpty()) (new AutoScript(window, options.autoSteps))->start();
        QObject::connect(&window, &CKORVELUX_16_VIEWDlg::destroyed, qApp, &QApplication::quit);
        status = QApplication::exec();
    }
    return status;
}

}  // namespace kvx
