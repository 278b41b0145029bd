#include "EditViewFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <iostream>

#include "core/MainApp.h"
#include "base/Cp932.h"

void EditViewTest::SetUp() {
    GetApp()->ResetState();
    m_scene = std::make_unique<CHeadlessScene>(QCoreApplication::applicationDirPath().toStdString() + "/", std::cerr);
    // Defaults only, whatever a profile beside the executables holds.
    GetApp()->Settings().Clear();
    // The cases look at the scene and the boxes alone; the floor grid's own cases turn it on.
    GetApp()->SetSettingInt("view", "grid", 0);
    GetApp()->EditMode = EDIT_MOVE;
    GetApp()->AxisConstraint = AXIS_FREE;
}

void EditViewTest::TearDown() {
    m_view.reset();
    m_scene.reset();
    GetApp()->ResetState();
}

void EditViewTest::MakeView(int width, int height) {
    if (!m_view) m_view = std::make_unique<C3DView>(nullptr);
    m_view->resize(width, height);
    m_view->show();
    Settle();
}

void EditViewTest::LoadStanding() {
    ASSERT_TRUE(m_scene->LoadPoseSet("STAND.OBJ"));
    Settle();
}

void EditViewTest::Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

HTREEITEM EditViewTest::ItemOf(std::string_view kind) {
    for (const auto& [item, folder] : Doc().FolderMap())
        if (folder.find(kind) != std::string::npos && Doc().FindPartByItem(item)) return item;
    ADD_FAILURE() << "no item for " << kind;
    return 0;
}

CPartObject* EditViewTest::PartOf(std::string_view kind) { return Doc().FindPartByItem(ItemOf(kind)); }

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

}  // namespace

void EditViewTest::Press(QPoint p) {
    SendMouse(m_view.get(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void EditViewTest::MoveTo(QPoint p) {
    SendMouse(m_view.get(), QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
}
void EditViewTest::Release(QPoint p) {
    SendMouse(m_view.get(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void EditViewTest::DoubleClick(QPoint p) {
    SendMouse(m_view.get(), QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
}
void EditViewTest::RightClick(QPoint p, Qt::MouseButtons held) {
    SendMouse(m_view.get(), QEvent::MouseButtonPress, p, Qt::RightButton, held | Qt::RightButton);
    SendMouse(m_view.get(), QEvent::MouseButtonRelease, p, Qt::RightButton, held);
}

void EditViewTest::Drag(QPoint from, QPoint to, int steps) {
    Press(from);
    for (int i = 1; i <= steps; ++i) {
        MoveTo(from + (to - from) * i / steps);
        Settle();
    }
    Release(to);
    Settle();
}

void EditViewTest::PressWith(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    SendMouse(m_view.get(), QEvent::MouseButtonPress, p, button, button, modifiers);
}
void EditViewTest::MoveWith(QPoint p, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    SendMouse(m_view.get(), QEvent::MouseMove, p, Qt::NoButton, held, modifiers);
}
void EditViewTest::ReleaseWith(QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    SendMouse(m_view.get(), QEvent::MouseButtonRelease, p, button, Qt::NoButton, modifiers);
}

void EditViewTest::DragWith(QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            int steps) {
    PressWith(from, button, modifiers);
    for (int i = 1; i <= steps; ++i) {
        MoveWith(from + (to - from) * i / steps, button, modifiers);
        Settle();
    }
    ReleaseWith(to, button, modifiers);
    Settle();
}

void EditViewTest::Wheel(QPoint p, int angleDelta) {
    QWheelEvent event(QPointF(p), QPointF(m_view->mapToGlobal(p)), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_view.get(), &event);
}

rm::Vector EditViewTest::WorldOf(const rm::Frame& frame, rm::Vector local) {
    rm::Vector world;
    frame.Transform(&world, &local);
    return world;
}

QPointF EditViewTest::ScreenOf(const rm::Frame& frame, rm::Vector local) const {
    return ScreenOfWorld(WorldOf(frame, local));
}

QPointF EditViewTest::ScreenOfWorld(const rm::Vector& world) const {
    rm::Vector4 s{};
    m_view->MainViewport()->Transform(&s, &world);
    return {s.x / s.w, s.y / s.w};
}

double EditViewTest::DepthOfWorld(const rm::Vector& world) const {
    rm::Vector4 s{};
    m_view->MainViewport()->Transform(&s, &world);
    return s.w;
}

QImage EditViewTest::Shown() {
    Settle();
    m_view->DrawView();
    return m_view->ShownFrame().convertToFormat(QImage::Format_RGB32);
}

int CountOtherThan(const QImage& image, std::uint32_t rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) != rgb;
    return n;
}
