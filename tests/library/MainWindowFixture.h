#pragma once
// The main window as start-up builds it (frame, main view, document, the file, view and main view
// commands) on the sample library beside the test program, with scripted prompts.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win/ScriptedPrompts.h"
#include "scene/PartsTree.h"

class QAction;
class QString;
class CCollectionWnd;
class CMainDoc;
class CMainFrame;
class CMainView;
class CPartObject;
class CPartsTreeCtrl;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the posted messages (refreshes, selections) until none is left.
    static void Settle();
    // Selects `item` as a person would: a click on its text in the tree.
    void ClickItem(HTREEITEM item);
    // A click on the item's check box.
    void ClickCheckBox(HTREEITEM item);
    // Selects the character item and double-clicks the collection's entry named `name` (UTF-8).
    // Both end in a fatal failure when the entry or the figure is missing: call them as
    // ASSERT_NO_FATAL_FAILURE(LoadStandingFigure()).
    void ApplyEntry(HTREEITEM category, const std::string& name);
    // Double-clicks the collection's entry named `name` (UTF-8) in the list shown now.
    void DoubleClickEntry(const std::string& name);
    void LoadStandingFigure();
    // The tree item labelled `label` (UTF-8) anywhere in the tree; 0 when none.
    HTREEITEM ItemLabelled(const std::string& label) const;
    int EntryIndex(const std::string& name) const;
    // The command `text` of the menu titled `menuTitle` in the frame's menu bar; null when either is
    // missing.
    static QAction* MenuAction(CMainFrame& frame, const QString& menuTitle, const QString& text);

    CPartsTree& Tree() const;
    CPartsTreeCtrl& TreeCtrl() const;
    CCollectionWnd& Collection() const;

    win::ScopedPrompts prompts;
    std::unique_ptr<CMainDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CMainView* view = nullptr;
};
