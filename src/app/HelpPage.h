#pragma once
// The help command: the manual "OvalithHelp.HTML" beside the executable, opened with the desktop's
// HTML handler.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class QWidget;

struct HtmlLauncher {
    // The program that opens HTML pages, or nothing when the desktop has none.
    std::function<std::optional<QString>()> findHandler;
    // Starts the program with its arguments, detached; false when it could not start.
    std::function<bool(const QString& program, const QStringList& arguments)> start;

    // The desktop's launcher: xdg-open, when an application is registered for text/html.
    static HtmlLauncher Desktop();
};

inline constexpr const char* kHelpPageName = "OvalithHelp.HTML";

// Shows the help page, or the message that it is missing or that no browser is set up.
void ShowHelp(QWidget* owner, const std::string& appFolder, const HtmlLauncher& launcher);
