#include "app/SplashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include "app/Artwork.h"
#include "core/MainApp.h"

CSplashWnd* CSplashWnd::s_current = nullptr;

class CSplashWnd::InputFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::NonClientAreaMouseButtonPress:
            case QEvent::KeyPress:
                if (!CSplashWnd::s_current) return false;
                CSplashWnd::HideSplash();
                return true;
            default: return false;
        }
    }
};

void CSplashWnd::ShowSplash(QWidget* mainWindow) {
    if (!GetApp()->m_bShowSplash || s_current) return;
    QPixmap picture = artwork::SplashPicture();
    if (picture.isNull()) return;
    auto* splash = new CSplashWnd(mainWindow, std::move(picture));
    const QRect main = mainWindow ? mainWindow->frameGeometry() : QRect();
    const int left = main.left() + main.width() / 2 - splash->width() / 2;
    const int top = main.top() + main.height() / 2 - splash->height() / 2;
    splash->move(left, top);
    splash->show();
    splash->raise();
    splash->repaint();
}

void CSplashWnd::HideSplash() {
    CSplashWnd* splash = s_current;
    if (!splash) return;
    QWidget* mainWindow = splash->m_mainWindow;
    delete splash;
    if (mainWindow) mainWindow->repaint();
}

CSplashWnd::CSplashWnd(QWidget* mainWindow, QPixmap picture)
    : QWidget(mainWindow, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(std::move(picture)),
      m_mainWindow(mainWindow),
      m_filter(new InputFilter(this)) {
    s_current = this;
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    qApp->installEventFilter(m_filter);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDisplayMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, [] { HideSplash(); });
    m_timer.start();
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(m_filter);
    s_current = nullptr;
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
