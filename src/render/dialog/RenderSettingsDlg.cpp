#include "render/dialog/RenderSettingsDlg.h"

#include <QCheckBox>
#include <algorithm>
#include <cmath>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "core/SettingsStore.h"
#include "platform/win/UserPrompts.h"

const CRenderSettingsDlg::Preset CRenderSettingsDlg::kPresets[7] = {
    {"User", 0, 0},        {"320x240", 320, 240},   {"640x480", 640, 480},    {"800x600", 800, 600},
    {"1024x768", 1024, 768}, {"1280x960", 1280, 960}, {"1600x1200", 1600, 1200},
};

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The picture of the "Files..." button: a small folder.
QIcon FolderPicture() {
    QPixmap p(16, 14);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(150, 110, 20));
    g.setBrush(QColor(240, 200, 80));
    g.drawRect(1, 3, 13, 9);
    g.drawRect(1, 1, 5, 2);
    return QIcon(p);
}

// A size as typed, kept between 0 and the largest size the dialog accepts.
int ValueOf(const QLineEdit* edit) { return std::clamp(edit->text().toInt(), 0, CRenderSettingsDlg::kMaxSize); }

}  // namespace

int CRenderSettingsDlg::MatchPreset(int width, int height) {
    for (int i = 1; i < 7; ++i)
        if (kPresets[i].width == width && kPresets[i].height == height) return i;
    return 0;
}

