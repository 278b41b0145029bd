// The edit view on the standing pose set, measured from the call to the widget's pixels: one
// drawing in Gouraud at 1280 × 960 (with the floor grid, and without it as its reference), one drag
// step in simple display (boxes) at 1280 × 960, one drag step with the whole figure redrawn at
// 800 × 600; beside them the render to file of the same scene at the same sizes, without
// antialiasing, as the reference. A hand dragged at 1280 × 960 in simple display: one IK step
// (solve, place the three parts, draw) beside one move step. An orbit step with the middle button
// at 1280 × 960 (mouse move, camera turned, picture shown), the figure drawn whole and in simple
// display (boxes). With four standing figures side by side, framed from the front: the drawing, the
// drag step in simple display, and adding one more figure (the pose set read from the archive).
// Each with one thread and with two (the frames split into bands); the time is the wall clock's,
// the CPU time every thread's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <memory>
#include <sstream>

#include "app/HeadlessScene.h"
#include "core/MainApp.h"
#include "scene/CameraViews.h"
#include "platform/rm/WorkerPool.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"
#include "view/3DView.h"

namespace {

std::string BinFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

struct StandingView {
    std::ostringstream log;
    std::unique_ptr<CHeadlessScene> scene;
    std::unique_ptr<C3DView> view;
    bool loaded = false;

    StandingView(int width, int height, int simple, int grid = 1, int figures = 1) {
        scene = std::make_unique<CHeadlessScene>(BinFolder(), log);
        GetApp()->Settings().Clear();  // defaults, whatever a profile beside the program holds
        loaded = scene->LoadPoseSet("STAND.OBJ");
        for (int i = 1; loaded && i < figures; ++i) loaded = scene->AddFigure("STAND.OBJ");
        GetApp()->SetSettingInt("dev", "mode", 2);
        GetApp()->SetSettingInt("view", "s_mode", simple);
        GetApp()->SetSettingInt("view", "grid", grid);
        view = std::make_unique<C3DView>(nullptr);
        view->resize(width, height);
        view->show();
        // Several figures stand side by side: all of them in the picture.
        if (figures > 1) scene->LookFrom(scene::StandardView::Front);
        QCoreApplication::processEvents();
    }
    ~StandingView() {
        view.reset();
        scene.reset();
    }
};

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), type == QEvent::MouseMove ? Qt::NoButton : button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void DrawViews(benchmark::State& state, int grid, int figures = 1) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    StandingView s(1280, 960, 1, grid, figures);
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    for (auto _ : state) {
        s.view->DrawView();
        // Shown: the window paints the frame.
        QCoreApplication::processEvents();
        benchmark::ClobberMemory();
    }
}

// The floor grid is on unless set off; without it as the reference.
void BM_DrawViewGouraud1280(benchmark::State& state) { DrawViews(state, 1); }
void BM_DrawViewGouraud1280NoGrid(benchmark::State& state) { DrawViews(state, 0); }
void BM_DrawViewGouraud1280FourFigures(benchmark::State& state) { DrawViews(state, 1, 4); }

// One mouse move of a drag of the figure: the step, then the drawing the step posts for.
void DragSteps(benchmark::State& state, int width, int height, int simple, int figures = 1) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    StandingView s(width, height, simple, 1, figures);
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    s.scene->Document().Tree()->SelectItem(s.scene->Document().GetCharacterItem());
    const QPoint start(width / 2, height / 2);
    Send(s.view.get(), QEvent::MouseButtonPress, start, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Back and forth over a few pixels, so the figure stays in view however long it runs.
        const int dx = (step++ % 8) < 4 ? 1 : -1;
        const QPoint at = start + QPoint(dx * (step % 4 + 1), 0);
        Send(s.view.get(), QEvent::MouseMove, at, Qt::LeftButton);
        // The step asks for its drawing with a posted refresh, as in the application.
        QCoreApplication::processEvents();
        benchmark::ClobberMemory();  // the picture is in the window (painted by the events above)
    }
    Send(s.view.get(), QEvent::MouseButtonRelease, start, Qt::NoButton);
}

void BM_DragStepSimple1280(benchmark::State& state) { DragSteps(state, 1280, 960, 1); }
void BM_DragStepSimple1280FourFigures(benchmark::State& state) { DragSteps(state, 1280, 960, 1, 4); }

