// im: the picture viewer started after a render, with the picture's path as its only argument.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ImageViewer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CImageViewer viewer;
    if (argc > 1) viewer.Open(QString::fromLocal8Bit(argv[1]));
    // Open at the picture's size when it fits on the screen, else at most 80% of the screen.
    QSize size = viewer.Image().isNull() ? QSize(480, 360) : viewer.Image().size();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.8);
    viewer.resize(size.expandedTo(viewer.minimumSize()));
    viewer.show();
    return app.exec();
}
