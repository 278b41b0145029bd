#include "view/CameraDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "core/MainApp.h"
#include "platform/rm/BmpTexture.h"
#include "platform/surface/DirectDraw.h"
#include "platform/win/UserPrompts.h"
#include "render/bitmap/PictureLoading.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/OpenFileButton.h"
#include "view/PageUndoRecords.h"
#include "view/PicturePreviewButton.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The view/field value each lens item writes.
constexpr float kLensFields[CCameraDlg::kLensCount] = {7.0f, 4.0f, 2.0f, 1.0f};
// Without a stored view/field the page shows the 50mm lens (the edit view and the render
// command use 1.5 then, which shows as 200mm once written).
constexpr float kFieldShownWhenAbsent = 4.0f;

// The choosers' filters: every picture the readers take; the background's list starts with JPEG
// (photos), the eye textures' with bitmaps.
constexpr const char* kBackgroundFilter =
    "画像ファイル (*.jpg *.jpeg *.png *.bmp);;JPEG (*.jpg *.jpeg);;PNG (*.png);;ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)";
constexpr const char* kTextureFilter =
    "画像ファイル (*.bmp *.png *.jpg *.jpeg);;ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp);;PNG (*.png);;JPEG (*.jpg *.jpeg)";

// The three pictures: their setting (section "render"), the file chooser's filter, the controls'
// numbers, and the text and tool tip of the button (which shows a picture, not its text).
struct PictureEntry {
    const char* key;
    const char* filter;
    const char* preview;
    const char* button;
    const char* buttonText;
    const char* toolTip;
};
constexpr PictureEntry kPictures[] = {
    {"bg", kBackgroundFilter, "preview1049", "button1042", "?", "背景画像を選ぶ"},
    {"eye_L", kTextureFilter, "preview1050", "button1044", "読み込み", "読み込み"},
    {"eye_R", kTextureFilter, "preview1051", "button1046", "読み込み", "読み込み"},
};

// The size of the picture a chosen file holds; none when no picture reader takes it.
std::optional<QSize> PictureSize(const std::string& path) {
    const surface::DirectDraw* directDraw = GetApp()->m_lpDD;
    surface::Ref<surface::DirectDraw> own;
    if (!directDraw) {
        own = surface::DirectDraw::Create();
        directDraw = own.Get();
    }
    // Read and decoded whole, as the background, the eyes and the previews will be.
    const surface::Ref<surface::Surface> picture =
        directDraw ? bitmap::LoadPicture(*directDraw, path, 0, 0) : surface::Ref<surface::Surface>();
    if (!picture) return std::nullopt;
    return QSize(static_cast<int>(picture->Width()), static_cast<int>(picture->Height()));
}

// Whether the eyes can take the picture as a texture.
bool FitsTexture(const QSize& size) {
    return size.width() <= static_cast<int>(rm::kMaxTextureSide) &&
           size.height() <= static_cast<int>(rm::kMaxTextureSide);
}

// Where the controls sit (pixels): margins, rows and the picture sizes.
constexpr int kMargin = 6;
constexpr int kInset = 8;        // controls inside a group from its left edge
constexpr int kGroupTitle = 20;  // first row of a group below its top
constexpr int kGroupGap = 8;
constexpr int kRowHeight = 20;
constexpr int kButtonHeight = 24;
constexpr int kBackgroundWidth = 120;  // 4:3, like the rendered picture
constexpr int kBackgroundHeight = 90;
constexpr int kEyeSide = 64;

std::optional<std::string> StoredValue(const std::string& section, const std::string& key) {
    const auto& values = GetApp()->Settings().Values();
    if (auto it = values.find(section + "/" + key); it != values.end()) return it->second;
    return std::nullopt;
}

}  // namespace

const char* const CCameraDlg::kLensNames[kLensCount] = {"35mm", "50mm", "200mm", "300mm"};

const win::MessageMapEntry<CCameraDlg> CCameraDlg::kMessageMap[1] = {
    {win::WM_REFRESH, &CCameraDlg::OnRefresh},
};

