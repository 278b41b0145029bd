// The collection window on a small archive folder: its size, the list image with thumbnails,
// placeholders and names, the highlight, clicks, and the answer to 1125. Applying entries is
// exercised on the sample library further down.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindowFixture.h"
#include "archive/ArchiveContext.h"
#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "library/CollectionList.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PageHost.h"
#include "library/PartsTreeCtrl.h"
#include "app/MainFrame.h"
#include "platform/surface/DirectDraw.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

bool IsDark(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) < 3 * 128; }

// Whether any pixel of the rectangle is dark (text drawn there).
bool HasDarkPixel(const QImage& image, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (IsDark(image.pixel(x, y))) return true;
    return false;
}

class CollectionWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        data = dir.path().toStdString() + "/data/";
        QDir().mkpath(QString::fromStdString(data + "PROPS"));
        QImage big(100, 80, QImage::Format_RGB32);
        big.fill(qRgb(255, 0, 0));
        ASSERT_TRUE(big.save(QString::fromStdString(data + "big.jpg"), "JPG", 95));
        QImage small(64, 64, QImage::Format_RGB32);
        small.fill(qRgb(0, 0, 255));
        ASSERT_TRUE(small.save(QString::fromStdString(data + "small.jpg"), "JPG", 95));
        Write("plist.txt", cp932::FromUtf8("A.x|small.jpg|青\\い箱\r\nB.x|missing.jpg|ない\r\nC.x|big.jpg|大きい\r\n"));
        Write("PROPS/broken.jpg", "not a picture");
        Write("PROPS/plist.txt", cp932::FromUtf8("ball.x|broken.jpg|ボール\r\n"));

        ArchiveContext context;
        context.appFolder = dir.path().toStdString() + "/";
        archive.Open(dir.path().toStdString() + "/nowhere/disk1.vd|", data + "|", ".X;.TXT;", context);
        prompts->asked.clear();
        directDraw = surface::DirectDraw::Create();
        CMainApp* app = GetApp();
        app->ResetState();
        app->m_lpDD = directDraw.Get();
        doc = std::make_unique<CMainDoc>();
        doc->SetArchive(&archive);
        app->m_pDocument = doc.get();
        window = std::make_unique<CCollectionWnd>(nullptr);
        window->resize(180, 1);
        window->show();
    }
    void TearDown() override {
        window.reset();
        doc.reset();
        GetApp()->ResetState();
    }
    void Write(const std::string& relative, const std::string& bytes) {
        QFile file(QString::fromStdString(data + relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    win::ScopedPrompts prompts;
    QTemporaryDir dir;
    std::string data;
    CCommunicator archive;
    surface::Ref<surface::DirectDraw> directDraw;
    std::unique_ptr<CMainDoc> doc;
    std::unique_ptr<CCollectionWnd> window;
};

}  // namespace

TEST_F(CollectionWindowTest, ThreeEntriesMakeA198PixelWindowAndA196PixelListImage) {
    ASSERT_TRUE(window->LoadCollection(""));
    ASSERT_EQ(window->Entries().size(), 3u);
    EXPECT_EQ(window->height(), 198);
    const QImage& list = window->ListImage();
    EXPECT_EQ(list.height(), 196);
    EXPECT_EQ(list.width(), 176);
    ASSERT_FALSE(window->Entries().empty());
    EXPECT_EQ(window->Entries()[0].partPath, "A.x");
    EXPECT_EQ(window->Selection(), 0);
}

TEST_F(CollectionWindowTest, TheListImageHoldsThumbnailsPlaceholdersNamesAndFrames) {
    ASSERT_TRUE(window->LoadCollection(""));
    const QImage& list = window->ListImage();
    // Entry 0: the blue thumbnail in its cell.
    EXPECT_GT(qBlue(list.pixel(30, 30)), 200);
    EXPECT_LT(qRed(list.pixel(30, 30)), 60);
    // Entry 1: the picture is missing, a plain grey box stands in.
    EXPECT_EQ(list.pixel(30, 65 + 30) & 0xFFFFFF, 0xE0E0E0u);
    // Entry 2: 100 × 80 pixels, cut to the 64 × 64 cell.
    EXPECT_GT(qRed(list.pixel(64, 130 + 20)), 200);
    EXPECT_EQ(list.pixel(65, 130 + 20), kWhite) << "nothing of the picture right of its cell";
    EXPECT_EQ(list.pixel(30, 130 + 65), 0xFF404040) << "the frame below the last entry, not the picture";
    // Frames in dark grey between the entries.
    EXPECT_EQ(list.pixel(100, 65), 0xFF404040);
    EXPECT_EQ(list.pixel(0, 100), 0xFF404040);
    // "青\い箱" is two lines, 16 pixels apart; "ない" is one.
    EXPECT_TRUE(HasDarkPixel(list, QRect(66, 2, 60, 13)));
    EXPECT_TRUE(HasDarkPixel(list, QRect(66, 18, 60, 13)));
    EXPECT_FALSE(HasDarkPixel(list, QRect(66, 65 + 18, 60, 13)));
}

TEST_F(CollectionWindowTest, TheHighlightShowsTheTextWhiteOnDarkBlueInAYellowFrame) {
    ASSERT_TRUE(window->LoadCollection(""));
    window->SetSelection(1);
    const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& list = window->ListImage();
    int white = 0, blue = 0;
    for (int y = 65 + 3; y < 65 + 3 + 64; ++y)
        for (int x = 65; x < list.width() - 1; ++x) {
            const QRgb c = shown.pixel(x, y) & 0xFFFFFF;
            const QRgb under = list.pixel(x, y - 2) & 0xFFFFFF;
            if (x > 1 && x < list.width() - 2 && y > 65 + 3 && y < 65 + 66) {
                if (under == 0xFFFFFF) {
                    blue += c == 0x000080;
                } else if (under == 0) {
                    white += c == 0xFFFFFF;
                }
            }
        }
    EXPECT_GT(blue, 1000);
    EXPECT_GT(white, 10) << "the name in white";
    EXPECT_EQ(shown.pixel(1, 65 + 3) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(shown.pixel(list.width() - 2, 65 + 66) & 0xFFFFFF, 0xFFFF00u);
    // Entry 0 is not highlighted any more.
    EXPECT_EQ(shown.pixel(120, 50) & 0xFFFFFF, list.pixel(120, 48) & 0xFFFFFF);
}

// What the window shows, worked out pixel by pixel: the window colour, the list image from row 2,
// and over the selected entry's text area (x 65 … W − 2, 64 rows from row 65·s + 3) dark blue OR
// NOT the list image below, framed in yellow (x 1 … W − 2, rows 65·s + 3 … 65·s + 66).
QImage ExpectedWindow(const QImage& list, QSize size, QColor background, int selection) {
    QImage out(size, QImage::Format_RGB32);
    out.fill(background);
    auto set = [&out](int x, int y, QRgb c) {
        if (x >= 0 && y >= 0 && x < out.width() && y < out.height()) out.setPixel(x, y, c);
    };
    for (int y = 0; y < list.height(); ++y)
        for (int x = 0; x < list.width(); ++x) set(x, y + 2, list.pixel(x, y));
    const int w = list.width(), top = 65 * selection + 3;
    for (int y = top; y < top + 64 && y - 2 < list.height(); ++y)
        for (int x = 65; x < w - 1; ++x)
            set(x, y, 0xFF000000u | ((0x000080u | ~list.pixel(x, y - 2)) & 0xFFFFFFu));
    for (int x = 1; x < w - 1; ++x) {
        set(x, top, qRgb(255, 255, 0));
        set(x, top + 63, qRgb(255, 255, 0));
    }
    for (int y = top; y < top + 64; ++y) {
        set(1, y, qRgb(255, 255, 0));
        set(w - 2, y, qRgb(255, 255, 0));
    }
    return out;
}

TEST_F(CollectionWindowTest, ThePaintedPictureIsTheListImageWithTheSelectedEntryHighlighted) {
    ASSERT_TRUE(window->LoadCollection(""));
    const QColor background = window->palette().color(QPalette::Window);
    for (const int selection : {1, 0, 2}) {
        SCOPED_TRACE(selection);
        window->SetSelection(selection);
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected = ExpectedWindow(window->ListImage(), window->size(), background, selection);
        ASSERT_EQ(shown.size(), expected.size());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) differing += shown.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(CollectionWindowTest, ALoadSelectsTheEntryInUseWhateverTheCaseOfItsName) {
    const struct {
        const char* inUse;
        int selection;
    } cases[] = {{"C.x", 2}, {"b.X", 1}, {"", 0}, {"D.x", 0}, {"C.x2", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inUse);
        window->SetSelection(1);
        ASSERT_TRUE(window->LoadCollection("", c.inUse));
        EXPECT_EQ(window->Selection(), c.selection);
    }
}

TEST_F(CollectionWindowTest, ClicksSelectByRowAndIgnoreTheTopMargin) {
    ASSERT_TRUE(window->LoadCollection(""));
    struct Click {
        int y;
        int selection;
    };
    const Click clicks[] = {{66, 0}, {67, 1}, {2, 1}, {0, 1}, {3, 0}, {150, 2}, {197, 2}};
    for (const Click& c : clicks) {
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, c.y));
        EXPECT_EQ(window->Selection(), c.selection) << "y " << c.y;
    }
    EXPECT_EQ(collection::EntryAt(10000, 3), 2) << "below the last entry selects the last";
    EXPECT_EQ(collection::EntryAt(2, 3), -1);
}

TEST_F(CollectionWindowTest, AnItemWithoutAListEmptiesTheWindowAndAnswersMinusOne) {
    ASSERT_TRUE(window->LoadCollection(""));
    window->SetSelection(2);
    EXPECT_EQ(win::SendMessage(window.get(), win::WM_TREE_SELECTION_CHANGED, 0x12345), -1);
    EXPECT_TRUE(window->Entries().empty()) << "nothing is left for the apply command";
    EXPECT_EQ(window->Selection(), 0);
    EXPECT_EQ(window->height(), 1);
    EXPECT_TRUE(window->ListImage().isNull());
}

TEST_F(CollectionWindowTest, AThumbnailThatDoesNotDecodeStillListsItsEntry) {
    ASSERT_TRUE(window->LoadCollection("PROPS\\"));
    ASSERT_EQ(window->Entries().size(), 1u);
    EXPECT_EQ(window->Entries()[0].partPath, "PROPS\\ball.x");
    EXPECT_EQ(window->ListImage().pixel(30, 30) & 0xFFFFFF, 0xE0E0E0u);
    EXPECT_TRUE(HasDarkPixel(window->ListImage(), QRect(66, 2, 60, 13)));
}

TEST_F(CollectionWindowTest, AMissingListLeavesNothingToApply) {
    EXPECT_FALSE(window->LoadCollection("NOWHERE\\"));
    EXPECT_TRUE(window->Entries().empty());
    window->ApplySelected();  // must not touch a list that is not there
    EXPECT_TRUE(prompts->asked.empty());
}

// --- Applying on the sample library ---

TEST_F(MainWindowTest, DraggingAnEntryOntoTheEditViewAppliesItAndOntoTheCollectionDoesNot) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(ItemLabelled("小物"));
    const int ball = EntryIndex("ボール");
    ASSERT_GE(ball, 0);
    CCollectionWnd& list = Collection();
    QWidget& edit = *view->EditView();
    const QPoint start(100, 2 + 65 * ball + 30);
    auto moveTo = [&list](const QPoint& global) {
        QMouseEvent move(QEvent::MouseMove, list.mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &move);
    };
    auto release = [&list](const QPoint& global) {
        QMouseEvent up(QEvent::MouseButtonRelease, list.mapFromGlobal(global), global, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &up);
        Settle();
    };

    // Dropped on the collection itself: the accepting cursor, but nothing is applied.
    QTest::mousePress(&list, Qt::LeftButton, {}, start);
    moveTo(list.mapToGlobal(QPoint(120, 20)));
    EXPECT_EQ(list.ShownCursor(), CCollectionWnd::kDropHereCursor);
    moveTo(view->PartsTree()->mapToGlobal(QPoint(50, 50)));
    EXPECT_EQ(list.ShownCursor(), CCollectionWnd::kNoDropCursor);
    moveTo(list.mapToGlobal(QPoint(120, 20)));
    release(list.mapToGlobal(QPoint(120, 20)));
    EXPECT_EQ(ItemLabelled("ボール"), 0u);
    EXPECT_EQ(list.ShownCursor(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the drag cursor is given back";

    // Dropped on the edit view: applied.
    QTest::mousePress(&list, Qt::LeftButton, {}, start);
    const QPoint onView = edit.mapToGlobal(QPoint(edit.width() / 2, edit.height() / 2));
    moveTo(onView);
    EXPECT_EQ(list.ShownCursor(), CCollectionWnd::kDropHereCursor);
    release(onView);
    EXPECT_NE(ItemLabelled("ボール"), 0u);
}

TEST_F(MainWindowTest, ArrowKeysMoveTheSelectionAndEnterApplies) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(ItemLabelled("小物"));
    const int ball = EntryIndex("ボール");
    ASSERT_GT(ball, 0);
    CCollectionWnd& list = Collection();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.Selection(), 0) << "the first entry is the top";
    for (int i = 0; i < ball; ++i) QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.Selection(), ball);
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.Selection(), static_cast<int>(list.Entries().size()) - 1);
    QTest::keyClick(&list, Qt::Key_Home);
    for (int i = 0; i < ball; ++i) QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Return);
    Settle();
    EXPECT_NE(ItemLabelled("ボール"), 0u);
}

