// The floor grid of the edit view: drawn on the floor under the figure when the setting is on,
// never over the figure, never in a render or the boxes of a drag, only where the floor is in front
// of the camera and, in render-size display, only inside the render rectangle.

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

#include "EditViewFixture.h"
#include "core/MainApp.h"
#include "render/pipeline/RenderPipeline.h"
#include "view/FloorGrid.h"

namespace {

constexpr std::uint32_t kGrey = 0x606060;

std::uint32_t Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// The grid's colours: greys lighter than the background (a line faded into it is the background).
bool IsGridGrey(std::uint32_t rgb) {
    const std::uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r == g && g == b && r > 0x60;
}

// The pixels that differ between the pictures with and without the grid.
std::vector<QPoint> Changed(const QImage& on, const QImage& off) {
    std::vector<QPoint> points;
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            if (Rgb(on, x, y) != Rgb(off, x, y)) points.emplace_back(x, y);
    return points;
}

class FloorGridTest : public EditViewTest {
  protected:
    QImage ShownWithGrid(bool on) {
        GetApp()->SetSettingInt("view", "grid", on ? 1 : 0);
        return Shown();
    }
    // The camera at `eye` looking along `direction`, with `up`.
    void Place(rm::Vector eye, rm::Vector direction, rm::Vector up = {0, 1, 0}) {
        scene::FramePlacement p;
        p.position[0] = eye.x, p.position[1] = eye.y, p.position[2] = eye.z;
        p.direction[0] = direction.x, p.direction[1] = direction.y, p.direction[2] = direction.z;
        p.up[0] = up.x, p.up[1] = up.y, p.up[2] = up.z;
        m_view->PlaceCamera(p);
    }
    void LookAt(rm::Vector eye, rm::Vector target) {
        Place(eye, {target.x - eye.x, target.y - eye.y, target.z - eye.z});
    }
    rm::Box FigureBox() {
        const std::optional<rm::Box> box = Doc().VisiblePartsBox();
        EXPECT_TRUE(box.has_value());
        return box.value_or(rm::Box{});
    }
    static rm::Vector Middle(const rm::Box& b) {
        return {(b.min.x + b.max.x) / 2, (b.min.y + b.max.y) / 2, (b.min.z + b.max.z) / 2};
    }
    // Where a scene point lands on the screen; nothing when it is not in front of the camera.
    std::optional<QPointF> Screen(rm::Vector world) const {
        rm::Vector4 s{};
        m_view->MainViewport()->Transform(&s, &world);
        if (!(s.w > 0)) return std::nullopt;
        return QPointF(s.x / s.w, s.y / s.w);
    }
    // The pictures of the lines x = 2i and z = 2j of the plane y = floorY near (x, z), each through
    // two of its points near there.
    std::vector<std::pair<QPointF, QPointF>> FloorLinePictures(float floorY, float x, float z) const {
        std::vector<std::pair<QPointF, QPointF>> pictures;
        const int ix = int(std::lround(x / 2)), iz = int(std::lround(z / 2));
        for (int i = -60; i <= 60; ++i) {
            const float lx = 2.0f * float(ix + i), lz = 2.0f * float(iz + i);
            const std::pair<rm::Vector, rm::Vector> lines[] = {{{lx, floorY, z - 1}, {lx, floorY, z + 1}},
                                                               {{x - 1, floorY, lz}, {x + 1, floorY, lz}}};
            for (const auto& [a, b] : lines) {
                const std::optional<QPointF> sa = Screen(a), sb = Screen(b);
                if (sa && sb && *sa != *sb) pictures.emplace_back(*sa, *sb);
            }
        }
        return pictures;
    }
    // The farthest any of `points` lies from the nearest of the lines, in pixels.
    static double FarthestFromLines(const std::vector<QPoint>& points,
                                    const std::vector<std::pair<QPointF, QPointF>>& lines) {
        double farthest = 0;
        for (const QPoint& p : points) {
            double nearest = 1e9;
            for (const auto& [a, b] : lines) {
                const QPointF d = b - a;
                const double cross = d.x() * (p.y() - a.y()) - d.y() * (p.x() - a.x());
                nearest = std::min(nearest, std::abs(cross) / std::hypot(d.x(), d.y()));
            }
            farthest = std::max(farthest, nearest);
        }
        return farthest;
    }
};

TEST(FloorGridPlace, TheFloorLiesUnderTheShownPartsOnALineCrossingAndReachesAroundThem) {
    const float nan = std::nanf("");
    struct Row {
        const char* name;
        std::optional<rm::Box> shown;
        rm::Vector standPoint;
        float floorY, centreX, centreZ, halfSize;
    };
    const Row rows[] = {
        {"a standing figure",
         rm::Box{{-2.88f, -10, 52.8f}, {2.88f, 10.47f, 56.64f}},
         {0, 0, 55},
         -10,
         0,
         54,
         30},
        {"a wide scene", rm::Box{{-50, 3, 0}, {50, 8, 9.8f}}, {0, 0, 55}, 3, 0, 4, 70},
        {"a part thrown far away", rm::Box{{-1e6f, -4, 0}, {1e6f, 4, 1}}, {0, 0, 55}, -4, 0, 0, 200},
        {"nothing shown", std::nullopt, {3.1f, 7, 55}, 0, 4, 56, 30},
        {"a box with a corner that is no number",
         rm::Box{{nan, 0, 0}, {1, 1, 1}},
         {3.1f, 7, 55},
         0,
         4,
         56,
         30},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const FloorGrid grid = FloorGrid::Under(r.shown, r.standPoint);
        EXPECT_EQ(grid.floorY, r.floorY);
        EXPECT_EQ(grid.centreX, r.centreX);
        EXPECT_EQ(grid.centreZ, r.centreZ);
        EXPECT_EQ(grid.halfSize, r.halfSize);
    }
}

TEST_F(FloorGridTest, TheFloorUnderTheFigureShowsTheGridOnlyWhenOnAndTheFigureCoversIt) {
    MakeView(480, 360);
    LoadStanding();
    const QImage off = ShownWithGrid(false);
    const QImage on = ShownWithGrid(true);
    GetApp()->Settings().RemoveSetting("view", "grid");
    EXPECT_EQ(Changed(Shown(), on).size(), 0u) << "on unless set off";
    EXPECT_EQ(Changed(ShownWithGrid(false), off).size(), 0u) << "off again: nothing of it stays";
    const std::vector<QPoint> grid = Changed(on, off);
    ASSERT_GT(grid.size(), 2000u);

    // The camera stands above the floor looking straight ahead: the floor's picture lies below the
    // middle row, and spreads to both sides below the feet.
    const rm::Box box = FigureBox();
    const QPointF feet = *Screen({Middle(box).x, box.min.y, Middle(box).z});
    const int middleRow = 360 / 2;
    int left = 0, right = 0;
    for (const QPoint& p : grid) {
        EXPECT_TRUE(IsGridGrey(Rgb(on, p.x(), p.y()))) << p.x() << "," << p.y();
        EXPECT_GE(p.y(), middleRow) << p.x() << "," << p.y();
        // Every pixel the grid changed was background: the figure covers the grid wherever it
        // stands in front of it, so its own pixels are the same with and without the grid.
        ASSERT_EQ(Rgb(off, p.x(), p.y()), kGrey) << "grid over the figure at " << p.x() << "," << p.y();
        if (p.y() > feet.y()) (p.x() < feet.x() ? left : right) += 1;
    }
    EXPECT_GT(left, 300);
    EXPECT_GT(right, 300);
}

TEST_F(FloorGridTest, RendersAndBoxesOfTheSceneAreTheSameWithTheGridOnAndOff) {
    MakeView(320, 240);
    LoadStanding();
    GetApp()->SetSettingInt("render", "width", 160);
    GetApp()->SetSettingInt("render", "height", 120);
    GetApp()->SetSettingInt("render", "antialias", 0);
    RenderRequest request;
    request.directDraw = GetApp()->m_lpDD;
    request.library = GetApp()->m_lpD3DRM;
    request.camera = m_view->CameraFrame();
    request.viewRoot = m_view->ViewRootFrame();
    request.sceneRoot = Doc().GetRootFrame();
    request.settings = &GetApp()->Settings();
    struct Seen {
        std::vector<std::uint8_t> bmp;
        rm::Box scene;
        std::optional<rm::Box> shownParts;  // what framing and the floor are worked out from
        std::size_t viewRootChildren;
    };
    auto seen = [&](bool grid) {
        ShownWithGrid(grid);
        Seen s;
        s.bmp = RenderToBmp(request);
        Doc().GetSceneFrame()->GetHierarchyBox(&s.scene);
        s.shownParts = Doc().VisiblePartsBox();
        s.viewRootChildren = m_view->ViewRootFrame()->Children().size();
        return s;
    };
    const Seen off = seen(false), on = seen(true);
    ASSERT_GT(off.bmp.size(), 54u);
    EXPECT_TRUE(on.bmp == off.bmp) << "the render never shows the grid";
    EXPECT_EQ(on.scene, off.scene);
    EXPECT_EQ(on.shownParts, off.shownParts);
    EXPECT_EQ(on.viewRootChildren, 1u) << "only the camera hangs under the view's root";
    // The figure is in the render (so the comparison is of a picture with something in it).
    int figure = 0;
    for (std::size_t i = 54; i + 2 < on.bmp.size(); i += 3)
        figure += on.bmp[i] != 0x60 || on.bmp[i + 1] != 0x60 || on.bmp[i + 2] != 0x60;
    EXPECT_GT(figure, 200);
}

TEST_F(FloorGridTest, TheBoxesOfADragInSimpleDisplayStandAloneAndTheFloorComesBackAfterIt) {
    MakeView(320, 240);
    LoadStanding();
    Tree().SelectItem(Doc().GetCharacterItem());
    Press({160, 120});
    MoveTo({170, 125});
    const QImage off = ShownWithGrid(false);
    const QImage on = ShownWithGrid(true);
    int boxPixels = 0;
    for (int y = 0; y < off.height(); ++y)
        for (int x = 0; x < off.width(); ++x)
            if (Rgb(off, x, y) != kGrey) ++boxPixels;
    EXPECT_GT(boxPixels, 150);
    // The quick picture of a drag is the boxes alone, with or without the floor's setting.
    EXPECT_TRUE(Changed(on, off).empty());
    Release({170, 125});
    Settle();
    const QImage after = ShownWithGrid(true);
    const QImage afterOff = ShownWithGrid(false);
    const std::vector<QPoint> grid = Changed(after, afterOff);
    EXPECT_GT(grid.size(), 500u) << "the full picture after the drag has its floor";
    for (const QPoint& p : grid) ASSERT_TRUE(IsGridGrey(Rgb(after, p.x(), p.y()))) << p.x() << "," << p.y();
}

TEST_F(FloorGridTest, SeenFromAboveAndTheSideTheGridLiesOnTheFloorPlane) {
    MakeView(480, 360);
    LoadStanding();
    const rm::Box box = FigureBox();
    const rm::Vector c = Middle(box);
    const float floorY = box.min.y;
    struct Row {
        const char* name;
        rm::Vector eye;
    };
    const Row rows[] = {
        {"above, to the left and in front", {c.x - 40, c.y + 35, c.z - 35}},
        {"above, to the right and behind", {c.x + 30, c.y + 45, c.z + 40}},
        {"nearly from the top", {c.x + 3, c.y + 70, c.z - 4}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        LookAt(r.eye, c);
        const QImage off = ShownWithGrid(false);
        const QImage on = ShownWithGrid(true);
        const std::vector<QPoint> grid = Changed(on, off);
        ASSERT_GT(grid.size(), 2000u);
        // Line ends are cut to whole pixels (at most √2 away) and the pixels of a line lie within
        // half a pixel of it.
        EXPECT_LE(FarthestFromLines(grid, FloorLinePictures(floorY, c.x, c.z)), 2.0);
        // Near the figure the crossings of the stronger lines (every 10 units) show, where the
        // figure does not cover them.
        int crossings = 0;
        for (int i = -1; i <= 2; ++i)
            for (int j = -1; j <= 2; ++j) {
                const rm::Vector crossing{10.0f * float(std::floor(c.x / 10) + i), floorY,
                                          10.0f * float(std::floor(c.z / 10) + j)};
                const std::optional<QPointF> s = Screen(crossing);
                if (!s) continue;
                const QPoint at = s->toPoint();
                if (!QRect(2, 2, on.width() - 4, on.height() - 4).contains(at) ||
                    Rgb(off, at.x(), at.y()) != kGrey)
                    continue;
                ++crossings;
                bool shown = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        shown = shown || IsGridGrey(Rgb(on, at.x() + dx, at.y() + dy));
                EXPECT_TRUE(shown) << "crossing " << crossing.x << "," << crossing.z;
            }
        EXPECT_GE(crossings, 8);
    }
}

TEST_F(FloorGridTest, NothingOfTheFloorBehindTheCameraIsDrawn) {
    MakeView(480, 360);
    LoadStanding();
    const rm::Box box = FigureBox();
    const rm::Vector c = Middle(box);
    const float floorY = box.min.y;
    struct Row {
        const char* name;
        rm::Vector eye, direction, up;
        bool floorInFront;
    };
    const Row rows[] = {
        {"looking up from above the floor", c, {0, 1, 0}, {0, 0, 1}, false},
        {"looking away from the figure and the floor", {c.x, c.y, c.z - 60}, {0, 0, -1}, {0, 1, 0}, false},
        {"standing on the floor, half of it behind", {c.x, floorY + 3, c.z + 6}, {1, 0, 0}, {0, 1, 0}, true},
        {"standing on the floor, turned about the view",
         {c.x, floorY + 3, c.z + 6},
         {0, 0, -1},
         {0.3f, 1, 0},
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Place(r.eye, r.direction, r.up);
        const QImage off = ShownWithGrid(false);
        const QImage on = ShownWithGrid(true);
        const std::vector<QPoint> grid = Changed(on, off);
        if (!r.floorInFront) {
            EXPECT_EQ(grid.size(), 0u);
            continue;
        }
        EXPECT_GT(grid.size(), 1000u);
        // The floor in front lies below the camera: its picture is on one side of the horizon's
        // (the picture of the plane through the camera parallel to the floor). A line behind the
        // camera, divided by its negative depth, would land on the other side.
        const rm::Vector side{r.direction.z, 0, -r.direction.x};
        auto ahead = [&](float across, float height) {
            return Screen({r.eye.x + 50 * r.direction.x + across * side.x, height,
                           r.eye.z + 50 * r.direction.z + across * side.z});
        };
        const std::optional<QPointF> h1 = ahead(-20, r.eye.y), h2 = ahead(20, r.eye.y),
                                     floor = ahead(0, floorY);
        ASSERT_TRUE(h1 && h2 && floor);
        auto sideOf = [&](QPointF p) {
            return (h2->x() - h1->x()) * (p.y() - h1->y()) - (h2->y() - h1->y()) * (p.x() - h1->x());
        };
        const double floorSide = sideOf(*floor);
        ASSERT_NE(floorSide, 0);
        for (const QPoint& p : grid)
            ASSERT_GT(sideOf(QPointF(p)) * floorSide, 0) << "beyond the horizon at " << p.x() << "," << p.y();
    }
}

TEST_F(FloorGridTest, InRenderSizeDisplayTheGridReachesTheRenderRectangleAndStopsThere) {
    MakeView(800, 450);
    LoadStanding();  // a new scene shows the whole client area
    GetApp()->SetSettingInt("view", "mask", 1);
    win::SendMessage(m_view.get(), win::WM_SETTINGS_CHANGED);
    ASSERT_EQ(m_view->MainViewport()->GetX(), 100);
    ASSERT_EQ(m_view->MainViewport()->GetWidth(), 600u);
    const QImage off = ShownWithGrid(false);
    const QImage on = ShownWithGrid(true);
    const std::vector<QPoint> grid = Changed(on, off);
    ASSERT_GT(grid.size(), 2000u);
    int nearLeft = 0, nearRight = 0;
    for (const QPoint& p : grid) {
        ASSERT_TRUE(p.x() >= 100 && p.x() < 700) << p.x() << "," << p.y();
        nearLeft += p.x() < 104;
        nearRight += p.x() >= 696;
    }
    EXPECT_GT(nearLeft, 0) << "the floor spreads wider than the rectangle: its lines reach the edge";
    EXPECT_GT(nearRight, 0);
    for (int y = 0; y < on.height(); ++y)
        for (int x : {0, 50, 99, 700, 750, 799}) ASSERT_EQ(Rgb(on, x, y), 0u) << x << "," << y;
}

TEST_F(FloorGridTest, WithNoPartShownTheFloorIsTheScenesGroundPlane) {
    MakeView(480, 360);
    // The new scene's camera stands in the plane y = 0: seen edge-on the floor has no picture.
    EXPECT_EQ(Changed(ShownWithGrid(true), ShownWithGrid(false)).size(), 0u);
    // From above, the grid lies on y = 0 around where a figure will stand.
    const rm::Vector stand = WorldOf(*Doc().GetCharacterRootFrame());
    LookAt({stand.x - 40, 35, stand.z - 35}, stand);
    const QImage off = ShownWithGrid(false);
    const QImage on = ShownWithGrid(true);
    const std::vector<QPoint> grid = Changed(on, off);
    ASSERT_GT(grid.size(), 2000u);
    EXPECT_LE(FarthestFromLines(grid, FloorLinePictures(0.0f, stand.x, stand.z)), 2.0);
    const std::optional<QPointF> middle = Screen(stand);
    ASSERT_TRUE(middle);
    EXPECT_TRUE(IsGridGrey(Rgb(on, middle->toPoint().x(), middle->toPoint().y())) ||
                IsGridGrey(Rgb(on, middle->toPoint().x() + 1, middle->toPoint().y())) ||
                IsGridGrey(Rgb(on, middle->toPoint().x(), middle->toPoint().y() + 1)))
        << "two lines cross where the figure will stand";
}

}  // namespace
