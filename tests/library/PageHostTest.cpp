// The page host in a window small enough that its pages scroll: the wheel over a page's lens list
// or power slider, the scroll bar's own menu, and a touchpad's small wheel steps.

#include <QComboBox>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <ostream>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "library/PageHost.h"
#include "library/PartsTreeCtrl.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

// The tab of each page.
constexpr int kMaterialTab = 1;
constexpr int kCameraTab = 3;

// A wheel turned over `target`'s middle by `delta` eighths of a degree (120: one notch up).
void Wheel(QWidget& target, int delta) {
    const QPointF at = QRectF(target.rect()).center();
    QWheelEvent event(at, target.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&target, &event);
}

class PageHostTest : public MainWindowTest {
  protected:
    // A window so low that the host is shorter than every page but the empty collection.
    void MakeSmall() {
        view->setFixedSize(700, 300);
        Settle();
    }
    CPageHost& Host() const { return *view->PageHost(); }
    QWidget& Page() const { return *Host().CurrentPage(); }
    std::size_t UndoCount() const { return view->EditView()->History().UndoCount(); }
};

// What a wheel may change: the control's value, the undo history, the changed mark.
struct Values {
    int value;
    std::size_t undoSteps;
    bool modified;
    bool operator==(const Values&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Values& v) {
        return out << "value " << v.value << ", " << v.undoSteps << " undo steps, "
                   << (v.modified ? "changed" : "unchanged");
    }
};

}  // namespace

TEST_F(PageHostTest, TheWheelOverAnUnfocusedListOrSliderScrollsThePageAndLeavesItsValue) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(ItemLabelled("あたま"));  // the power slider is enabled for the head's colours
    MakeSmall();
    const struct {
        int tab;
        const char* control;
    } cases[] = {{kCameraTab, "combo1040"}, {kMaterialTab, "slider1030"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        view->Tabs()->setCurrentIndex(c.tab);
        Settle();
        QWidget* control = Page().findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(control->isEnabled());
        auto read = [&] {
            const int value = qobject_cast<QComboBox*>(control)
                                  ? qobject_cast<QComboBox*>(control)->currentIndex()
                                  : qobject_cast<QSlider*>(control)->value();
            return Values{value, UndoCount(), doc->IsModified()};
        };
        ASSERT_GT(Page().height() - Host().height(), 3 * CPageHost::kLineStep) << "room for one notch";
        doc->SetModifiedFlag(false);
        TreeCtrl().setFocus();
        ASSERT_FALSE(control->hasFocus());
        const Values before = read();

        Wheel(*control, -120);  // one notch down
        Settle();
        EXPECT_EQ(read(), before) << "the value, the undo history and the changed mark stay";
        EXPECT_EQ(Host().ScrollPosition(), 48) << "three lines of 16 pixels";
        EXPECT_EQ(Page().y(), -48);

        // With the focus the control keeps its wheel, and the page stays where it is.
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        control->setFocus();
        ASSERT_TRUE(control->hasFocus());
        Wheel(*control, -120);
        Settle();
        EXPECT_NE(read().value, before.value);
        EXPECT_EQ(read().undoSteps, before.undoSteps + 1);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(Host().ScrollPosition(), 48);
    }
}

TEST_F(PageHostTest, TheScrollBarsMenuMovesThePageNotOnlyTheThumb) {
    MakeSmall();
    view->Tabs()->setCurrentIndex(kCameraTab);
    Settle();
    QScrollBar& bar = *Host().ScrollBar();
    ASSERT_TRUE(bar.isEnabled());
    const int hostHeight = Host().height(), pageHeight = Page().height();
    ASSERT_GT(pageHeight - hostHeight, 100);

    // "Bottom": the last position, the page's bottom one pixel above the host's.
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Host().ScrollPosition(), pageHeight - hostHeight);
    EXPECT_EQ(Page().y(), hostHeight - pageHeight - 1);
    // "Top".
    bar.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Host().ScrollPosition(), 0);
    EXPECT_EQ(Page().y(), 0);
    // "Scroll here" sets the bar's value, as dragging the thumb there would.
    bar.setValue(100);
    EXPECT_EQ(Host().ScrollPosition(), 100);
    EXPECT_EQ(Page().y(), -100);
    bar.setValue(0);
    EXPECT_EQ(Page().y(), 0);
}

TEST_F(PageHostTest, ATouchpadsSmallWheelStepsAddUpToNotches) {
    MakeSmall();
    view->Tabs()->setCurrentIndex(kCameraTab);
    Settle();
    ASSERT_EQ(Host().ScrollPosition(), 0);
    // Each step: the wheel's delta, and where the page stands after it.
    const struct {
        int delta;
        int position;
    } steps[] = {
        {-40, 0},  {-40, 0}, {-40, 48},  // three thirds of a notch down: one notch
        {-60, 48}, {40, 48},             // half a notch down, then a turn up starts afresh
        {40, 48},  {40, 0},              // three thirds up
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        // Over the page's background the wheel reaches the host (an event sent by hand is not
        // passed on to the parent, so it is sent to the host).
        Wheel(Host(), steps[i].delta);
        EXPECT_EQ(Host().ScrollPosition(), steps[i].position) << "step " << i;
        EXPECT_EQ(Page().y(), -steps[i].position) << "step " << i;
    }
}
