// A device on a clipper bound to a Qt widget: it draws into an offscreen surface of the window's
// size, and Update shows the marked rectangles in the widget.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "platform/rm/Library.h"
#include "platform/rm/qt/WidgetWindow.h"

using namespace rm;

namespace {

TEST(WindowDeviceTest, UpdateShowsTheClearedViewportInTheWidget) {
    QWidget window;
    window.resize(200, 150);
    WidgetWindow binding(&window);
    EXPECT_EQ(binding.ClientWidth(), 200u);
    EXPECT_EQ(binding.ClientHeight(), 150u);
    Ref<surface::DirectDraw> dd = surface::DirectDraw::Create();
    Ref<surface::Clipper> clipper;
    ASSERT_EQ(dd->CreateClipper(0, &clipper), surface::DD_OK);
    Ref<Library> lib = Library::Create();
    EXPECT_FALSE(lib->CreateDeviceFromClipper(clipper.Get(), nullptr, 200, 150));  // no window yet
    clipper->SetHWnd(0, &binding);
    Ref<Device> device =
        lib->CreateDeviceFromClipper(clipper.Get(), nullptr, binding.ClientWidth(), binding.ClientHeight());
    ASSERT_TRUE(device);
    EXPECT_EQ(device->GetWidth(), 200u);
    EXPECT_EQ(device->GetRenderTarget()->Format().bitCount, 32u);
    Ref<Frame> root = lib->CreateFrame(nullptr);
    Ref<Frame> camera = lib->CreateFrame(root.Get());
    Ref<Viewport> vp = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, 200, 150);
    vp->SetBackgroundColor(0x606060);
    vp->ForceUpdate(0, 0, 200, 150);
    vp->Clear(D3DRMCLEAR_ALL);
    vp->Render(root.Get());
    ASSERT_EQ(device->Update(), D3DRM_OK);
    EXPECT_EQ(device->UpdateCount(), 1u);
    ASSERT_EQ(binding.LastFrame().size(), QSize(200, 150));
    EXPECT_EQ(binding.LastFrame().pixel(199, 149) & 0xFFFFFF, 0x606060u);
    device->Update();  // nothing marked since: nothing shown
    EXPECT_EQ(device->UpdateCount(), 1u);
}

TEST(WindowDeviceTest, TheOverlayLetsMouseEventsThrough) {
    QWidget window;
    window.resize(64, 64);
    WidgetWindow binding(&window);
    QWidget* overlay = window.findChild<QWidget*>();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    window.show();
    window.resize(100, 80);
    QApplication::sendPostedEvents();
    EXPECT_EQ(overlay->size(), QSize(100, 80));
}

TEST(WindowDeviceTest, ExposureDrawsThroughTheCallbackWithoutLooping) {
    QWidget window;
    window.resize(80, 60);
    Ref<Library> lib = Library::Create();
    Ref<surface::Clipper> clipper = surface::Clipper::Create();
    Ref<Device> device;
    Ref<Viewport> vp;
    Ref<Frame> camera = lib->CreateFrame(nullptr);
    int draws = 0;
    WidgetWindow binding(&window, [&] {
        ++draws;
        vp->ForceUpdate(0, 0, 80, 60);
        vp->Clear(D3DRMCLEAR_ALL);
        device->Update();
    });
    clipper->SetHWnd(0, &binding);
    device = lib->CreateDeviceFromClipper(clipper.Get(), nullptr, 80, 60);
    vp = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, 80, 60);
    vp->SetBackgroundColor(0x336699);
    window.show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const QImage shot = window.grab().toImage();
    EXPECT_GE(draws, 1);
    const int after = draws;
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_EQ(draws, after);  // showing a frame asks for no further drawing
    EXPECT_EQ(shot.pixel(40, 30) & 0xFFFFFF, 0x336699u);
    EXPECT_EQ(binding.LastFrame().pixel(79, 59) & 0xFFFFFF, 0x336699u);
}

// The window paints from the device's own pixels: each frame shown is what it paints next, a copy
// taken of a frame keeps it, and a device let go leaves its last frame on the window.
TEST(WindowDeviceTest, TheWindowPaintsTheFrameLastShownAlsoAfterItsDeviceIsGone) {
    QWidget window;
    window.resize(80, 60);
    Ref<Library> lib = Library::Create();
    Ref<surface::Clipper> clipper = surface::Clipper::Create();
    WidgetWindow binding(&window);
    clipper->SetHWnd(0, &binding);
    Ref<Device> device = lib->CreateDeviceFromClipper(clipper.Get(), nullptr, 80, 60);
    Ref<Frame> camera = lib->CreateFrame(nullptr);
    Ref<Viewport> vp = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, 80, 60);
    window.show();
    auto show = [&](std::uint32_t colour) {
        vp->SetBackgroundColor(colour);
        vp->ForceUpdate(0, 0, 80, 60);
        vp->Clear(D3DRMCLEAR_ALL);
        device->Update();
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    };
    show(0x336699);
    EXPECT_EQ(window.grab().toImage().pixel(40, 30) & 0xFFFFFF, 0x336699u);
    const QImage first = binding.LastFrame();
    show(0xCC2200);
    EXPECT_EQ(window.grab().toImage().pixel(40, 30) & 0xFFFFFF, 0xCC2200u);
    EXPECT_EQ(first.pixel(40, 30) & 0xFFFFFF, 0x336699u) << "a copy keeps its frame";

    vp = nullptr;
    device = nullptr;
    window.update();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    EXPECT_EQ(window.grab().toImage().pixel(10, 50) & 0xFFFFFF, 0xCC2200u);
}

}  // namespace
