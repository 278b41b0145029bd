#pragma once
// The collection window: the parts library of the category selected in the main tree, a column of
// 64 × 64 thumbnails with their names (see CollectionList.h for the picture). A click selects, a
// double click, Enter or a drag onto the edit view applies the entry to the scene through the
// document; the arrow keys move the selection.
//
// Message 1125 (wParam: a tree item) loads the item's list: the archive root's list for the
// character item, the item's folder's list for a category, the "ADD" entry's list for a part added
// under one; 0 when a list is shown, −1 when there is none (the window then holds no entries and
// is one pixel high). The entry in use is selected: the scene's pose set, the part's file.
// Each list is drawn once into the list image when it loads (and again only for a new width);
// painting copies that image and makes only the highlight of the selected entry anew.

#include <QImage>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface/Surface.h"
#include "platform/win/WindowMessages.h"
#include "scene/PartListFile.h"

class CCommunicator;

class CCollectionWnd final : public win::CMessageWindow<QWidget> {
  public:
    // The cursors a drag shows (0: none set).
    static constexpr int kDropHereCursor = 139;
    static constexpr int kNoDropCursor = 140;

    explicit CCollectionWnd(QWidget* parent);
    ~CCollectionWnd() override;

    // Loads folder + "plist.txt" ("" for the archive root, else ending in "\"); true when it holds
    // at least one entry, which is then shown with the selection on the entry whose part path is
    // `inUse` (compared without regard to case), or on the first.
    bool LoadCollection(const std::string& folder, std::string_view inUse = {});
    // Applies the selected entry to the scene (nothing without entries).
    void ApplySelected();

    const std::vector<scene::PartListEntry>& Entries() const { return m_entries; }
    const std::string& Folder() const { return m_folder; }
    int Selection() const { return m_selection; }
    void SetSelection(int index);
    // Scrolls the page host so that the selected entry can be seen (when this is its page).
    void ScrollSelectionIntoView();
    bool IsDragging() const { return m_dragging; }
    int ShownCursor() const { return m_cursorShown; }
    // The list image as last built (null without one).
    const QImage& ListImage() const { return m_listPicture; }

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    win::LRESULT OnTreeSelection(win::WPARAM item, win::LPARAM);
    static const win::MessageMapEntry<CCollectionWnd> kMessageMap[1];

    CCommunicator* Archive() const;
    void BuildListImage();
    void ReleaseList();
    void SetDragCursor(int cursor);
    void EndDrag();
    bool OverEditView(const QPoint& global) const;

    std::string m_folder;
    std::vector<scene::PartListEntry> m_entries;
    int m_selection = 0;
    bool m_dragging = false;
    int m_cursorShown = 0;
    bool m_loaded = false;
    // The part path of the entry being applied, while the document applies it.
    std::string m_applying;
    surface::Ref<surface::Surface> m_listImage;
    QImage m_listPicture;
};