// A fifth figure added beside four (and taken out again, untimed, for the next round).
void BM_AddFigureBesideFour(benchmark::State& state) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    StandingView s(1280, 960, 1, 1, 4);
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    CMainDoc& doc = s.scene->Document();
    for (auto _ : state) {
        if (!s.scene->AddFigure("STAND.OBJ")) return state.SkipWithError("no figure was added");
        state.PauseTiming();
        doc.RemoveFigure(*doc.Figures().back());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// Drag steps of the left hand from its wrist, up toward the shoulder and back, so that an IK drag
// bends the arm (within reach) at every step.
void HandSteps(benchmark::State& state, int mode) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    StandingView s(1280, 960, 1);
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    CMainDoc& doc = s.scene->Document();
    CPartObject* hand = nullptr;
    for (const auto& [item, folder] : doc.FolderMap())
        if (folder.ends_with("\\HANDL\\") && (hand = doc.FindPartByItem(item))) {
            doc.Tree()->SelectItem(item);
            break;
        }
    if (!hand) return state.SkipWithError("the figure has no left hand");
    GetApp()->EditMode = mode;
    rm::Vector world, origin{0, 0, 0};
    hand->GetFrame()->Transform(&world, &origin);
    rm::Vector4 screen{};
    s.view->MainViewport()->Transform(&screen, &world);
    const QPoint start(int(screen.x / screen.w), int(screen.y / screen.w));
    Send(s.view.get(), QEvent::MouseButtonPress, start, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const int up = step % 16 < 8 ? step % 8 : 8 - step % 8;
        ++step;
        Send(s.view.get(), QEvent::MouseMove, start - QPoint(0, 2 + 2 * up), Qt::LeftButton);
        QCoreApplication::processEvents();
        benchmark::ClobberMemory();  // the picture is in the window (painted by the events above)
    }
    Send(s.view.get(), QEvent::MouseButtonRelease, start, Qt::NoButton);
    GetApp()->EditMode = EDIT_MOVE;
}

void BM_HandMoveStepSimple1280(benchmark::State& state) { HandSteps(state, EDIT_MOVE); }
void BM_HandIkStepSimple1280(benchmark::State& state) { HandSteps(state, EDIT_IK); }
void BM_DragStepFull800(benchmark::State& state) { DragSteps(state, 800, 600, 0); }

// One mouse move of an orbit with the middle button, nothing selected: the camera turned about the
// figure, then the drawing it asks for.
void OrbitSteps(benchmark::State& state, int simple) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    StandingView s(1280, 960, simple);
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    s.scene->Document().Tree()->SelectItem(0);
    const QPoint start(640, 480);
    Send(s.view.get(), QEvent::MouseButtonPress, start, Qt::MiddleButton, Qt::MiddleButton);
    int step = 0;
    for (auto _ : state) {
        // Back and forth, so the figure is seen from the front half however long it runs.
        const int along = step % 64 < 32 ? step % 32 : 32 - step % 32;
        ++step;
        Send(s.view.get(), QEvent::MouseMove, start + QPoint(4 * along, along), Qt::MiddleButton);
        QCoreApplication::processEvents();
        benchmark::ClobberMemory();  // the picture is in the window (painted by the events above)
    }
    Send(s.view.get(), QEvent::MouseButtonRelease, start, Qt::NoButton, Qt::MiddleButton);
}

void BM_OrbitStepFull1280(benchmark::State& state) { OrbitSteps(state, 0); }
void BM_OrbitStepSimple1280(benchmark::State& state) { OrbitSteps(state, 1); }

void RenderToFileReference(benchmark::State& state, int width, int height) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    std::ostringstream log;
    CHeadlessScene scene(BinFolder(), log);
    GetApp()->Settings().Clear();
    if (!scene.LoadPoseSet("STAND.OBJ")) return state.SkipWithError("the sample library is not beside the benchmark");
    GetApp()->SetSettingInt("render", "width", width);
    GetApp()->SetSettingInt("render", "height", height);
    GetApp()->SetSettingInt("render", "antialias", 0);
    for (auto _ : state) {
        auto bmp = RenderToBmp(scene.MakeRenderRequest(nullptr));
        benchmark::DoNotOptimize(bmp.data());
    }
}

void BM_RenderToFile1280(benchmark::State& state) { RenderToFileReference(state, 1280, 960); }
void BM_RenderToFile800(benchmark::State& state) { RenderToFileReference(state, 800, 600); }

// Each benchmark with one thread and with two, timed by the wall clock.
void OneThreadAndTwo(benchmark::internal::Benchmark* b) {
    b->ArgName("threads")->Arg(1)->Arg(2)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_DrawViewGouraud1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_DrawViewGouraud1280NoGrid)->Apply(OneThreadAndTwo);
BENCHMARK(BM_DrawViewGouraud1280FourFigures)->Apply(OneThreadAndTwo);
BENCHMARK(BM_DragStepSimple1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_DragStepSimple1280FourFigures)->Apply(OneThreadAndTwo);
BENCHMARK(BM_AddFigureBesideFour)->Apply(OneThreadAndTwo);
BENCHMARK(BM_DragStepFull800)->Apply(OneThreadAndTwo);
BENCHMARK(BM_HandMoveStepSimple1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_HandIkStepSimple1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_OrbitStepFull1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_OrbitStepSimple1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_RenderToFile1280)->Apply(OneThreadAndTwo);
BENCHMARK(BM_RenderToFile800)->Apply(OneThreadAndTwo);
