// marisole_icongen OUTDIR SIZE...: draws the application icon at each size into
// OUTDIR/<size>x<size>/apps/jp.halvern.Marisole.png, the hicolor theme's layout.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <cstdio>

#include "app/AppIcon.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: marisole_icongen OUTDIR SIZE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&number);
        if (!number || size < 8 || size > 1024) {
            std::fprintf(stderr, "marisole_icongen: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString file = folder + QStringLiteral("/jp.halvern.Marisole.png");
        QSaveFile saved(file);
        if (!QDir().mkpath(folder) || !saved.open(QIODevice::WriteOnly) ||
            !artwork::ApplicationIcon(size).save(&saved, "PNG") || !saved.commit()) {
            std::fprintf(stderr, "marisole_icongen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
