#pragma once
// The page host of the tab control: shows one page at a time at the host's width (less its scroll
// bar), scrolled vertically through the 14-pixel scroll bar on its right edge.
//
// A page shorter than the host disables the bar; otherwise the bar runs 0 … page height with the
// host's height as its page. Lines move 16 pixels, pages the host's height, the thumb (and the
// bar's own "scroll here") places the page where it points, the bar's top and bottom go to the
// ends. Scrolling up stops with the page's top at 0; scrolling down stops at position page height
// − host height, with the page's bottom one pixel above the host's bottom.
//
// The wheel scrolls three lines a notch; a touchpad's small steps add up to notches. Over a list,
// slider or spin box of a page that does not have the focus, the wheel scrolls the page too and
// leaves the control's value alone: a person scrolling the page past the lens list or the power
// slider must not change them. A control with the focus keeps its wheel.

#include <QWidget>

class QScrollBar;
class QWheelEvent;

class CPageHost final : public QWidget {
  public:
    static constexpr int kScrollBarWidth = 14;
    static constexpr int kLineStep = 16;
    static constexpr int kLinesPerNotch = 3;
    // What one notch of a mouse wheel reports (eighths of a degree).
    static constexpr int kNotch = 120;

    explicit CPageHost(QWidget* parent);

    // Hides the page shown so far and shows `page` (a child of the host) from its top.
    void ShowPage(QWidget* page);
    QWidget* CurrentPage() const { return m_page; }
    QScrollBar* ScrollBar() const { return m_bar; }
    int ScrollPosition() const { return m_position; }
    // Scrolls so that the band [top, top + height) of the current page is inside the host.
    void EnsureVisible(int top, int height);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnAction(int action);
    void OnValueChanged(int value);
    void ScrollTo(int position, bool stopAtEnds);
    void ScrollByWheel(const QWheelEvent& event);
    // Watches `object` and everything below it for wheel events and for new children.
    void Watch(QObject* object);

    QScrollBar* m_bar;
    QWidget* m_page = nullptr;
    int m_position = 0;
    // Wheel steps smaller than a notch, kept until they make one.
    int m_wheelRemainder = 0;
};
