#pragma once
// The parts tree control (1001): a tree widget that mirrors the scene tree model item for item
// (text, images of the application's icon list, check box, expanded state, selection) and reports
// what a person does to it. Model changes reach the widget through the model's listener; a
// person's changes reach the model at once, and the callbacks tell the main view.
//
// A press on an item's check box toggles the box without selecting the item, so that the check
// mark a selection forces never fights the click. A press below the last item selects nothing.
// Opening and closing branches goes to the model, which moves a selection out of a branch that
// closes (and reports it through onSelectionChanged like any other selection).

#include <QTreeWidget>
#include <functional>
#include <map>

#include "scene/PartsTree.h"

class CPartsTreeCtrl final : public QTreeWidget {
  public:
    explicit CPartsTreeCtrl(QWidget* parent);
    ~CPartsTreeCtrl() override;

    // Mirrors `model` from now on (null: mirrors nothing). The widget is rebuilt from the model.
    void Attach(CPartsTree* model);
    CPartsTree* Model() const { return m_model; }

    QTreeWidgetItem* WidgetItem(HTREEITEM item) const;
    HTREEITEM Handle(const QTreeWidgetItem* item) const;
    // The screen rectangle of the check box of `item` in viewport coordinates (empty when none).
    QRect CheckBoxRect(HTREEITEM item) const;

    // A person toggled a check box (click or space); the model already holds the new state.
    std::function<void(HTREEITEM)> onCheckToggled;
    // A mouse click anywhere in the tree (after any check box change).
    std::function<void()> onClicked;
    // The selection moved to another item: a person selected it (the model's selection is not
    // changed yet) or code selected it in the model, as a tree control reports both.
    std::function<void(HTREEITEM)> onSelectionChanged;
    // The Delete key.
    std::function<void()> onDeletePressed;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnModelChange(CPartsTree::Change change, HTREEITEM item);
    void Rebuild();
    QTreeWidgetItem* MakeItem(HTREEITEM item);
    void Forget(QTreeWidgetItem* item);
    void ShowImages(HTREEITEM item);
    void ShowCheck(HTREEITEM item);
    void ShowSelection();
    bool ToggleCheckAt(const QPoint& pos);
    void OnItemChanged(QTreeWidgetItem* item);
    void OnExpandedChanged(QTreeWidgetItem* item, bool expanded);
    // A click on the empty area: the selection goes to no item, reported as any other.
    void SelectNothing();
    void OnCurrentChanged();

    CPartsTree* m_model = nullptr;
    int m_listener = 0;
    std::map<HTREEITEM, QTreeWidgetItem*> m_items;
    // Set while the widget follows the model, so that its own signals are not taken for a person.
    int m_following = 0;
    bool m_pressOnCheckBox = false;
    // The selection last reported through onSelectionChanged (or followed without a report).
    HTREEITEM m_reportedSelection = 0;
};
