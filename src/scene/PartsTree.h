#pragma once
// The scene tree as plain data: what the main view's tree control holds, without a widget. Items
// have 32-bit handles, code page 932 text, an image and a selected image, a check mark, a data
// word, a parent and ordered children, an expanded flag, and one selected item. The model also
// keeps the ordered list of every handle inserted through it (a deletion removes its handle, the
// later ones move up; deleting everything empties it).
//
// A tree widget mirrors the model by listening to its change notifications. The model is the one
// truth about what is expanded and selected: the selected item is always in expanded branches (a
// selection expands its ancestors, a collapse takes the selection up to the collapsed item), so
// the items shown are the items a person can act on.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

using HTREEITEM = std::uint32_t;
// The invisible root (insert at the top level), "insert first" and "insert at the end".
inline constexpr HTREEITEM TVI_ROOT = 0;
inline constexpr HTREEITEM TVI_FIRST = 0xFFFF0001u;
inline constexpr HTREEITEM TVI_LAST = 0xFFFF0002u;

class CPartsTree {
  public:
    enum class Change {
        Inserted,
        Deleted,
        Cleared,
        Text,
        Image,
        Check,
        Data,
        Expanded,
        Selected,
        ItemHeight
    };
    using Listener = std::function<void(Change, HTREEITEM)>;

    CPartsTree() = default;
    CPartsTree(const CPartsTree&) = delete;
    CPartsTree& operator=(const CPartsTree&) = delete;

    // A new item at the end of `parent`'s children (first for TVI_FIRST, after `after` when that is
    // a child of `parent`); 0 when `parent` is not an item.
    HTREEITEM InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(const std::string& text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) {
        return InsertItem(text, 0, 0, parent, after);
    }
    // Deletes the item with its descendants; false for an unknown item.
    bool DeleteItem(HTREEITEM item);
    void DeleteAllItems();

    bool Exists(HTREEITEM item) const { return m_items.count(item) != 0; }
    std::size_t GetCount() const { return m_items.size(); }

    std::string GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const std::string& text);
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    bool SetItemImage(HTREEITEM item, int image, int selectedImage);
    bool GetCheck(HTREEITEM item) const;
    bool SetCheck(HTREEITEM item, bool checked = true);
    std::uint32_t GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, std::uint32_t data);

    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetChildItem(HTREEITEM item) const;  // first child; TVI_ROOT gives the first top item
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    // Whether `ancestor` is a parent, grandparent … of `item` (never of itself).
    bool IsAncestor(HTREEITEM ancestor, HTREEITEM item) const;
    bool ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != 0; }
    const std::vector<HTREEITEM>& Children(HTREEITEM item) const;

    // Collapsing a branch that holds the selected item selects the collapsed item.
    bool Expand(HTREEITEM item, bool expand = true);
    bool IsExpanded(HTREEITEM item) const;
    // Selects the item (0 clears the selection), expanding its ancestors so that it can be seen, as
    // a tree control does.
    bool SelectItem(HTREEITEM item);
    HTREEITEM GetSelectedItem() const { return m_selected; }
    // Expands every ancestor so that the item can be seen.
    bool EnsureVisible(HTREEITEM item);

    // Walking the items shown: the first top-level item, then the next item shown below one
    // (into the children of an expanded item, then siblings, then the ancestors' next siblings).
    HTREEITEM GetFirstVisibleItem() const { return GetChildItem(TVI_ROOT); }
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const;

    void SetItemHeight(int height);
    int GetItemHeight() const { return m_itemHeight; }
    // Whether the application's icon list is attached to the tree.
    void SetImageListAttached(bool attached) { m_imageList = attached; }
    bool HasImageList() const { return m_imageList; }

    // The ordered list of the handles inserted through the tree.
    std::size_t InsertedCount() const { return m_inserted.size(); }
    HTREEITEM InsertedAt(std::size_t i) const { return i < m_inserted.size() ? m_inserted[i] : 0; }
    const std::vector<HTREEITEM>& Inserted() const { return m_inserted; }

    // Registers a listener; returns its id for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

  private:
    struct Item {
        std::string text;
        int image = 0;
        int selectedImage = 0;
        bool checked = false;
        bool expanded = false;
        std::uint32_t data = 0;
        HTREEITEM parent = TVI_ROOT;
        std::vector<HTREEITEM> children;
    };
    Item* Find(HTREEITEM item);
    const Item* Find(HTREEITEM item) const;
    std::vector<HTREEITEM>* ChildList(HTREEITEM parent);
    void EraseSubtree(HTREEITEM item);
    void Notify(Change change, HTREEITEM item);

    std::map<HTREEITEM, Item> m_items;
    std::vector<HTREEITEM> m_topLevel;
    std::vector<HTREEITEM> m_inserted;
    HTREEITEM m_selected = 0;
    // Handles are never reused, so a stale handle can never name a newer item.
    HTREEITEM m_nextHandle = 0x10;
    int m_itemHeight = 16;
    bool m_imageList = false;
    std::map<int, Listener> m_listeners;
    int m_nextListener = 1;
};
