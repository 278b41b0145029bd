#include "view/MaterialDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/win/UserPrompts.h"
#include "scene/ColorObject.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/ColorSwatchButton.h"
#include "view/LightColours.h"
#include "view/PageUndoRecords.h"

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kNameImage = 6;
constexpr int kPaletteNameLength = 80;
// The number of the next default palette name, for the whole run.
int g_paletteCounter = 0;

// The slider's position for a power: the power truncated, within the slider's range (a power is
// any value a material can use; the slider runs 1 to 100).
int SliderPosition(float power) { return static_cast<int>(std::clamp(power, 1.0f, 100.0f)); }

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QLabel* Label(const char* utf8, const char* id, QWidget* parent) {
    auto* label = new QLabel(Text(utf8), parent);
    label->setObjectName(QString::fromLatin1(id));
    return label;
}

CColorSwatchButton* SwatchButton(const char* utf8, const char* id, QWidget* parent) {
    auto* button = new CColorSwatchButton(Text(utf8), parent);
    button->setObjectName(QString::fromLatin1(id));
    button->setFixedSize(48, 20);
    return button;
}

QPushButton* Button(const char* utf8, const char* id, QWidget* parent) {
    auto* button = new QPushButton(Text(utf8), parent);
    button->setObjectName(QString::fromLatin1(id));
    return button;
}

}  // namespace

CMaterialDlg::CMaterialDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page134"));
    m_names = new QTreeWidget(this);
    m_names->setObjectName(QStringLiteral("tree1026"));
    m_names->setHeaderHidden(true);
    m_names->setRootIsDecorated(false);
    m_names->setIconSize(QSize(16, 16));
    m_names->setFixedHeight(140);

    auto* objectLabel = Label("ｵﾌﾞｼﾞｪｸﾄ", "label1039", this);
    m_object = SwatchButton("ｵﾌﾞｼﾞｪｸﾄ", "button1027", this);
    auto* emissionLabel = Label("発光", "label1034", this);
    m_emission = SwatchButton("拡散", "button1028", this);
    auto* highlightLabel = Label("反射ﾊｲﾗｲﾄ", "label1035", this);
    m_highlight = SwatchButton("ﾊｲﾗｲﾄ", "button1029", this);
    auto* powerLabel = Label("ﾊｲﾗｲﾄの強さ", "label1036", this);
    m_power = new QSlider(Qt::Horizontal, this);
    m_power->setObjectName(QStringLiteral("slider1030"));
    m_power->setRange(1, 100);
    m_power->setPageStep(10);
    auto* strong = Label("強い", "label1037", this);
    auto* weak = Label("弱い", "label1038", this);

    auto* group = new QGroupBox(Text("パレット　質感の保存"), this);
    group->setObjectName(QStringLiteral("group1059"));
    m_paletteList = new QListWidget(group);
    m_paletteList->setObjectName(QStringLiteral("list1031"));
    m_save = Button("保存", "button1032", group);
    m_load = Button("読込", "button1033", group);
    m_delete = Button("削除", "button1040", group);

    auto* colours = new QGridLayout;
    colours->addWidget(objectLabel, 0, 0);
    colours->addWidget(m_object, 0, 1);
    colours->addWidget(emissionLabel, 1, 0);
    colours->addWidget(m_emission, 1, 1);
    colours->addWidget(highlightLabel, 2, 0);
    colours->addWidget(m_highlight, 2, 1);
    auto* ends = new QHBoxLayout;
    ends->addWidget(strong);
    ends->addStretch();
    ends->addWidget(weak);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QPushButton* b : {m_save, m_load, m_delete}) buttons->addWidget(b);
    auto* palette = new QVBoxLayout(group);
    palette->setContentsMargins(4, 4, 4, 4);
    palette->addWidget(m_paletteList);
    palette->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_names);
    layout->addLayout(colours);
    layout->addWidget(powerLabel);
    layout->addWidget(m_power);
    layout->addLayout(ends);
    layout->addWidget(group, 1);
    resize(parent ? parent->width() : 160, 485);

    m_controls = {m_names, objectLabel, m_object,  emissionLabel, m_emission, highlightLabel, m_highlight,
                  powerLabel, m_power, strong, weak, group, m_paletteList, m_save, m_load, m_delete};

    connect(m_names, &QTreeWidget::currentItemChanged, this, [this] { ShowValues(); });
    connect(m_object, &QPushButton::clicked, this, [this] { ChooseColor(Swatch::Object); });
    connect(m_emission, &QPushButton::clicked, this, [this] { ChooseColor(Swatch::Emission); });
    connect(m_highlight, &QPushButton::clicked, this, [this] { ChooseColor(Swatch::Highlight); });
    // The power applies when the slider is let go, and on every change made without dragging
    // (keys, the wheel, a click on the groove).
    connect(m_power, &QSlider::sliderReleased, this, [this] { ApplyPower(); });
    connect(m_power, &QSlider::valueChanged, this, [this] {
        if (!m_power->isSliderDown()) ApplyPower();
    });
    connect(m_save, &QPushButton::clicked, this, [this] { SavePalette(); });
    connect(m_load, &QPushButton::clicked, this, [this] { LoadPalette(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { DeletePalette(); });

    EnableAll(false);
    GetApp()->m_pMaterialDlg = this;
}

CMaterialDlg::~CMaterialDlg() {
    if (GetApp()->m_pMaterialDlg == this) GetApp()->m_pMaterialDlg = nullptr;
}

bool CMaterialDlg::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM, win::LRESULT* result) {
    if (message == win::WM_TREE_SELECTION_CHANGED) {
        ShowPart(static_cast<HTREEITEM>(w));
        *result = 0;
        return true;
    }
    return message == win::WM_REFRESH;
}

