#pragma once
// The page host of the tab control: shows one page at a time at the host's width (less its scroll
// bar), scrolled vertically through the 14-pixel scroll bar on its right edge.
//
// A page shorter than the host disables the bar; otherwise the bar runs 0 … page height with the
// host's height as its page. Lines move 16 pixels, pages the host's height, the thumb places the
// page where it is dragged. Scrolling up stops with the page's top at 0; scrolling down stops at
// position page height − host height, with the page's bottom one pixel above the host's bottom.

#include <QWidget>

class QScrollBar;

class CPageHost final : public QWidget {
  public:
    static constexpr int kScrollBarWidth = 14;
    static constexpr int kLineStep = 16;

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

  private:
    void OnAction(int action);
    void ScrollTo(int position, bool stopAtEnds);

    QScrollBar* m_bar;
    QWidget* m_page = nullptr;
    int m_position = 0;
};
