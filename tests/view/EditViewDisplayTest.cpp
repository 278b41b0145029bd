// The edit view's window, device, viewports and drawing.

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>

#include "EditViewFixture.h"
#include "archive/Communicator.h"
#include "core/MainApp.h"
#include "scene/PartObject.h"
#include "support/MessageCounter.h"

namespace {

constexpr std::uint32_t kGrey = 0x606060;

TEST_F(EditViewTest, RenderRectangleAndViewportsFollowTheClientArea) {
    struct Row {
        int w, h, mask;
        surface::Rect rect;
        int viewportX, viewportY, viewportW, viewportH;
        bool fullViewport;
    };
    const Row rows[] = {
        {800, 450, 1, {100, 0, 700, 450}, 100, 0, 600, 450, true},
        {400, 400, 1, {0, 50, 400, 350}, 0, 50, 400, 300, true},
        {800, 450, 0, {100, 0, 700, 450}, 0, 0, 800, 450, false},
    };
    for (const Row& r : rows) {
        GetApp()->SetSettingInt("view", "mask", r.mask);
        MakeView(r.w, r.h);
        SCOPED_TRACE(testing::Message() << r.w << "x" << r.h << " mask " << r.mask);
        EXPECT_EQ(m_view->RenderRect(), r.rect);
        const rm::Viewport* main = m_view->MainViewport();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(main->GetX(), r.viewportX);
        EXPECT_EQ(main->GetY(), r.viewportY);
        EXPECT_EQ(int(main->GetWidth()), r.viewportW);
        EXPECT_EQ(int(main->GetHeight()), r.viewportH);
        EXPECT_EQ(m_view->FullViewport() != nullptr, r.fullViewport);
        EXPECT_EQ(main->GetFront(), 10.0f);
        EXPECT_EQ(main->GetBack(), 200.0f);
        EXPECT_EQ(main->GetField(), 1.5f);

        // The empty scene: grey inside the render rectangle, black strips outside it.
        const QImage shown = Shown();
        ASSERT_EQ(shown.size(), QSize(r.w, r.h));
        const QPoint inside((r.rect.left + r.rect.right) / 2, r.rect.top + 2);
        EXPECT_EQ(shown.pixel(inside) & 0xFFFFFF, kGrey);
        if (r.mask && r.rect.left > 0) {
            EXPECT_EQ(shown.pixel(r.rect.left - 1, r.h / 2) & 0xFFFFFF, 0u);
        }
        if (r.mask && r.rect.top > 0) {
            EXPECT_EQ(shown.pixel(r.w / 2, r.rect.top - 1) & 0xFFFFFF, 0u);
        }
        if (!r.mask) {
            EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, kGrey);
        }
    }
    EXPECT_EQ(m_view->GreyPixel(), kGrey);
    EXPECT_EQ(GetApp()->m_lpRenderTarget, m_view->RenderDevice()->GetRenderTarget().Get());
}

TEST_F(EditViewTest, AClientBelow64PixelsKeepsTheDevice) {
    MakeView(320, 240);
    const rm::Device* before = m_view->RenderDevice();
    for (QSize size : {QSize(63, 240), QSize(320, 63)}) {
        m_view->resize(size);
        Settle();
        EXPECT_EQ(m_view->RenderDevice(), before);
        EXPECT_EQ(m_view->RenderDevice()->GetWidth(), 320u);
    }
    m_view->resize(200, 150);
    Settle();
    EXPECT_EQ(m_view->RenderDevice()->GetWidth(), 200u);
    EXPECT_EQ(Shown().size(), QSize(200, 150)) << "the window shows the new size, never a stale one";
}

TEST_F(EditViewTest, DisplayModesDrawPointsWiresAndSolidFaces) {
    MakeView(320, 240);
    LoadStanding();
    struct Row {
        int mode;
        std::uint32_t quality;
        int drawn = 0;
    };
    Row rows[] = {{4, 0}, {0, rm::D3DRMRENDER_WIREFRAME}, {1, rm::D3DRMRENDER_FLAT}, {2, rm::D3DRMRENDER_GOURAUD}};
    for (Row& r : rows) {
        GetApp()->SetSettingInt("dev", "mode", r.mode);
        win::SendMessage(m_view.get(), win::WM_SETTINGS_CHANGED);
        EXPECT_EQ(m_view->RenderDevice()->GetQuality(), r.quality) << r.mode;
        r.drawn = CountOtherThan(Shown(), kGrey);
    }
    EXPECT_GT(rows[0].drawn, 0) << "points show";
    EXPECT_LT(rows[0].drawn, rows[1].drawn) << "points draw fewer pixels than wires";
    EXPECT_LT(rows[1].drawn, rows[2].drawn) << "wires draw fewer pixels than faces";
    EXPECT_EQ(rows[2].drawn, rows[3].drawn) << "flat and Gouraud cover the same pixels";
}