std::string CCameraDlg::TooLargeTextureText(int width, int height, const std::string& path) {
    return QString::fromUtf8(
               "テクスチャーには大きすぎる画像です（%1 × %2 ピクセル）。縦横とも %3 ピクセル以下の"
               "画像を選んでください。\n")
               .arg(width)
               .arg(height)
               .arg(rm::kMaxTextureSide)
               .toStdString() +
           path;
}

float CCameraDlg::FieldOfLens(int index) {
    return index >= 0 && index < kLensCount ? kLensFields[index] : kLensFields[1];
}

int CCameraDlg::LensOfField(float field) {
    // The thresholds lie between the lenses' values. They are compared in the value's own single
    // precision, so that a stored threshold ("1.100000") reads as the longer lens like the others.
    if (field > 4.1f) return 0;
    if (field > 2.1f) return 1;
    if (field > 1.1f) return 2;
    return 3;
}

CCameraDlg::CCameraDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page135"));

    m_lensLabel = new QLabel(Text("レンズの種類"), this);
    m_lens = new QComboBox(this);
    m_lens->setObjectName(QStringLiteral("combo1040"));
    for (const char* name : kLensNames) m_lens->addItem(Text(name));
    // Chosen by the person, even when it is the item already shown: the lens is written again.
    connect(m_lens, &QComboBox::activated, this, [this](int index) { OnLensChosen(index); });

    m_backgroundGroup = new QGroupBox(Text("背景画像"), this);
    m_useForRender = new QCheckBox(Text("ﾚﾝﾀﾞﾘﾝｸﾞに使用"), m_backgroundGroup);
    m_useForRender->setObjectName(QStringLiteral("check1057"));
    m_useForEdit = new QCheckBox(Text("編集時に使用"), m_backgroundGroup);
    m_useForEdit->setObjectName(QStringLiteral("check1018"));
    connect(m_useForRender, &QCheckBox::clicked, this, [this] { OnRenderSwitchClicked(); });
    connect(m_useForEdit, &QCheckBox::clicked, this, [this] { OnEditSwitchClicked(); });

    m_leftEyeGroup = new QGroupBox(Text("左目テクスチャー"), this);
    m_rightEyeGroup = new QGroupBox(Text("右目テクスチャー"), this);
    QGroupBox* const pictureGroups[] = {m_backgroundGroup, m_leftEyeGroup, m_rightEyeGroup};
    for (int i = 0; i < 3; ++i) {
        const PictureEntry& entry = kPictures[i];
        m_previews[i] = new CPicturePreviewButton(pictureGroups[i]);
        m_previews[i]->setObjectName(QString::fromLatin1(entry.preview));
        m_chooseButtons[i] =
            new COpenFileButton(Text(entry.buttonText), Text(entry.toolTip), pictureGroups[i]);
        m_chooseButtons[i]->setObjectName(QString::fromLatin1(entry.button));
        const auto picture = static_cast<Picture>(i);
        connect(m_chooseButtons[i], &QPushButton::clicked, this, [this, picture] { OnChooseFile(picture); });
    }

    m_deviceGroup = new QGroupBox(QStringLiteral("DirectX"), this);
    m_hardware = new QCheckBox(Text("ﾊｰﾄﾞｳｪｱｱｸｾﾗﾚｰﾀを使う"), m_deviceGroup);
    m_hardware->setObjectName(QStringLiteral("check1060"));
    connect(m_hardware, &QCheckBox::clicked, this, [this] { OnHardwareClicked(); });

    resize(parent ? parent->width() : 170, kPageHeight);
    LayOut();
    RefreshDialog();
    GetApp()->m_pCameraDlg = this;
}

CCameraDlg::~CCameraDlg() {
    if (GetApp()->m_pCameraDlg == this) GetApp()->m_pCameraDlg = nullptr;
}

bool CCameraDlg::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

win::LRESULT CCameraDlg::OnRefresh(win::WPARAM, win::LPARAM) {
    RefreshDialog();
    return 0;
}

void CCameraDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CCameraDlg::LayOut() {
    const int groupWidth = std::max(width() - 2 * kMargin, 2 * kInset + kEyeSide);
    const int innerWidth = groupWidth - 2 * kInset;
    int y = kMargin;
    m_lensLabel->setGeometry(kMargin, y, groupWidth, 16);
    y += 18;
    m_lens->setGeometry(kMargin, y, groupWidth, kButtonHeight);
    y += kButtonHeight + kGroupGap;

    // Background: the two switches, then the picture with its "?" button on its right.
    const int pictureTop = kGroupTitle + 2 * (kRowHeight + 2) + 4;
    const int backgroundHeight = pictureTop + kBackgroundHeight + 10;
    m_backgroundGroup->setGeometry(kMargin, y, groupWidth, backgroundHeight);
    m_useForRender->setGeometry(kInset, kGroupTitle, innerWidth, kRowHeight);
    m_useForEdit->setGeometry(kInset, kGroupTitle + kRowHeight + 2, innerWidth, kRowHeight);
    const int askWidth = kButtonHeight;
    const int backgroundWidth = std::clamp(innerWidth - askWidth - 4, 16, kBackgroundWidth);
    m_previews[kBackground]->setGeometry(kInset, pictureTop, backgroundWidth, kBackgroundHeight);
    m_chooseButtons[kBackground]->setGeometry(kInset + backgroundWidth + 4, pictureTop, askWidth,
                                              kButtonHeight);
    y += backgroundHeight + kGroupGap;

    // Each eye: the texture, and its button beside it, centred on it.
    const int eyeHeight = kGroupTitle + kEyeSide + 10;
    const int loadWidth = std::clamp(innerWidth - kEyeSide - kInset, 16, 72);
    for (QGroupBox* group : {m_leftEyeGroup, m_rightEyeGroup}) {
        const int i = group == m_leftEyeGroup ? kLeftEye : kRightEye;
        group->setGeometry(kMargin, y, groupWidth, eyeHeight);
        m_previews[i]->setGeometry(kInset, kGroupTitle, kEyeSide, kEyeSide);
        m_chooseButtons[i]->setGeometry(kInset + kEyeSide + kInset,
                                        kGroupTitle + (kEyeSide - kButtonHeight) / 2, loadWidth,
                                        kButtonHeight);
        y += eyeHeight + kGroupGap;
    }

    m_deviceGroup->setGeometry(kMargin, y, groupWidth, kGroupTitle + kRowHeight + 8);
    m_hardware->setGeometry(kInset, kGroupTitle, innerWidth, kRowHeight);
}

void CCameraDlg::UpdateBackgroundControls() {
    CMainApp* app = GetApp();
    const int edit = app->GetSettingInt("bg", "edit", 0);
    const int render = app->GetSettingInt("bg", "render", 0);
    app->SetSettingInt("bg", "disable", edit == 0 && render == 0 ? 1 : 0);
    m_useForEdit->setChecked(edit != 0);
    m_useForRender->setChecked(render != 0);
    const bool enabled = app->GetSettingInt("bg", "disable", 1) == 0;
    m_previews[kBackground]->setEnabled(enabled);
    m_chooseButtons[kBackground]->setEnabled(enabled);
}

void CCameraDlg::RefreshDialog() {
    CMainApp* app = GetApp();
    UpdateBackgroundControls();
    for (int i = 0; i < 3; ++i) m_previews[i]->SetPath(app->GetSettingString("render", kPictures[i].key, ""));
    if (CMainDoc* doc = app->m_pDocument) doc->ApplyColors(nullptr);

    const int lens = LensOfField(app->GetSettingFloat("view", "field", kFieldShownWhenAbsent));
    // Only a hardware device can be chosen; without one the box is cleared whatever the setting says.
    bool hardware = false;
    if (C3DView::HasDeviceNamed("HAL")) {
        m_hardware->setEnabled(true);
        hardware = app->GetSettingInt("system", "disable_d3dhal", 0) == 0;
    } else {
        m_hardware->setEnabled(false);
    }
    m_lens->setCurrentIndex(lens);
    m_hardware->setChecked(hardware);
}

void CCameraDlg::PostSettingsChanged() {
    win::PostMessage(GetApp()->m_p3DView, win::WM_SETTINGS_CHANGED);
}

