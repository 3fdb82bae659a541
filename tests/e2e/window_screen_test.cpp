// The real window program on screens as an operator has them: at 144 dots per inch it scales its window
// and positions itself while the picture buttons keep their own size, drawn pixel for pixel (offscreen with a
// font dpi of 144, and on a virtual X display whose resources say 144 dpi, as a desktop sets them, when Xvfb
// is installed); and the window toolkit's own command-line options reach the toolkit.
#include <gtest/gtest.h>

#include "e2e/support/child_and_namespaces.h"

#ifdef KVX_APP_PATH

#include <QImage>
#include <filesystem>

namespace window_screen_test {

using namespace kvx::e2e;

constexpr int kRunTimeoutMs = 30000;

struct Face {
    const char* name;
    QPoint at96;  // top left corner at 96 dpi
    QSize size;   // unscaled at every dpi
};
// The search and lock buttons of the main window.
const Face kFaces[] = {{"search", {380, 75}, {135, 35}}, {"lock", {665, 75}, {70, 37}}};

// The demo window as the program saves it, started with the given environment and arguments.
QImage windowShot(const std::vector<std::string>& environment,
                  const std::vector<std::string>& arguments = {}) {
    const std::string file = testing::TempDir() + "kvx-screen-" + std::to_string(::getpid()) + ".png";
    std::vector<std::string> argv{"env"};
    argv.insert(argv.end(), environment.begin(), environment.end());
    argv.push_back(KVX_APP_PATH);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    argv.insert(argv.end(), {"--demo", "--auto", "wait:100,screenshot:" + file + ",quit"});
    Child window(argv);
    const Child::Result result = window.finish(kRunTimeoutMs);
    EXPECT_EQ(result.code, 0) << result.err;
    QImage shot(QString::fromStdString(file));
    std::filesystem::remove(file);
    return shot.convertToFormat(QImage::Format_RGB32);
}

// Share of the pixels of the two areas that are the same.
double sameShare(const QImage& a, QPoint atA, const QImage& b, QPoint atB, QSize size) {
    int same = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            same += a.pixel(atA + QPoint(x, y)) == b.pixel(atB + QPoint(x, y));
    return double(same) / (size.width() * size.height());
}

// At 144 dpi the window is 1920 x 1080, and each picture button shows, at 1.5 times its 96 dpi position, the
// very picture it shows at 96 dpi (only the few pixels where the stretched skin shows through may differ).
void expectScaledAt144(const QImage& shot) {
    static const QImage at96 = windowShot({"QT_QPA_PLATFORM=offscreen"});
    ASSERT_EQ(at96.size(), QSize(1280, 720));
    ASSERT_EQ(shot.size(), QSize(1920, 1080));
    for (const Face& face : kFaces) {
        const QPoint at144(face.at96.x() * 3 / 2, face.at96.y() * 3 / 2);
        EXPECT_GE(sameShare(shot, at144, at96, face.at96, face.size), 0.95)
            << face.name << " at " << at144.x() << "," << at144.y();
    }
}

TEST(WindowAt144Dpi, Offscreen) {
    expectScaledAt144(windowShot({"QT_QPA_PLATFORM=offscreen", "QT_FONT_DPI=144"}));
}

TEST(WindowAt144Dpi, OnAVirtualXDisplay) {
    if (!run("command -v Xvfb >/dev/null")) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    Child server({"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", "2560x1440x24"});
    const std::optional<std::string> number = server.lineStartingWith("", 10000);
    ASSERT_TRUE(number.has_value()) << server.stopAndTakeStderr();
    const std::string display = "DISPLAY=:" + *number;
    // A desktop tells its programs the screen's resolution in the Xft.dpi resource.
    std::vector<std::string> environment{display, "QT_QPA_PLATFORM=xcb"};
    if (!run("echo 'Xft.dpi: 144' | env " + display + " xrdb -nocpp -merge"))
        environment.push_back("QT_FONT_DPI=144");
    expectScaledAt144(windowShot(environment));
}

// With no display and no platform named in the environment, only the option makes the window start.
TEST(WindowCommandLine, TheToolkitsOwnOptionsReachIt) {
    const QImage shot = windowShot({"-u", "QT_QPA_PLATFORM", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"},
                                   {"-platform", "offscreen"});
    EXPECT_EQ(shot.size(), QSize(1280, 720));
}

TEST(WindowCommandLine, AnOptionNeitherKnowsIsRefused) {
    Child window({"env", "QT_QPA_PLATFORM=offscreen", KVX_APP_PATH, "-platform", "offscreen", "--fast"});
    const Child::Result result = window.finish(kRunTimeoutMs);
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find("korvelux: unknown option --fast\n"), std::string::npos) << result.err;
}

}  // namespace window_screen_test

#endif
