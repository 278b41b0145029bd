#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/BatchRender.h"
#include "archive/BuildArchiveCommand.h"
#include "core/CommandLine.h"
#include "core/MainApp.h"
#include "platform/win/QtPrompts.h"
#include "platform/win/UserPrompts.h"

namespace {

bool HasDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

QStringList Arguments(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    const QStringList arguments = Arguments(argc, argv);
    const CommandLine commandLine = ParseCommandLine(arguments);
    switch (commandLine.action) {
        case CommandLine::Action::Help:
            std::cout << HelpText();
            return 0;
        case CommandLine::Action::Version:
            std::cout << VersionText() << "\n";
            return 0;
        case CommandLine::Action::Error:
            std::cerr << "marisole: " << commandLine.error << "\n";
            // A desktop start may have no terminal to read the error stream: a message box says it too.
            if (IsDesktopStart(arguments) && HasDisplay()) {
                QApplication app(argc, argv);
                win::InstallPrompts(std::make_unique<win::QtPrompts>());
                win::MessageBox(nullptr, commandLine.error, "Marisole", win::Buttons::Ok, win::Icon::Error);
            }
            return 2;
        case CommandLine::Action::Render: {
            QCoreApplication app(argc, argv);
            return RunBatchRender(commandLine, app.arguments(), std::cerr);
        }
        case CommandLine::Action::BuildArchive:
            return RunBuildArchiveCommand(commandLine.archiveSource, commandLine.archiveVolume, std::cout);
        case CommandLine::Action::RunApplication:
            break;
    }

    if (!HasDisplay() && commandLine.qtPlatform.empty()) {
        std::cerr << "marisole: no display is available, so the window cannot be shown.\n"
                     "Render without a window instead:\n"
                     "  marisole --render OUT.bmp --pose-set NAME.OBJ\n";
        return 1;
    }

    QApplication app(argc, argv);
    win::InstallPrompts(std::make_unique<win::QtPrompts>());
    CMainApp* mainApp = GetApp();
    if (!mainApp->InitInstance(app.arguments())) return 0;
    app.exec();
    return mainApp->ExitInstance();
}
