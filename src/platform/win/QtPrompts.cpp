#include "platform/win/QtPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace win {

namespace {

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
std::string U(const QString& text) { return text.toUtf8().toStdString(); }

QMessageBox::StandardButtons ToQt(Buttons b) {
    switch (b) {
        case Buttons::Ok: return QMessageBox::Ok;
        case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
        case Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(Icon i) {
    switch (i) {
        case Icon::None: return QMessageBox::NoIcon;
        case Icon::Information: return QMessageBox::Information;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Error: return QMessageBox::Critical;
        case Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

int FromQt(int button) {
    switch (button) {
        case QMessageBox::Ok: return IDOK;
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Retry: return IDRETRY;
        case QMessageBox::Abort: return IDABORT;
        case QMessageBox::Ignore: return IDIGNORE;
        default: return IDCANCEL;
    }
}

}  // namespace

int QtPrompts::ShowMessageBox(const MessageBoxRequest& r) {
    QMessageBox box(ToQt(r.icon), Q(r.caption), Q(r.text), ToQt(r.buttons), r.owner);
    return FromQt(box.exec());
}

std::optional<std::uint32_t> QtPrompts::ChooseColor(QWidget* owner, std::uint32_t bgr) {
    const QColor initial(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid()) return std::nullopt;
    return std::uint32_t(chosen.red()) | (std::uint32_t(chosen.green()) << 8) | (std::uint32_t(chosen.blue()) << 16);
}

std::optional<std::string> QtPrompts::ChooseOpenFile(const FileChooserRequest& r) {
    const QString path = QFileDialog::getOpenFileName(r.owner, Q(r.caption), Q(r.initialPath), Q(r.filter));
    if (path.isEmpty()) return std::nullopt;
    return U(path);
}

std::optional<std::string> QtPrompts::ChooseSaveFile(const FileChooserRequest& r) {
    QFileDialog dialog(r.owner, Q(r.caption), Q(r.initialPath), Q(r.filter));
    ConfigureSaveChooser(dialog, r);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return U(files.front());
}

QString QtPrompts::SuffixOfFilter(const QString& filter) {
    // "PNG (*.png)" gives "png"; the first pattern of the form *.ext counts.
    const qsizetype open = filter.indexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    const QString patterns = open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
    for (const QString& pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (pattern.startsWith(QStringLiteral("*.")) && pattern.size() > 2 && pattern.indexOf(QLatin1Char('*'), 1) < 0)
            return pattern.mid(2);
    return {};
}

void QtPrompts::ConfigureSaveChooser(QFileDialog& dialog, const FileChooserRequest& r) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (r.defaultSuffix.empty()) return;
    dialog.setDefaultSuffix(Q(r.defaultSuffix));
    // The filter that matches the initial file's extension is shown first, and its suffix is added.
    const QString initialSuffix = QFileInfo(Q(r.initialPath)).suffix();
    if (!initialSuffix.isEmpty())
        for (const QString& filter : dialog.nameFilters())
            if (SuffixOfFilter(filter).compare(initialSuffix, Qt::CaseInsensitive) == 0) {
                dialog.selectNameFilter(filter);
                dialog.setDefaultSuffix(SuffixOfFilter(filter));
                break;
            }
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QString suffix = SuffixOfFilter(filter);
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    });
}

std::optional<std::string> QtPrompts::PromptText(const TextPromptRequest& r) {
    QInputDialog dialog(r.owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(Q(r.caption));
    dialog.setLabelText(Q(r.label));
    dialog.setTextValue(Q(r.initialText));
    if (!r.cancelText.empty()) dialog.setCancelButtonText(Q(r.cancelText));
    if (r.maxLength > 0)
        if (auto* field = dialog.findChild<QLineEdit*>()) field->setMaxLength(r.maxLength);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return U(dialog.textValue());
}

bool QtPrompts::IsShiftDown() { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier); }

}  // namespace win
