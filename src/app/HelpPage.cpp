#include "app/HelpPage.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/win/UserPrompts.h"

HtmlLauncher HtmlLauncher::Desktop() {
    HtmlLauncher launcher;
    launcher.findHandler = []() -> std::optional<QString> {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (opener.isEmpty() || mime.isEmpty()) return std::nullopt;
        QProcess query;
        query.start(mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
        if (!query.waitForFinished(3000)) {
            query.kill();
            query.waitForFinished(1000);
            return std::nullopt;
        }
        if (query.exitCode() != 0 || query.readAllStandardOutput().trimmed().isEmpty()) return std::nullopt;
        return opener;
    };
    launcher.start = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    return launcher;
}

void ShowHelp(QWidget* owner, const std::string& appFolder, const HtmlLauncher& launcher) {
    const QString page = QString::fromStdString(appFolder) + QString::fromLatin1(kHelpPageName);
    if (!QFileInfo(page).isFile()) {
        win::MessageBox(owner, "ヘルプファイルが見つかりません。");
        return;
    }
    const std::optional<QString> handler = launcher.findHandler ? launcher.findHandler() : std::nullopt;
    if (!handler || !launcher.start || !launcher.start(*handler, {page})) {
        win::MessageBox(owner, "HTMLブラウザが正常にセットアップされていません。");
    }
}
