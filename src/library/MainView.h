#pragma once
// The main form view: the parts tree on the left, the edit view in the middle and the tab control
// on the right, whose page host shows one page at a time (collection, colours, lights, options).
// The form is laid out for a client area of at least 604 × 300 and scrolls below that.
//
// It owns the scene tree model that the document fills and the tree control mirrors, receives the
// system-wide refresh (1124: tree refresh, then the edit view redraws) and selects tree items on
// request (1126: the document, the pages and the collection follow the selection).

#include <QScrollArea>
#include <functional>
#include <memory>

#include "platform/win/WindowMessages.h"
#include "scene/PartsTree.h"

class C3DView;
class CCollectionWnd;
class CPageHost;
class CPartsTreeCtrl;
class QTabBar;
class QTreeWidget;

class CMainView final : public win::CMessageWindow<QScrollArea> {
  public:
    static constexpr int kMinimumWidth = 604;
    static constexpr int kMinimumHeight = 300;
    enum Page { kMaterialPage, kTreePage, kLightPage, kCameraPage, kCollectionPage, kPageCount };

    explicit CMainView(QWidget* parent);
    ~CMainView() override;

    // After New and Open (and once at start-up): the first tab and the collection, the tree
    // prepared for the document and its check states recorded, the pages brought in line.
    void OnInitialUpdate();
    // The main frame's refresh of its toolbar states, run after a tab change.
    void SetToolbarRefresh(std::function<void()> refresh) { m_toolbarRefresh = std::move(refresh); }

    CPartsTreeCtrl* PartsTree() const { return m_tree; }
    QWidget* TabControl() const { return m_tabControl; }
    QTabBar* Tabs() const { return m_tabBar; }
    CPageHost* PageHost() const { return m_pageHost; }
    QWidget* PageWidget(Page page) const { return m_pages[page]; }
    CCollectionWnd* Collection() const { return m_collection; }
    C3DView* EditView() const { return m_editView; }
    CPartsTree& TreeModel() { return *m_treeModel; }
    // The form the windows are laid out on (the scrolled widget).
    QWidget* Form() const { return widget(); }

    // Shows the page of tab `index` in the page host.
    void SelectTab(int index);

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    win::LRESULT OnRefresh(win::WPARAM, win::LPARAM);
    win::LRESULT OnSelectTreeItem(win::WPARAM, win::LPARAM);
    static const win::MessageMapEntry<CMainView> kMessageMap[2];

    void CreatePages();
    void LayOut();
    void LayOutTabControl();
    void DeleteSelectedPart();

    // The model is made first and goes last: the edit view and the tree control watch it.
    std::unique_ptr<CPartsTree> m_treeModel;
    CPartsTreeCtrl* m_tree = nullptr;
    C3DView* m_editView = nullptr;
    QWidget* m_tabControl = nullptr;
    QTabBar* m_tabBar = nullptr;
    CPageHost* m_pageHost = nullptr;
    QWidget* m_pages[kPageCount] = {};
    CCollectionWnd* m_collection = nullptr;
    bool m_initialised = false;
    // Set while 1126 selects its item in the tree, which reports the selection back.
    bool m_selecting = false;
    std::function<void()> m_toolbarRefresh;
};
