#pragma once
// The main form view: the parts tree on the left, the edit view in the middle and the tabbed pages
// (collection, colours, lights, options) on the right. It owns the scene tree model that the
// document fills, receives the system-wide refresh (1124) and selects tree items on request (1126).

#include <QWidget>
#include <memory>

#include "platform/win/WindowMessages.h"

class C3DView;
class CPartsTree;
class QTabWidget;
class QTreeWidget;

class CMainView final : public win::CMessageWindow<QWidget> {
public:
    explicit CMainView(QWidget* parent);
    ~CMainView() override;

    QTreeWidget* PartsTree() const { return m_tree; }
    QTabWidget* Tabs() const { return m_tabs; }
    C3DView* EditView() const { return m_editView; }
    CPartsTree& TreeModel() { return *m_treeModel; }

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

private:
    win::LRESULT OnRefresh(win::WPARAM, win::LPARAM);
    win::LRESULT OnSelectTreeItem(win::WPARAM, win::LPARAM);
    static const win::MessageMapEntry<CMainView> kMessageMap[2];

    // The model is made first and goes last: the edit view watches its selection.
    std::unique_ptr<CPartsTree> m_treeModel;
    QTreeWidget* m_tree;
    C3DView* m_editView;
    QTabWidget* m_tabs;
};