TEST_F(MainWindowTest, ACategoryChosenWhileTheCollectionIsShownDecodesEachThumbnailOnce) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ClickItem(doc->GetCharacterItem());
    ASSERT_TRUE(Collection().isVisible());
    for (const char* category : {"小物", "あたま", "からだ"}) {
        SCOPED_TRACE(category);
        const std::size_t before = collection::ThumbnailsDecoded();
        ClickItem(ItemLabelled(category));
        ASSERT_FALSE(Collection().Entries().empty());
        EXPECT_EQ(collection::ThumbnailsDecoded() - before, Collection().Entries().size());
        // Painting and moving the selection decode nothing.
        Collection().SetSelection(1);
        Collection().grab();
        EXPECT_EQ(collection::ThumbnailsDecoded() - before, Collection().Entries().size());
    }
}

// The list of a tree item opens on the entry in use: the pose set the scene holds, the head that
// is on, and for a prop the prop itself in the list of the entry it was added under.
TEST_F(MainWindowTest, TheCollectionSelectsTheEntryInUse) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    prompts->messageAnswers.push_back(win::IDOK);
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(doc->GetCharacterItem(), "歩くポーズ"));
    // The tree is built anew for the pose set.
    const HTREEITEM character = doc->GetCharacterItem();
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(ItemLabelled("あたま"), "ロング"));
    const HTREEITEM props = ItemLabelled("小物");
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(props, "いす"));
    const HTREEITEM chair = ItemLabelled("いす");
    ASSERT_NE(chair, 0u);
    // The new prop is selected: its entry's list stays, on the prop, ready for another.
    ASSERT_EQ(Tree().GetSelectedItem(), chair);
    EXPECT_EQ(Collection().Folder(), doc->FolderMap().at(props));
    EXPECT_EQ(Collection().Selection(), EntryIndex("いす"));

    const struct {
        HTREEITEM item;
        const char* entry;
    } cases[] = {{ItemLabelled("あたま"), "ロング"}, {character, "歩くポーズ"}, {chair, "いす"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        ClickItem(ItemLabelled("からだ"));
        ClickItem(c.item);
        ASSERT_GT(EntryIndex(c.entry), 0) << "not the first entry";
        EXPECT_EQ(Collection().Selection(), EntryIndex(c.entry));
        EXPECT_GT(Collection().height(), 1) << "the list is shown";
    }
    EXPECT_EQ(Collection().Folder(), doc->FolderMap().at(props));

    // In a low window the page host scrolls the entry in use into view.
    view->setFixedSize(700, 300);
    Settle();
    ClickItem(ItemLabelled("からだ"));
    ClickItem(chair);
    const int entryTop = Collection().y() + 65 * EntryIndex("いす") + 2;
    ASSERT_GT(65 * EntryIndex("いす") + 2 + 66, view->PageHost()->height()) << "below the host's height";
    EXPECT_GE(entryTop, 0);
    EXPECT_LE(entryTop + 66, view->PageHost()->height());
}