CRenderSettingsDlg::CRenderSettingsDlg(CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setWindowTitle(QStringLiteral("レンダリング"));
    QFont font(QStringLiteral("Terminal"), 10);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    // Dialog units from the font: a quarter of the average character width, an eighth of its height;
    // LayOut widens them where a control needs it.
    const QFontMetrics metrics(font);
    m_unitX = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4.0;
    m_unitY = metrics.height() / 8.0;

    Place(new QGroupBox(QStringLiteral("レンダリング出力"), this), 8, 8, 216, 32);
    // A picture button, as the chooser button always was: the caption "Files..." beside the
    // picture would not fit in its 40 dialog units, so it is the tool tip and the accessible name.
    m_files = new QPushButton(FolderPicture(), QString(), this);
    m_files->setToolTip(QStringLiteral("Files..."));
    m_files->setAccessibleName(QStringLiteral("Files..."));
    Place(m_files, 16, 20, 40, 12);
    m_path = new QLineEdit(this);
    Place(m_path, 60, 20, 156, 12);

    Place(new QGroupBox(QStringLiteral("出力イメージサイズ"), this), 8, 44, 216, 32);
    Place(new QLabel(QStringLiteral("幅"), this), 13, 59, 12, 8);
    m_width = new QLineEdit(this);
    m_width->setValidator(new QIntValidator(0, kMaxSize, m_width));
    Place(m_width, 30, 57, 36, 12);
    Place(new QLabel(QStringLiteral("高さ"), this), 75, 59, 20, 8);
    m_height = new QLineEdit(this);
    m_height->setValidator(new QIntValidator(0, kMaxSize, m_height));
    Place(m_height, 98, 57, 36, 12);
    m_presets = new QComboBox(this);
    for (const auto& p : kPresets) m_presets->addItem(QString::fromLatin1(p.text));
    Place(m_presets, 152, 57, 64, 12);

    Place(new QGroupBox(QStringLiteral("オプション"), this), 8, 81, 216, 48);
    m_antialias = new QCheckBox(QStringLiteral("アンチエイリアシング"), this);
    Place(m_antialias, 16, 92, 132, 12);
    m_smooth = new QCheckBox(QStringLiteral("接続面スムージング"), this);
    Place(m_smooth, 16, 108, 132, 12);

    m_ok = new QPushButton(QStringLiteral("レンダリング"), this);
    m_ok->setDefault(true);
    Place(m_ok, 56, 137, 104, 16);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    Place(cancel, 164, 137, 58, 16);
    LayOut(232, 161);

    // Values as stored.
    m_path->setText(Q(m_settings.GetSettingString("render", "name", "")));
    ShowSize(m_settings.GetSettingInt("render", "width", 640), m_settings.GetSettingInt("render", "height", 480));
    m_antialias->setChecked(m_settings.GetSettingInt("render", "antialias", 1) != 0);
    m_smooth->setChecked(m_settings.GetSettingInt("render", "smooth", 0) != 0);
    m_presets->setCurrentIndex(0);
    ShowMatchingPreset();

    // Only what the person does drives the coupling; values shown by the dialog itself do not feed
    // back into the other edit.
    connect(m_presets, &QComboBox::activated, this, [this](int index) { OnPresetChosen(index); });
    connect(m_width, &QLineEdit::textEdited, this, [this] { OnWidthEdited(); });
    connect(m_height, &QLineEdit::textEdited, this, [this] { OnHeightEdited(); });
    connect(m_files, &QPushButton::clicked, this, [this] { OnFiles(); });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CRenderSettingsDlg::Place(QWidget* w, int x, int y, int width, int height) {
    m_plan.push_back({w, QRect(x, y, width, height)});
}

void CRenderSettingsDlg::LayOut(int width, int height) {
    // A unit grows where a control needs more room than its dialog units give it: the style's frames
    // and margins do not follow the font's average width and height, and the Japanese texts come from
    // a fallback font that may stand taller than the face the system gives for "Terminal" (DejaVu
    // Sans on some machines, which left the edits and buttons a few pixels short).
    for (const Placed& p : m_plan) {
        const QSize needed = p.widget->minimumSizeHint();
        m_unitX = std::max(m_unitX, needed.width() / static_cast<double>(p.units.width()));
        m_unitY = std::max(m_unitY, needed.height() / static_cast<double>(p.units.height()));
    }
    // Edges rounded outwards, so that a control is never a pixel short of its room.
    auto down = [](int units, double unit) { return static_cast<int>(std::floor(units * unit)); };
    auto up = [](int units, double unit) { return static_cast<int>(std::ceil(units * unit)); };
    for (const Placed& p : m_plan) {
        const QRect& u = p.units;
        const int left = down(u.left(), m_unitX), top = down(u.top(), m_unitY);
        p.widget->setGeometry(left, top, up(u.left() + u.width(), m_unitX) - left,
                              up(u.top() + u.height(), m_unitY) - top);
    }
    setFixedSize(up(width, m_unitX), up(height, m_unitY));
}

void CRenderSettingsDlg::ShowSize(int width, int height) {
    const QString w = QString::number(width), h = QString::number(height);
    if (m_width->text() != w) m_width->setText(w);
    if (m_height->text() != h) m_height->setText(h);
}

void CRenderSettingsDlg::ShowMatchingPreset() {
    const int index = MatchPreset(ValueOf(m_width), ValueOf(m_height));
    if (m_presets->currentIndex() != index) m_presets->setCurrentIndex(index);
}

void CRenderSettingsDlg::OnPresetChosen(int index) {
    if (index >= 1 && index < 7) ShowSize(kPresets[index].width, kPresets[index].height);
}

void CRenderSettingsDlg::OnWidthEdited() {
    const int width = ValueOf(m_width);
    ShowSize(width, width * 480 / 640);
    ShowMatchingPreset();
}

void CRenderSettingsDlg::OnHeightEdited() {
    const int height = ValueOf(m_height);
    ShowSize(std::min(height * 640 / 480, kMaxSize), height);
    ShowMatchingPreset();
}

void CRenderSettingsDlg::OnFiles() {
    win::FileChooserRequest request;
    request.owner = this;
    request.caption = "レンダリング出力";
    request.filter = kOutputFilter;
    request.initialPath = m_path->text().toStdString();
    // The chooser adds the extension itself (that of the filter shown, BMP unless the current file
    // is a PNG), so its question before replacing a file is about the file the render writes.
    request.defaultSuffix = "bmp";
    const auto chosen = win::Prompts().ChooseSaveFile(request);
    if (!chosen) return;
    m_path->setText(Q(*chosen));
}

void CRenderSettingsDlg::accept() {
    if (m_smooth->isChecked() &&
        win::MessageBox(this, "断面スムージングは処理に時間がかかります。\n続行しますか？", "確認", win::Buttons::OkCancel,
                        win::Icon::Warning) != win::IDOK)
        return;
    m_settings.SetSettingInt("render", "width", ValueOf(m_width));
    m_settings.SetSettingInt("render", "height", ValueOf(m_height));
    m_settings.SetSettingInt("render", "antialias", m_antialias->isChecked() ? 1 : 0);
    m_settings.SetSettingInt("render", "smooth", m_smooth->isChecked() ? 1 : 0);
    m_settings.SetSettingString("render", "name", m_path->text().toStdString());
    QDialog::accept();
}
