#pragma once
// The image viewer started after a render: shows one picture fitted to its window; the mouse
// wheel zooms around the pointer, dragging pans, Escape closes.

#include <QImage>
#include <QPointF>
#include <QWidget>

class CImageViewer final : public QWidget {
public:
    explicit CImageViewer(QWidget* parent = nullptr);

    // Loads the picture; false (and a message in the window) when it cannot be read.
    bool Open(const QString& path);
    const QImage& Image() const { return m_image; }
    // Scale from picture pixels to window pixels; 0 while fitted and nothing is shown.
    double Scale() const { return m_scale; }
    bool IsFitted() const { return m_fitted; }
    void ZoomAt(QPointF windowPoint, double factor);
    void Fit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void UpdateTitle();

    QImage m_image;
    QString m_path;
    QString m_error;
    double m_scale = 1.0;
    QPointF m_offset;  // window position of the picture's top-left corner
    bool m_fitted = true;
    QPointF m_dragFrom;
};
