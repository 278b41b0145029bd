// A save, a recovery copy and closing in the middle of a drag in the edit view: the file holds the
// scene as it is seen, and the rest of the drag stays a change to save.

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "library/MainView.h"
#include "scene/MainDoc.h"
#include "scene/RecoveryFile.h"
#include "view/3DView.h"

namespace {

class SaveDuringDragTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
        ASSERT_TRUE(dir.isValid());
        path = dir.path().toStdString() + "/dragged.mrs";
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        C3DView* edit = view->EditView();
        QMouseEvent event(type, QPointF(at), QPointF(edit->mapToGlobal(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(edit, &event);
    }
    void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton); }
    void Move(QPoint at) { Send(QEvent::MouseMove, at, Qt::LeftButton); }
    void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::NoButton); }
    QPoint Centre() const { return view->EditView()->rect().center(); }
    void Save() {
        prompts->fileAnswers.push_back(path);
        ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE));
        ASSERT_FALSE(doc->IsModified());
    }
    static void ExpectSameMatrix(const rm::Matrix4& a, const rm::Matrix4& b, const char* what) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-3f) << what << " [" << r << "][" << c << "]";
    }

    QTemporaryDir dir;
    std::string path;
};

}  // namespace

TEST_F(SaveDuringDragTest, ASceneDragSavedInTheMiddleReopensWhereItWasReleased) {
    // Nothing selected: the drag carries the whole scene, which hangs under a pivot meanwhile.
    win::SendMessage(view, win::WM_SELECT_TREE_ITEM, 0);
    const rm::Matrix4 start = doc->GetSceneFrame()->WorldMatrix();
    Press(Centre());
    for (int i = 1; i <= 4; ++i) Move(Centre() + QPoint(15 * i, -5 * i));
    ASSERT_NE(view->EditView()->PivotFrame(), nullptr);
    ASSERT_NO_FATAL_FAILURE(Save());
    const std::string recoveryFolder = dir.path().toStdString() + "/recovery/";
    ASSERT_TRUE(scene::WriteRecoveryFile(*doc, recoveryFolder));
    Release(Centre() + QPoint(60, -20));
    Settle();
    const rm::Matrix4 released = doc->GetSceneFrame()->WorldMatrix();
    ASSERT_GT(std::abs(released.m[3][0] - start.m[3][0]), 1.0f) << "the drag moved the scene";

    for (const std::string& file : {path, recoveryFolder + scene::kRecoveryFileName}) {
        ASSERT_TRUE(doc->OnOpenDocument(file)) << file;
        ExpectSameMatrix(doc->GetSceneFrame()->WorldMatrix(), released, file.c_str());
    }
}

TEST_F(SaveDuringDragTest, StepsAfterASaveMarkTheSceneChangedAgain) {
    ClickItem(ItemLabelled("あたま"));
    Press(Centre());
    Move(Centre() + QPoint(10, 0));
    ASSERT_NO_FATAL_FAILURE(Save());
    const std::uint64_t saved = doc->ChangeCount();
    Move(Centre() + QPoint(20, 0));
    EXPECT_TRUE(doc->IsModified()) << "the rest of the drag is not in the file";
    EXPECT_GT(doc->ChangeCount(), saved) << "a copy keeper sees the step";
    Release(Centre() + QPoint(20, 0));
    Settle();
    EXPECT_TRUE(doc->IsModified());
    // Closing asks to save it.
    prompts->messageAnswers.push_back(win::IDCANCEL);
    frame->close();
    ASSERT_FALSE(prompts->asked.empty());
    EXPECT_EQ(prompts->asked.back().text, "変更を保存しますか?");
}
