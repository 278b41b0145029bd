// The posing commands of the main window: the IK button on the toolbar, and mirroring from the
// 表示 menu on the part chosen in the tree.

#include <QAction>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

class PosingCommandsTest : public MainWindowTest {
  protected:
    HTREEITEM ItemOfFolderEnding(const std::string& tail) const {
        for (const auto& [item, folder] : doc->FolderMap())
            if (folder.size() >= tail.size() && folder.compare(folder.size() - tail.size(), tail.size(), tail) == 0)
                return item;
        return 0;
    }
};

TEST_F(PosingCommandsTest, TheIkButtonTurnsTheModeOnAndOff) {
    QToolButton* button = frame->ToolButton(ID_EDIT_IK);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("IK"));
    EXPECT_FALSE(button->isChecked());
    button->click();
    EXPECT_EQ(GetApp()->EditMode, EDIT_IK);
    EXPECT_TRUE(button->isChecked());
    button->click();
    EXPECT_EQ(GetApp()->EditMode, EDIT_MOVE);
    EXPECT_FALSE(button->isChecked());
}

TEST_F(PosingCommandsTest, TheViewMenuMirrorsTheChosenArmOntoTheOtherSide) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const HTREEITEM leftArm = ItemOfFolderEnding("\\ARML\\");
    ASSERT_NE(leftArm, 0u);
    CPartObject* left = doc->FindPartByItem(leftArm);
    CPartObject* right = doc->FindPartByItem(ItemOfFolderEnding("\\ARMR\\"));
    ASSERT_TRUE(left && right);
    left->GetFrame()->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, rm::RotationMatrix({0.6f, 0, 0.8f}, 0.9f));
    ClickItem(leftArm);

    QAction* mirror = MenuAction(*frame, QStringLiteral("表示(&V)"), QStringLiteral("左右反転コピー"));
    ASSERT_NE(mirror, nullptr);
    ASSERT_NE(MenuAction(*frame, QStringLiteral("表示(&V)"), QStringLiteral("左右入れ替え")), nullptr);
    mirror->trigger();
    Settle();
    // The figure's shoulders mirror each other, so the right arm takes, on its own shoulder, the
    // left turn seen in a mirror: about the axis with x negated, the other way round.
    const rm::Matrix4 expected = rm::RotationMatrix(rm::Normalized({-0.6f, 0, 0.8f}), -0.9f);
    rm::Vector position, direction, up;
    right->GetFrame()->GetPosition(nullptr, &position);
    right->GetFrame()->GetOrientation(nullptr, &direction, &up);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR((&direction.x)[c], expected.m[2][c], 1e-4f) << "direction " << c;
        EXPECT_NEAR((&up.x)[c], expected.m[1][c], 1e-4f) << "up " << c;
        EXPECT_NEAR((&position.x)[c], 0.0f, 1e-4f) << "position " << c;
    }
    auto* editView = dynamic_cast<C3DView*>(GetApp()->m_p3DView);
    ASSERT_NE(editView, nullptr);
    EXPECT_EQ(editView->History().UndoCount(), 1u);
}

}  // namespace
