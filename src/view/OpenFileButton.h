#pragma once
// The camera page's buttons that choose a picture file (the background's "?" and the eyes'
// "読み込み"): a picture on the face instead of the text, drawn in code, in the looks a bitmap
// button has: normal, pressed (the picture one pixel down and to the right, on a sunken face),
// focused (with the focus frame) and disabled (the picture greyed). The text stays the button's
// text and accessible name, for screen readers and for finding the button; its tool tip says what
// it does.
//
// The picture: an opened folder with a photograph (sky, a hill, the sun) standing in it.

#include <QPushButton>

class QPainter;

class COpenFileButton final : public QPushButton {
  public:
    COpenFileButton(const QString& text, const QString& toolTip, QWidget* parent);

    // Draws the picture in colour, as large as fits in the middle of `box`.
    static void DrawPicture(QPainter& painter, const QRectF& box);

    QSize sizeHint() const override { return {24, 24}; }
    QSize minimumSizeHint() const override { return {16, 16}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};