TEST_F(EditViewTest, SettingsChangedRebuildsAndAsksTheMainViewToRedraw) {
    MessageCounter mainView;
    GetApp()->m_pMainView = &mainView;
    MakeView(320, 240);
    GetApp()->SetSettingInt("view", "mask", 1);
    GetApp()->SetSettingInt("dev", "mode", 1);
    win::SendMessage(m_view.get(), win::WM_SETTINGS_CHANGED);
    EXPECT_EQ(m_view->RenderDevice()->GetQuality(), rm::D3DRMRENDER_FLAT);
    EXPECT_NE(m_view->FullViewport(), nullptr);
    Settle();
    EXPECT_EQ(mainView.Count(win::WM_REFRESH), 1);
    GetApp()->m_pMainView = nullptr;
}

// Counts the pixels that differ between two pictures of one size, in columns [fromX, toX).
int CountDifferent(const QImage& a, const QImage& b, int fromX, int toX) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = fromX; x < toX; ++x) n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

TEST_F(EditViewTest, BoxesLeaveOutPartsBehindTheCameraAndPartsWithoutAFrame) {
    MakeView(320, 240);
    LoadStanding();
    // A part whose mesh file holds no frame, as a scene file can bring one.
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    std::ofstream(folder + "EMPTY.X") << "xof 0302txt 0032\n";
    CCommunicator files;
    ArchiveContext context;
    context.appFolder = folder;
    files.Open(folder + "nowhere.vd|", folder + "|", kCompressionFilter, context);
    Doc().SetArchive(&files);
    auto owned = std::make_unique<CPartObject>();
    CPartObject* frameless = owned.get();
    Doc().AdoptTopLevelPart(std::move(owned));
    Doc().RestorePart("EMPTY.X", frameless);
    Doc().SetArchive(nullptr);
    ASSERT_EQ(frameless->GetFrame(), nullptr);
    ASSERT_NE(std::find(Doc().AllParts().begin(), Doc().AllParts().end(), frameless), Doc().AllParts().end());

    // The other hand is dragged; the boxes show from the press on.
    Tree().SelectItem(ItemOf("HANDR"));
    const QPoint at(160, 120);
    auto boxes = [&] {
        Press(at);
        const QImage shown = Shown();
        Release(at);
        return shown;
    };
    CPartObject* hand = PartOf("HANDL");
    rm::Frame* frame = hand->GetFrame();
    hand->HideVisuals();
    const QImage withoutHand = boxes();
    hand->ShowVisuals();
    int green = 0;
    for (int y = 0; y < withoutHand.height(); ++y)
        for (int x = 0; x < withoutHand.width(); ++x)
            green += (withoutHand.pixel(x, y) & 0xFFFFFF) == 0x00FF80;
    EXPECT_GT(green, 100) << "the other parts' boxes are drawn";

    struct Row {
        const char* where;
        rm::Vector position;  // of the hand, in the camera's coordinates
        bool straddles;       // some corners in front of the camera, some behind
    };
    const Row rows[] = {
        {"behind the camera", {0, 0, -30}, false},
        // Its corners in front land far to the right; the ones behind would land far to the left
        // if they were projected, and lines between them would cross the whole view.
        {"across the camera plane, to the right", {1.5f, 0, 0.2f}, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.where);
        frame->SetPosition(m_view->CameraFrame(), r.position.x, r.position.y, r.position.z);
        const rm::Box box{{hand->m_box[0], hand->m_box[1], hand->m_box[2]},
                          {hand->m_box[3], hand->m_box[4], hand->m_box[5]}};
        int behind = 0;
        for (int i = 0; i < 8; ++i) {
            const rm::Vector corner{i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                                    i & 4 ? box.max.z : box.min.z};
            behind += WorldOf(*frame, corner).z < 0;  // the camera looks down +z from the origin
        }
        ASSERT_EQ(behind > 0 && behind < 8, r.straddles) << behind << " corners behind";
        ASSERT_EQ(behind == 8, !r.straddles);

        const QImage shown = boxes();
        EXPECT_EQ(CountDifferent(shown, withoutHand, 0, shown.width() / 2), 0) << "nothing on the left half";
        if (!r.straddles) {
            EXPECT_EQ(CountDifferent(shown, withoutHand, 0, shown.width()), 0);
        }
    }
}

TEST_F(EditViewTest, MatchColorReadsThePixelValueAndPutsThePixelBack) {
    auto s16 = surface::Surface::Create(4, 4, surface::PixelFormat::FromBits(16));
    s16->SetPixel(0, 0, 0x1234);
    EXPECT_EQ(C3DView::MatchColor(s16.Get(), 0x0000FF), 0xF800u) << "red in 5-6-5";
    EXPECT_EQ(s16->GetPixel(0, 0), 0x1234u);
    auto s32 = surface::Surface::Create(4, 4, surface::PixelFormat::FromBits(32));
    EXPECT_EQ(C3DView::MatchColor(s32.Get(), 0x606060), 0x606060u);
    EXPECT_EQ(C3DView::MatchColor(nullptr, 0x606060), 0xFFFFFFFFu);
}

}  // namespace
