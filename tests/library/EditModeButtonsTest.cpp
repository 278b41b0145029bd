// The edit mode on the toolbar with the edit view: 自由 is the plane move, the axis locks keep the
// mode, IK and 回転 turn their drags on and off, and the check marks show the state whoever set it
// (the buttons or the edit view's menu). The menu's カメラを選択 leaves the scene to the drag.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

const int kModeButtons[] = {ID_EDIT_FREE, ID_EDIT_X, ID_EDIT_Y, ID_EDIT_Z, ID_EDIT_IK, ID_EDIT_ROTATE_MODE};

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

class EditModeButtonsTest : public MainWindowTest {
  protected:
    C3DView& EditView() const { return *view->EditView(); }
    void Click(int id) {
        QToolButton* button = frame->ToolButton(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
    std::vector<int> Checked() const {
        std::vector<int> out;
        for (int id : kModeButtons)
            if (frame->ToolButton(id)->isChecked()) out.push_back(id);
        return out;
    }
    // A right click on the edit view that picks `command` from its menu.
    void ChooseFromMenu(int command) {
        EditView().SetMenuRunner([command](QMenu& menu, QPoint) -> QAction* {
            for (QAction* a : menu.actions())
                if (a->data().toInt() == command) return a;
            return nullptr;
        });
        SendMouse(&EditView(), QEvent::MouseButtonPress, {40, 40}, Qt::RightButton, Qt::RightButton);
        SendMouse(&EditView(), QEvent::MouseButtonRelease, {40, 40}, Qt::RightButton, Qt::NoButton);
        Settle();
    }
};

TEST_F(EditModeButtonsTest, TheRotateButtonSitsAfterIkWithItsTexts) {
    const QList<QAction*> actions = frame->ToolBar()->actions();
    const auto ik = std::find(actions.begin(), actions.end(), frame->Action(ID_EDIT_IK));
    ASSERT_NE(ik, actions.end());
    ASSERT_NE(ik + 1, actions.end());
    EXPECT_EQ(*(ik + 1), frame->Action(ID_EDIT_ROTATE_MODE));
    QToolButton* rotate = frame->ToolButton(ID_EDIT_ROTATE_MODE);
    ASSERT_NE(rotate, nullptr);
    EXPECT_EQ(rotate->toolTip(), QStringLiteral("回転"));
    EXPECT_FALSE(frame->Action(ID_EDIT_ROTATE_MODE)->statusTip().isEmpty());
    EXPECT_TRUE(rotate->isEnabled());
    EXPECT_EQ(rotate->size(), QSize(28, 26));
    EXPECT_FALSE(rotate->icon().isNull());
}

TEST_F(EditModeButtonsTest, TheButtonsSetTheModeAndShowIt) {
    EXPECT_EQ(Checked(), std::vector<int>{ID_EDIT_FREE});
    struct Row {
        const char* what;
        int button;
        int mode, axis;
        std::vector<int> checked;
    };
    const Row rows[] = {
        {"回転 turns rotate on", ID_EDIT_ROTATE_MODE, EDIT_ROTATE, AXIS_FREE, {ID_EDIT_ROTATE_MODE}},
        {"Z keeps rotate", ID_EDIT_Z, EDIT_ROTATE, AXIS_Z, {ID_EDIT_Z, ID_EDIT_ROTATE_MODE}},
        {"回転 again goes back to the plane move", ID_EDIT_ROTATE_MODE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
        {"X locks the move", ID_EDIT_X, EDIT_MOVE, AXIS_X, {ID_EDIT_X}},
        {"回転 frees the axis", ID_EDIT_ROTATE_MODE, EDIT_ROTATE, AXIS_FREE, {ID_EDIT_ROTATE_MODE}},
        {"自由 leaves rotate", ID_EDIT_FREE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
        {"IK turns IK on", ID_EDIT_IK, EDIT_IK, AXIS_FREE, {ID_EDIT_IK}},
        {"Y keeps IK", ID_EDIT_Y, EDIT_IK, AXIS_Y, {ID_EDIT_Y, ID_EDIT_IK}},
        {"回転 from IK", ID_EDIT_ROTATE_MODE, EDIT_ROTATE, AXIS_FREE, {ID_EDIT_ROTATE_MODE}},
        {"IK from rotate", ID_EDIT_IK, EDIT_IK, AXIS_FREE, {ID_EDIT_IK}},
        {"自由 leaves IK", ID_EDIT_FREE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
        {"自由 again stays", ID_EDIT_FREE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Click(r.button);
        EXPECT_EQ(GetApp()->EditMode, r.mode);
        EXPECT_EQ(GetApp()->AxisConstraint, r.axis);
        EXPECT_EQ(Checked(), r.checked);
    }
}

TEST_F(EditModeButtonsTest, TheEditViewsMenuShowsItsModeOnTheToolbar) {
    const struct {
        int command;
        std::vector<int> checked;
    } rows[] = {
        {ID_EDIT_ROTATE, {ID_EDIT_ROTATE_MODE}},
        {ID_EDIT_Z_MOVE, {ID_EDIT_Z}},
        {ID_EDIT_IK, {ID_EDIT_IK}},
        {ID_EDIT_PLANE_MOVE, {ID_EDIT_FREE}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.command);
        ChooseFromMenu(r.command);
        EXPECT_EQ(Checked(), r.checked);
    }
    // And the rotate button turns the menu's rotate off again.
    ChooseFromMenu(ID_EDIT_ROTATE);
    Click(ID_EDIT_ROTATE_MODE);
    EXPECT_EQ(GetApp()->EditMode, EDIT_MOVE);
    EXPECT_EQ(Checked(), std::vector<int>{ID_EDIT_FREE});
}

TEST_F(EditModeButtonsTest, RotateThenZRollsTheFigureAboutTheViewAxis) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(doc->GetCharacterItem());
    ASSERT_EQ(doc->GetEditTarget().Get(), doc->GetCharacterRootFrame());
    Click(ID_EDIT_ROTATE_MODE);
    Click(ID_EDIT_Z);
    rm::Frame* root = doc->GetCharacterRootFrame();
    root->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);

    // One step of 50 pixels down: dx - dy < 0 rolls about the camera's -z by 0.5 * 50 / sqrt(5000).
    const QPoint from(60, 60), to(60, 110);
    SendMouse(&EditView(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&EditView(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(&EditView(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    Settle();
    const double angle = 0.5 * 50 / std::sqrt(5000.0);
    rm::Vector dir, up;
    root->GetOrientation(nullptr, &dir, &up);
    EXPECT_NEAR(dir.x, 0, 1e-4f);
    EXPECT_NEAR(dir.y, 0, 1e-4f);
    EXPECT_NEAR(dir.z, 1, 1e-4f);
    EXPECT_NEAR(up.x, std::sin(angle), 1e-4f);
    EXPECT_NEAR(up.y, std::cos(angle), 1e-4f);
    EXPECT_NEAR(up.z, 0, 1e-4f);
}

TEST_F(EditModeButtonsTest, SelectingTheCameraFromTheMenuLeavesTheSceneToTheDrag) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(doc->GetCharacterItem());
    ASSERT_NE(Tree().GetSelectedItem(), 0u);
    ChooseFromMenu(ID_SELECT_CAMERA);
    EXPECT_EQ(Tree().GetSelectedItem(), 0u);
    EXPECT_EQ(doc->GetEditTarget().Get(), doc->GetSceneFrame());
}

}  // namespace
