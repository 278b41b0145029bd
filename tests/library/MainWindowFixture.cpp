#include "MainWindowFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include "app/Artwork.h"
#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/ViewCommands.h"
#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "library/CollectionWnd.h"
#include "library/MainView.h"
#include "library/PartsTreeCtrl.h"
#include "scene/MainDoc.h"

QAction* MainWindowTest::MenuAction(CMainFrame& frame, const QString& menuTitle, const QString& text) {
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == menuTitle && menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == text) return a;
    return nullptr;
}

void MainWindowTest::SetUp() {
    CMainApp* app = GetApp();
    app->ResetState();
    app->Settings().Clear();
    app->m_bShowSplash = false;
    app->SetAppFolder(QCoreApplication::applicationDirPath().toStdString() + "/");
    app->OpenArchive();
    app->SetIconList(artwork::CreateIconList());
    doc = std::make_unique<CMainDoc>();
    frame = std::make_unique<CMainFrame>();
    view = new CMainView(frame.get());
    frame->setCentralWidget(view);
    BindDocumentCommands(*frame, *doc);
    BindViewCommands(*frame, *view->EditView(), *doc);
    BindMainViewCommands(*frame, *view);
    doc->OnNewDocument();
    view->OnInitialUpdate();
    frame->resize(1000, 700);
    frame->show();
    Settle();
}

void MainWindowTest::TearDown() {
    frame.reset();
    doc.reset();
    CMainApp* app = GetApp();
    app->GetArchive().Close();
    app->ResetState();
}

void MainWindowTest::Settle() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

CPartsTree& MainWindowTest::Tree() const { return view->TreeModel(); }
CPartsTreeCtrl& MainWindowTest::TreeCtrl() const { return *view->PartsTree(); }
CCollectionWnd& MainWindowTest::Collection() const { return *view->Collection(); }

HTREEITEM MainWindowTest::ItemLabelled(const std::string& label) const {
    const std::string text = cp932::FromUtf8(label);
    for (HTREEITEM item : Tree().Inserted())
        if (Tree().GetItemText(item) == text) return item;
    return 0;
}

int MainWindowTest::EntryIndex(const std::string& name) const {
    const auto& entries = Collection().Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == cp932::FromUtf8(name)) return static_cast<int>(i);
    return -1;
}

void MainWindowTest::ClickItem(HTREEITEM item) {
    QTreeWidgetItem* w = TreeCtrl().WidgetItem(item);
    ASSERT_NE(w, nullptr);
    TreeCtrl().scrollToItem(w);
    const QRect r = TreeCtrl().visualItemRect(w);
    QTest::mouseClick(TreeCtrl().viewport(), Qt::LeftButton, {}, QPoint(r.right() - 4, r.center().y()));
    Settle();
}

void MainWindowTest::ClickCheckBox(HTREEITEM item) {
    ASSERT_NE(TreeCtrl().WidgetItem(item), nullptr);
    TreeCtrl().scrollToItem(TreeCtrl().WidgetItem(item));
    const QRect box = TreeCtrl().CheckBoxRect(item);
    ASSERT_FALSE(box.isEmpty());
    QTest::mouseClick(TreeCtrl().viewport(), Qt::LeftButton, {}, box.center());
    Settle();
}

void MainWindowTest::ApplyEntry(HTREEITEM category, const std::string& name) {
    ClickItem(category);
    ASSERT_NO_FATAL_FAILURE(DoubleClickEntry(name));
}

void MainWindowTest::DoubleClickEntry(const std::string& name) {
    const int index = EntryIndex(name);
    ASSERT_GE(index, 0) << name;
    const QPoint at(100, 2 + 65 * index + 30);
    QTest::mouseClick(&Collection(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(&Collection(), Qt::LeftButton, {}, at);
    Settle();
}

void MainWindowTest::LoadStandingFigure() {
    ASSERT_NO_FATAL_FAILURE(ApplyEntry(doc->GetCharacterItem(), "立ちポーズ"));
    ASSERT_FALSE(doc->AllParts().empty());
}