void CMaterialDlg::EnableAll(bool enable) {
    for (QWidget* control : m_controls) control->setEnabled(enable);
}

void CMaterialDlg::Empty() {
    const QScopedValueRollback<bool> showing(m_showing, true);
    m_names->clear();
    m_partItem = 0;
    EnableAll(false);
}

void CMaterialDlg::ShowPart(HTREEITEM item) {
    CMainDoc* doc = GetApp()->m_pDocument;
    const CPartsTree* tree = doc ? doc->Tree() : nullptr;
    CPartObject* part = doc && item != 0 ? doc->FindPartByItem(item) : nullptr;
    if (!part || !tree || tree->ItemHasChildren(item)) {
        Empty();
        return;
    }
    // Showing the same part again (an undo, a refresh) keeps the material the person was at.
    const std::optional<std::string> shownName = item == m_partItem ? SelectedName() : std::nullopt;
    {
        const QScopedValueRollback<bool> showing(m_showing, true);
        m_names->clear();
        m_partItem = item;
        const QList<QIcon>& icons = GetApp()->GetIconList();
        std::vector<std::string> listed;
        for (const auto& color : part->ColorObjects()) {
            if (std::find(listed.begin(), listed.end(), color->m_generalName) != listed.end()) continue;
            listed.push_back(color->m_generalName);
            auto* entry = new QTreeWidgetItem(m_names);
            entry->setText(0, QString::fromStdString(cp932::ToUtf8(color->m_generalName)));
            entry->setData(0, kNameRole, QByteArray::fromStdString(color->m_generalName));
            if (kNameImage < icons.size()) entry->setIcon(0, icons[kNameImage]);
        }
        EnableAll(!listed.empty());
    }
    if (m_names->topLevelItemCount() > 0) {
        QTreeWidgetItem* shown = m_names->topLevelItem(0);
        for (int i = 0; shownName && i < m_names->topLevelItemCount(); ++i)
            if (m_names->topLevelItem(i)->data(0, kNameRole).toByteArray().toStdString() == *shownName)
                shown = m_names->topLevelItem(i);
        {
            const QScopedValueRollback<bool> showing(m_showing, true);
            m_names->setCurrentItem(shown);
        }
        ShowValues();
    }
}

std::optional<std::string> CMaterialDlg::SelectedName() const {
    const QTreeWidgetItem* entry = m_names->currentItem();
    if (!entry) return std::nullopt;
    return entry->data(0, kNameRole).toByteArray().toStdString();
}

CColorObject* CMaterialDlg::SelectedColor() {
    const std::optional<std::string> name = SelectedName();
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!name || !doc || m_partItem == 0) return nullptr;
    CPartObject* part = doc->FindPartByItem(m_partItem);
    if (part)
        for (const auto& color : part->ColorObjects())
            if (color->m_generalName == *name) return color.get();
    // The part went with its scene or was deleted: nothing is left to edit here.
    Empty();
    return nullptr;
}

void CMaterialDlg::ShowValues() {
    if (m_showing) return;
    const CColorObject* color = SelectedColor();
    if (!color) return;
    const QScopedValueRollback<bool> showing(m_showing, true);
    m_object->SetColor(SwapRedBlue(color->m_diffuse));
    m_highlight->SetColor(SwapRedBlue(color->m_specular));
    m_emission->SetColor(SwapRedBlue(color->m_emissive));
    m_power->setValue(SliderPosition(color->m_power));
}

