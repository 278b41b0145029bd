#include "view/LightDlg.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <memory>
#include <utility>

#include "core/MainApp.h"
#include "platform/win/UserPrompts.h"
#include "view/3DView.h"
#include "view/ColorSwatchButton.h"
#include "view/PageUndoRecords.h"

namespace {

struct LightRow {
    int lightIndex;
    int buttonId;
    const char* buttonText;
    const char* label;
};

// In on-screen order, from the top.
constexpr LightRow kRows[kLightCount] = {
    {0, 1016, "環境", "環境光"},   {4, 1015, "太陽", "太陽光"},   {1, 1012, "点１", "点光源１"},
    {2, 1013, "点２", "点光源２"}, {3, 1014, "点３", "点光源３"},
};

constexpr int kMargin = 8;
constexpr int kTop = 12;
constexpr int kRowPitch = 40;
constexpr int kButtonHeight = 32;
constexpr int kGap = 6;
constexpr int kMinLabelWidth = 56;
constexpr int kMinButtonWidth = 40;

}  // namespace

const win::MessageMapEntry<CLightDlg> CLightDlg::kMessageMap[1] = {
    {win::WM_REFRESH, &CLightDlg::OnRefresh},
};

CLightDlg::CLightDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page136"));
    for (const LightRow& row : kRows) {
        auto* label = new QLabel(QString::fromUtf8(row.label), this);
        auto* button = new CColorSwatchButton(QString::fromUtf8(row.buttonText), this);
        button->setObjectName(QStringLiteral("button%1").arg(row.buttonId));
        label->setBuddy(button);
        const int index = row.lightIndex;
        connect(button, &QPushButton::clicked, this, [this, index] { ChooseColour(index); });
        m_labels[index] = label;
        m_buttons[index] = button;
    }
    resize(parent ? parent->width() : 160, kPageHeight);
    LayOut();
    GetApp()->m_pLightDlg = this;
}

CLightDlg::~CLightDlg() {
    if (GetApp()->m_pLightDlg == this) GetApp()->m_pLightDlg = nullptr;
}

bool CLightDlg::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

void CLightDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CLightDlg::LayOut() {
    // The labels share one column as wide as the widest of them; the buttons take the rest of
    // whatever width the page host gives.
    const QFontMetrics metrics(font());
    int labelWidth = kMinLabelWidth;
    for (const QLabel* label : m_labels)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label->text()) + 2);
    labelWidth = std::min(labelWidth, std::max(0, width() - 2 * kMargin - kGap - kMinButtonWidth));
    const int buttonLeft = kMargin + labelWidth + kGap;
    const int buttonWidth = std::max(kMinButtonWidth, width() - kMargin - buttonLeft);
    for (int row = 0; row < kLightCount; ++row) {
        const int index = kRows[row].lightIndex;
        const int top = kTop + row * kRowPitch;
        m_labels[index]->setGeometry(kMargin, top, labelWidth, kButtonHeight);
        m_buttons[index]->setGeometry(buttonLeft, top, buttonWidth, kButtonHeight);
    }
}

win::LRESULT CLightDlg::OnRefresh(win::WPARAM, win::LPARAM) {
    // Reading a light also gives its marker the light's colour.
    for (int index = 0; index < kLightCount; ++index) m_buttons[index]->SetColor(GetLightColour(index));
    repaint();
    return 0;
}

void CLightDlg::ChooseColour(int lightIndex) {
    CColorSwatchButton* button = m_buttons[lightIndex];
    const std::uint32_t initial = button->Color();
    // A cancelled chooser answers nothing; the light keeps the colour it was offered with.
    const std::uint32_t chosen = win::Prompts().ChooseColor(this, initial).value_or(initial) & 0xFFFFFF;

    const std::uint32_t before = GetLightColour(lightIndex);
    std::unique_ptr<LightColourRecord> record = LightColourRecord::Capture(lightIndex);
    button->SetColor(chosen);
    SetLightColour(lightIndex, chosen);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);

    // Only a change the light really took is worth undoing (not a cancel, the same colour, or a
    // scene without that light).
    auto* editView = static_cast<C3DView*>(GetApp()->m_p3DView);
    if (!editView || !record || GetLightColour(lightIndex) == before) return;
    UndoStep step;
    step.push_back(std::move(record));
    editView->History().Push(std::move(step));
}
