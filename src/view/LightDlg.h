#pragma once
// The light page (ﾗｲﾄ): the colours of the five scene lights, one row each (a label and a colour
// swatch button), from the top: ambient, sun, point lights 1 to 3. A child page of the main view's
// page host; the application object points at it while it lives.
//
// The page keeps no colours of its own besides what its buttons show: the scene's lights are the
// truth. Message 1124 reads them all again (and recolours the markers); a click on a button asks
// for that light's colour, sets it and records the change as one undo step of the edit view.

#include <QWidget>
#include <array>
#include <cstdint>

#include "platform/win/WindowMessages.h"
#include "view/LightColours.h"

class CColorSwatchButton;
class QLabel;

class CLightDlg final : public win::CMessageWindow<QWidget> {
  public:
    // The page's height; its width is the page host's.
    static constexpr int kPageHeight = 216;

    explicit CLightDlg(QWidget* parent);
    ~CLightDlg() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // 1124: every button from its light, indexes 0 to 4 in this order.
    win::LRESULT OnRefresh(win::WPARAM, win::LPARAM);
    // Asks for the colour of the light of that index, starting from its button's colour.
    void ChooseColour(int lightIndex);
    void LayOut();

    // By light index (0 ambient, 1–3 point lights, 4 sun).
    std::array<CColorSwatchButton*, kLightCount> m_buttons{};
    std::array<QLabel*, kLightCount> m_labels{};

    static const win::MessageMapEntry<CLightDlg> kMessageMap[1];
};