template <typename Change>
void CMaterialDlg::ChangeMaterial(Change change) {
    CColorObject* color = SelectedColor();
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!color || !doc) return;
    const CPartObject* part = doc->FindPartByItem(m_partItem);
    const std::optional<int> group = part ? doc->ColourGroupOf(*part) : std::nullopt;
    std::unique_ptr<MaterialRecord> before = MaterialRecord::Capture(*doc, color->m_generalName, group);
    change(*color);
    // Also a value chosen as it was shown goes to every object of the name: objects of one name
    // may differ, and choosing is how a person makes them one material again.
    ApplyMaterial(*color, group);
    const std::unique_ptr<MaterialRecord> after = MaterialRecord::Capture(*doc, color->m_generalName, group);
    if (!before || (after && after->SameAs(*before))) return;
    if (auto* view = dynamic_cast<C3DView*>(GetApp()->m_p3DView)) {
        UndoStep step;
        step.push_back(std::move(before));
        view->History().Push(std::move(step));
    }
}

void CMaterialDlg::ChooseColor(Swatch swatch) {
    if (!SelectedColor()) return;
    CColorSwatchButton* button = swatch == Swatch::Object     ? m_object
                                 : swatch == Swatch::Emission ? m_emission
                                                              : m_highlight;
    const std::optional<std::uint32_t> chosen = win::Prompts().ChooseColor(this, button->Color());
    if (!chosen) return;
    button->SetColor(*chosen);
    ChangeMaterial([swatch, rgb = SwapRedBlue(*chosen)](CColorObject& color) {
        std::uint32_t& target = swatch == Swatch::Object     ? color.m_diffuse
                                : swatch == Swatch::Emission ? color.m_emissive
                                                             : color.m_specular;
        target = (target & 0xFF000000u) | rgb;
    });
}

void CMaterialDlg::ApplyPower() {
    if (m_showing) return;
    ChangeMaterial([power = static_cast<float>(m_power->value())](CColorObject& color) { color.m_power = power; });
}

void CMaterialDlg::ApplyMaterial(const CColorObject& source, std::optional<int> group) {
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!doc) return;
    for (CPartObject* part : doc->AllParts()) {
        if (!CMainDoc::InColourGroup(*part, group)) continue;
        for (const auto& color : part->ColorObjects()) {
            if (color->m_generalName != source.m_generalName) continue;
            if (color.get() != &source) color->TakeColorsFrom(source);
            color->ApplyColor();
        }
    }
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
}

void CMaterialDlg::SavePalette() {
    char defaultName[32];
    std::snprintf(defaultName, sizeof defaultName, "USER COLOR #%02d", g_paletteCounter++);
    win::TextPromptRequest request;
    request.owner = this;
    request.caption = "質感の保存";
    request.label = "名称を入力してください";
    request.initialText = defaultName;
    request.maxLength = kPaletteNameLength;
    request.cancelText = "ｷｬﾝｾﾙ";
    std::optional<std::string> name = win::Prompts().PromptText(request);
    if (!name) return;
    // The field takes 80 characters; a scripted or pasted answer is held to the same.
    const QString text = QString::fromStdString(*name).left(kPaletteNameLength);
    m_paletteList->addItem(text);
    m_palette[text.toStdString()] = {m_object->Color(), m_highlight->Color(), m_emission->Color(),
                                     static_cast<float>(m_power->value())};
}

void CMaterialDlg::LoadPalette() {
    const QListWidgetItem* line = m_paletteList->currentItem();
    if (!line) return;
    const auto record = m_palette.find(line->text().toStdString());
    if (record == m_palette.end() || !SelectedColor()) return;
    const PaletteRecord values = record->second;
    {
        const QScopedValueRollback<bool> showing(m_showing, true);
        m_object->SetColor(values.object);
        m_highlight->SetColor(values.highlight);
        m_emission->SetColor(values.emission);
        m_power->setValue(SliderPosition(values.power));
    }
    ChangeMaterial([&values](CColorObject& color) {
        color.m_diffuse = (color.m_diffuse & 0xFF000000u) | SwapRedBlue(values.object);
        color.m_specular = (color.m_specular & 0xFF000000u) | SwapRedBlue(values.highlight);
        color.m_emissive = (color.m_emissive & 0xFF000000u) | SwapRedBlue(values.emission);
        color.m_power = values.power;
    });
}

void CMaterialDlg::DeletePalette() {
    QListWidgetItem* line = m_paletteList->currentItem();
    if (!line) return;
    const auto record = m_palette.find(line->text().toStdString());
    if (record == m_palette.end()) return;
    m_palette.erase(record);
    delete m_paletteList->takeItem(m_paletteList->row(line));
}
