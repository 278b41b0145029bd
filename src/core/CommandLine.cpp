#include "core/CommandLine.h"

#include <QDir>
#include <QFileInfo>

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

bool ParseSize(const QString& text, int* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v <= 0 || v > 16384) return false;
    *out = v;
    return true;
}

CommandLine Error(const std::string& message) {
    CommandLine c;
    c.action = CommandLine::Action::Error;
    c.error = message;
    return c;
}

CommandLine ParseRender(const QStringList& a) {
    CommandLine c;
    c.action = CommandLine::Action::Render;
    for (qsizetype i = 1; i < a.size(); ++i) {
        const QString& arg = a[i];
        const bool hasValue = i + 1 < a.size();
        if (arg == "--render" && hasValue) {
            c.renderOutput = S(a[++i]);
        } else if (arg == "--scene" && hasValue) {
            c.renderScene = S(a[++i]);
        } else if (arg == "--pose-set" && hasValue) {
            c.renderPoseSets.push_back(S(a[++i]));
        } else if (arg == "--part" && hasValue) {
            c.renderPart = S(a[++i]);
        } else if (arg == "--background" && hasValue) {
            c.renderBackground = S(a[++i]);
        } else if (arg == "--width" && hasValue) {
            if (!ParseSize(a[++i], &c.renderWidth)) return Error("--width needs a size from 1 to 16384");
        } else if (arg == "--height" && hasValue) {
            if (!ParseSize(a[++i], &c.renderHeight)) return Error("--height needs a size from 1 to 16384");
        } else if (arg == "--no-antialias") {
            c.renderAntialias = false;
        } else if (arg == "--smooth") {
            c.renderSmooth = true;
        } else if (arg == "--view" && hasValue) {
            c.renderView = S(a[++i]);
        } else {
            return Error("unexpected argument for --render: " + S(arg));
        }
    }
    if (c.renderOutput.empty()) return Error("--render needs an output file");
    if (!c.renderScene.empty() + !c.renderPoseSets.empty() + !c.renderPart.empty() != 1)
        return Error("--render needs exactly one of --scene FILE.mrs, --pose-set NAME.OBJ and --part FILE.x");
    if (c.renderPoseSets.size() > 8) return Error("--render takes at most 8 pose sets (one figure each)");
    return c;
}

// Qt's own options of a desktop start (QGuiApplication and QApplication), in "-name" form; Qt also
// takes "--name" and "-name=value". Each is passed on to Qt untouched.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"-platform", true},        {"-platformpluginpath", true},
    {"-platformtheme", true},   {"-plugin", true},
    {"-qwindowgeometry", true}, {"-qwindowicon", true},
    {"-qwindowtitle", true},    {"-display", true},
    {"-geometry", true},        {"-title", true},
    {"-session", true},         {"-style", true},
    {"-stylesheet", true},      {"-qmljsdebugger", true},
    {"-reverse", false},        {"-nograb", false},
    {"-dograb", false},         {"-sync", false},
    {"-widgetcount", false},    {"-testability", false},
};

// How many arguments a Qt option at `arg` takes up (1 or 2), 0 when it is none of Qt's; `next` is
// the argument after it (null at the end). Notes the value of -platform.
int QtOptionLength(const QString& arg, const QString* next, std::string* platform) {
    QString name = arg.startsWith(QStringLiteral("--")) ? arg.mid(1) : arg;
    const qsizetype equals = name.indexOf('=');
    const QString inlineValue = equals < 0 ? QString() : name.mid(equals + 1);
    if (equals >= 0) name.truncate(equals);
    for (const QtOption& o : kQtOptions) {
        if (name != QLatin1String(o.name) || (!o.takesValue && equals >= 0)) continue;
        if (o.takesValue && equals < 0 && !next) return 0;
        if (name == QLatin1String("-platform")) *platform = S(equals >= 0 ? inlineValue : *next);
        return o.takesValue && equals < 0 ? 2 : 1;
    }
    return 0;
}

}  // namespace

bool IsDesktopStart(const QStringList& arguments) {
    return !arguments.contains(QStringLiteral("--render")) &&
           !arguments.contains(QStringLiteral("--build-archive"));
}

CommandLine ParseCommandLine(const QStringList& a) {
    if (a.contains("--render")) return ParseRender(a);
    CommandLine c;
    for (qsizetype i = 1; i < a.size(); ++i) {
        const QString& arg = a[i];
        if (arg == "--help" || arg == "-h") {
            c.action = CommandLine::Action::Help;
            return c;
        }
        if (arg == "--version") {
            c.action = CommandLine::Action::Version;
            return c;
        }
        if (arg == "--build-archive") {
            if (a.size() != i + 3) return Error("--build-archive needs SOURCE_FOLDER and VOLUME");
            c.action = CommandLine::Action::BuildArchive;
            c.archiveSource = S(a[i + 1]);
            c.archiveVolume = S(a[i + 2]);
            return c;
        }
        if (const int qt = QtOptionLength(arg, i + 1 < a.size() ? &a[i + 1] : nullptr, &c.qtPlatform)) {
            i += qt - 1;
        } else if (arg == "--no-splash") {
            c.showSplash = false;
        } else if (arg == "--pose-set") {
            if (i + 1 >= a.size()) return Error("--pose-set needs a pose set name such as STAND.OBJ");
            c.poseSet = S(a[++i]);
        } else if (arg.startsWith("--")) {
            return Error("unknown option " + S(arg) + " (see --help)");
        } else if (c.sceneFile.empty()) {
            c.sceneFile = S(arg);
        } else {
            return Error("only one scene file can be opened");
        }
    }
    if (!c.sceneFile.empty() && !c.poseSet.empty())
        return Error("open either a scene file or a pose set, not both");
    return c;
}

std::string AppFolderFromProgramPath(const QString& programPath, const QString& fallbackFolder) {
    QString path = programPath;
    if (path.size() >= 2 && path.startsWith('"') && path.endsWith('"')) path = path.mid(1, path.size() - 2);
    QString folder;
    const qsizetype slash = path.lastIndexOf('/');
    folder = slash < 0 ? fallbackFolder : path.left(slash + 1);
    if (folder.isEmpty()) return {};
    folder = QDir(folder).absolutePath();
    if (!folder.endsWith('/')) folder += '/';
    return S(folder);
}

std::string VersionText() {
    return "Version:1.00 (Build:751)";
}

std::string HelpText() {
    return "Marisole - compose small 3D scenes from ready-made parts and render them to BMP or PNG files.\n"
           "\n"
           "Usage:\n"
           "  marisole [SCENE.mrs | --pose-set NAME.OBJ] [--no-splash]\n"
           "      Start the desktop application; the scene file or pose set opens after start-up.\n"
           "  marisole --render OUT.bmp (--scene FILE.mrs | --pose-set NAME.OBJ... | --part FILE.x)\n"
           "           [--background PICTURE] [--width W] [--height H] [--no-antialias] [--smooth]\n"
           "           [--view front|back|right|left|top|bottom]\n"
           "      Render a scene to a 24-bit BMP file (PNG when OUT ends in .png) without any\n"
           "      window. --pose-set may be given up to 8 times, one figure each, side by side.\n"
           "      --part renders one mesh file from disk, framed to two thirds of the\n"
           "      picture's height; --background stretches a picture (JPEG, PNG or BMP) under\n"
           "      the scene; --view looks from a standard view with every shown part framed.\n"
           "  marisole --build-archive SOURCE_FOLDER VOLUME\n"
           "      Pack a folder into an archive volume and its index.\n"
           "  marisole --help | --version\n";
}
