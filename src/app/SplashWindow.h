#pragma once
// The start-up splash: a borderless picture centred over the main window, gone after 1.5 seconds
// or at the first mouse click or key press anywhere in the application, which it consumes.

#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class CSplashWnd final : public QWidget {
public:
    // Shows the splash over `mainWindow` unless the application's splash flag is off or a splash
    // already exists.
    static void ShowSplash(QWidget* mainWindow);
    // Destroys the splash (if any) and repaints the main window at once.
    static void HideSplash();
    // The splash while it exists, else null.
    static CSplashWnd* Current() { return s_current; }

    static constexpr int kDisplayMilliseconds = 1500;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSplashWnd(QWidget* mainWindow, QPixmap picture);
    ~CSplashWnd() override;

    // Application-wide input filter: the first click or key press hides the splash and is consumed.
    class InputFilter;

    QPixmap m_picture;
    QWidget* m_mainWindow;
    QTimer m_timer;
    InputFilter* m_filter;
    static CSplashWnd* s_current;
};
