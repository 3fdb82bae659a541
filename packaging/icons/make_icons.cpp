// Writes the program's icon as the PNGs of a hicolor icon theme, drawn at build time by the same code as the
// window's icon: make_icons FOLDER SIZE... writes FOLDER/<SIZE>x<SIZE>/apps/korvelux.png for each size.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <string>

#include "resources/skin_art.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icons FOLDER SIZE...\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::stoi(argv[i]);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QImage icon = kvx::drawProgramIcon(size);
        if (icon.isNull() || !QDir().mkpath(dir) || !icon.save(dir + "/korvelux.png", "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write the %dx%d icon under %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
