#pragma once
// A button that shows a picture file (BMP or JPEG) stretched over its face: the camera page's
// previews of the background picture and the eye textures.
//
// The picture is loaded once, at the size of the face, the first time the button is drawn enabled
// with a path and no picture yet (with the wait cursor, as a large JPEG takes a moment), and kept
// until the path changes or the face changes size. A picture that cannot be loaded clears the path,
// so the button does not try again at every paint. Disabled, or without a picture, the face shows
// the button-face colour.

#include <QAbstractButton>
#include <QImage>
#include <string>

class CPicturePreviewButton final : public QAbstractButton {
  public:
    explicit CPicturePreviewButton(QWidget* parent);

    // Sets the path (native UTF-8; empty: none), drops the picture loaded so far and repaints.
    void SetPath(const std::string& path);
    const std::string& Path() const { return m_path; }

    // The picture loaded for the face; null until the button has been drawn with a loadable path.
    const QImage& Picture() const { return m_picture; }
    bool HasPicture() const { return !m_picture.isNull(); }
    // The rectangle the picture covers: the button less its one-pixel edge.
    QRect FaceRect() const { return rect().adjusted(1, 1, -1, -1); }

    QSize sizeHint() const override { return {64, 64}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Loads the picture at the face size when it is due; clears the path when it fails.
    void LoadIfDue();

    std::string m_path;
    QImage m_picture;
};
