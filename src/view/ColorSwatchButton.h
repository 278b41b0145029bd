#pragma once
// A push button whose whole face is one colour (a COLORREF, 0x00BBGGRR), or the button-face colour
// while it is disabled. The material and light pages show their colours with it.

#include <QPushButton>
#include <cstdint>

class CColorSwatchButton final : public QPushButton {
  public:
    explicit CColorSwatchButton(const QString& text, QWidget* parent);

    // Sets the colour and repaints at once.
    void SetColor(std::uint32_t colorRef);
    std::uint32_t Color() const { return m_color; }
    // The COLORREF as a Qt colour and back.
    static QColor ToQColor(std::uint32_t colorRef);
    static std::uint32_t FromQColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::uint32_t m_color = 0;
};
