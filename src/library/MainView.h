#pragma once
// The main form view: the parts tree on the left, the edit view in the middle and the tabbed pages
// (collection, colours, lights, options) on the right. It receives the system-wide refresh (1124).

#include <QWidget>

#include "platform/win/WindowMessages.h"

class QTabWidget;
class QTreeWidget;
class QFrame;

class CMainView final : public win::CMessageWindow<QWidget> {
public:
    explicit CMainView(QWidget* parent);
    ~CMainView() override;

    QTreeWidget* PartsTree() const { return m_tree; }
    QTabWidget* Tabs() const { return m_tabs; }
    // The area the edit view fills.
    QFrame* EditArea() const { return m_editArea; }

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

private:
    win::LRESULT OnRefresh(win::WPARAM, win::LPARAM);
    static const win::MessageMapEntry<CMainView> kMessageMap[1];

    QTreeWidget* m_tree;
    QFrame* m_editArea;
    QTabWidget* m_tabs;
};