void CCameraDlg::RecordSettings(std::initializer_list<std::pair<const char*, const char*>> keys,
                                const std::function<void()>& change) {
    struct Before {
        std::string section, key;
        std::optional<std::string> value;
        std::unique_ptr<SettingRecord> record;
    };
    std::vector<Before> before;
    for (const auto& [section, key] : keys)
        before.push_back({section, key, StoredValue(section, key), SettingRecord::Capture(section, key)});
    change();
    UndoStep step;
    for (Before& b : before)
        if (StoredValue(b.section, b.key) != b.value) step.push_back(std::move(b.record));
    if (step.empty()) return;
    if (auto* editView = dynamic_cast<C3DView*>(GetApp()->m_p3DView))
        editView->History().Push(std::move(step));
}

void CCameraDlg::OnLensChosen(int index) {
    RecordSettings({{"view", "field"}},
                   [index] { GetApp()->SetSettingFloat("view", "field", FieldOfLens(index)); });
    PostSettingsChanged();
}

void CCameraDlg::OnRenderSwitchClicked() {
    RecordSettings({{"bg", "render"}, {"bg", "disable"}}, [this] {
        CMainApp* app = GetApp();
        app->SetSettingInt("bg", "render", app->GetSettingInt("bg", "render", 1) == 1 ? 0 : 1);
        UpdateBackgroundControls();
    });
    // The edit view does not show what the render uses: nothing to rebuild.
}

void CCameraDlg::OnEditSwitchClicked() {
    // The render-size display is a display mode of the toolbar, not an edit: undoing the switch
    // leaves it as it is, and the toolbar's check mark stays true.
    RecordSettings({{"bg", "edit"}, {"bg", "disable"}}, [this] {
        CMainApp* app = GetApp();
        if (app->GetSettingInt("bg", "edit", 1) == 1) {
            app->SetSettingInt("bg", "edit", 0);
            PostSettingsChanged();
            UpdateBackgroundControls();
            return;
        }
        app->SetSettingInt("bg", "edit", 1);
        // The edit view shows the background only in render-size display: switch it on.
        if (app->GetSettingInt("view", "mask", 0) == 0) {
            if (m_renderSizeToggle) {
                m_renderSizeToggle();
            } else {
                app->SetSettingInt("view", "mask", 1);
                PostSettingsChanged();
            }
        } else {
            PostSettingsChanged();
        }
        UpdateBackgroundControls();
    });
}

void CCameraDlg::OnChooseFile(Picture picture) {
    CMainApp* app = GetApp();
    const PictureEntry& entry = kPictures[picture];
    win::FileChooserRequest request;
    request.owner = this;
    request.caption = "開く";
    request.filter = entry.filter;
    // The chooser opens in the folder of the current file, with that file chosen.
    request.initialPath = app->GetSettingString("render", entry.key, "");
    const std::optional<std::string> chosen = win::Prompts().ChooseOpenFile(request);
    if (!chosen) return;
    // A file that is no picture, or an eye picture the textures refuse: one message saying what
    // is wrong, and the choice is not taken (the eyes would keep their old texture without a word).
    const std::optional<QSize> size = PictureSize(*chosen);
    if (!size) {
        win::MessageBox(this, kUnreadablePictureText + *chosen, "開く", win::Buttons::Ok, win::Icon::Warning);
        return;
    }
    if (picture != kBackground && !FitsTexture(*size)) {
        win::MessageBox(this, TooLargeTextureText(size->width(), size->height(), *chosen), "開く",
                        win::Buttons::Ok, win::Icon::Warning);
        return;
    }
    RecordSettings({{"render", entry.key}}, [&] { app->SetSettingString("render", entry.key, *chosen); });
    m_previews[picture]->SetPath(app->GetSettingString("render", entry.key, ""));
    // The eyes of every part take the new texture; one that does not load keeps the texture it had.
    if (picture != kBackground)
        if (CMainDoc* doc = app->m_pDocument) doc->ApplyColors(nullptr);
    PostSettingsChanged();
}

void CCameraDlg::OnHardwareClicked() {
    GetApp()->SetSettingInt("system", "disable_d3dhal", m_hardware->isChecked() ? 0 : 1);
    PostSettingsChanged();
}
