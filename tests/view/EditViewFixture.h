#pragma once
// The edit view over the generated sample library: a headless scene (archive, libraries, tree,
// document) with a real C3DView window on top, and helpers that drive it like a mouse would.

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <memory>
#include <string_view>

#include "app/HeadlessScene.h"
#include "platform/rm/Frame.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"
#include "view/3DView.h"

class EditViewTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the view (once) at the given client size and lets it draw.
    void MakeView(int width = 480, int height = 360);
    void LoadStanding();

    CMainDoc& Doc() { return m_scene->Document(); }
    CPartsTree& Tree() { return *Doc().Tree(); }
    // The figure item and part whose folder holds `kind` (for example "HANDL").
    HTREEITEM ItemOf(std::string_view kind);
    CPartObject* PartOf(std::string_view kind);

    void Press(QPoint p);
    void MoveTo(QPoint p);
    void Release(QPoint p);
    // The second press of a double click with the left button.
    void DoubleClick(QPoint p);
    // A click of the right button; `held` are the buttons held down besides it.
    void RightClick(QPoint p, Qt::MouseButtons held = Qt::NoButton);
    // Press, move in `steps` equal moves to `to`, release.
    void Drag(QPoint from, QPoint to, int steps = 4);
    // The same with any button and modifier keys (looking around).
    void PressWith(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void MoveWith(QPoint p, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers);
    void ReleaseWith(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void DragWith(QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int steps = 4);
    // One wheel event at a point (120 a notch, positive away from the user).
    void Wheel(QPoint p, int angleDelta);
    // Lets posted refreshes run.
    static void Settle();

    // Where a point of a frame (its origin by default) lands on the screen, in pixels.
    QPointF ScreenOf(const rm::Frame& frame, rm::Vector local = {0, 0, 0}) const;
    static rm::Vector WorldOf(const rm::Frame& frame, rm::Vector local = {0, 0, 0});
    // Where a world point lands on the screen, in pixels, and its depth (the camera's z).
    QPointF ScreenOfWorld(const rm::Vector& world) const;
    double DepthOfWorld(const rm::Vector& world) const;
    // The window's picture after the view draws.
    QImage Shown();

    std::unique_ptr<CHeadlessScene> m_scene;
    std::unique_ptr<C3DView> m_view;
};

// Counts the pixels of `image` that differ from `rgb` (0x00RRGGBB).
int CountOtherThan(const QImage& image, std::uint32_t rgb);
