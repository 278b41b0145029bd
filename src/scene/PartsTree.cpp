#include "scene/PartsTree.h"

#include <algorithm>

namespace {
const std::vector<HTREEITEM> kNoChildren;
}

CPartsTree::Item* CPartsTree::Find(HTREEITEM item) {
    auto it = m_items.find(item);
    return it == m_items.end() ? nullptr : &it->second;
}

const CPartsTree::Item* CPartsTree::Find(HTREEITEM item) const {
    auto it = m_items.find(item);
    return it == m_items.end() ? nullptr : &it->second;
}

std::vector<HTREEITEM>* CPartsTree::ChildList(HTREEITEM parent) {
    if (parent == TVI_ROOT) return &m_topLevel;
    Item* p = Find(parent);
    return p ? &p->children : nullptr;
}

const std::vector<HTREEITEM>& CPartsTree::Children(HTREEITEM item) const {
    if (item == TVI_ROOT) return m_topLevel;
    const Item* p = Find(item);
    return p ? p->children : kNoChildren;
}

void CPartsTree::Notify(Change change, HTREEITEM item) {
    // A listener may register or remove listeners; walk a copy.
    const auto listeners = m_listeners;
    for (const auto& [id, listener] : listeners) listener(change, item);
}

HTREEITEM CPartsTree::InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent,
                                 HTREEITEM after) {
    std::vector<HTREEITEM>* siblings = ChildList(parent);
    if (!siblings) return 0;
    const HTREEITEM handle = m_nextHandle;
    m_nextHandle += 0x10;
    Item item;
    item.text = text;
    item.image = image;
    item.selectedImage = selectedImage;
    item.parent = parent;
    auto at = std::find(siblings->begin(), siblings->end(), after);
    if (after == TVI_FIRST)
        siblings->insert(siblings->begin(), handle);
    else
        siblings->insert(at == siblings->end() ? siblings->end() : at + 1, handle);
    m_items.emplace(handle, std::move(item));
    m_inserted.push_back(handle);
    Notify(Change::Inserted, handle);
    return handle;
}

void CPartsTree::EraseSubtree(HTREEITEM item) {
    Item* p = Find(item);
    if (!p) return;
    const std::vector<HTREEITEM> children = p->children;
    for (HTREEITEM child : children) EraseSubtree(child);
    if (m_selected == item) m_selected = 0;
    std::erase(m_inserted, item);
    m_items.erase(item);
}

bool CPartsTree::DeleteItem(HTREEITEM item) {
    Item* p = Find(item);
    if (!p) return false;
    if (std::vector<HTREEITEM>* siblings = ChildList(p->parent)) std::erase(*siblings, item);
    EraseSubtree(item);
    Notify(Change::Deleted, item);
    return true;
}

void CPartsTree::DeleteAllItems() {
    m_items.clear();
    m_topLevel.clear();
    m_inserted.clear();
    m_selected = 0;
    Notify(Change::Cleared, 0);
}

std::string CPartsTree::GetItemText(HTREEITEM item) const {
    const Item* p = Find(item);
    return p ? p->text : std::string();
}

bool CPartsTree::SetItemText(HTREEITEM item, const std::string& text) {
    Item* p = Find(item);
    if (!p) return false;
    p->text = text;
    Notify(Change::Text, item);
    return true;
}

bool CPartsTree::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
    const Item* p = Find(item);
    if (!p) return false;
    image = p->image;
    selectedImage = p->selectedImage;
    return true;
}

bool CPartsTree::SetItemImage(HTREEITEM item, int image, int selectedImage) {
    Item* p = Find(item);
    if (!p) return false;
    p->image = image;
    p->selectedImage = selectedImage;
    Notify(Change::Image, item);
    return true;
}

bool CPartsTree::GetCheck(HTREEITEM item) const {
    const Item* p = Find(item);
    return p && p->checked;
}

bool CPartsTree::SetCheck(HTREEITEM item, bool checked) {
    Item* p = Find(item);
    if (!p) return false;
    p->checked = checked;
    Notify(Change::Check, item);
    return true;
}

std::uint32_t CPartsTree::GetItemData(HTREEITEM item) const {
    const Item* p = Find(item);
    return p ? p->data : 0;
}

bool CPartsTree::SetItemData(HTREEITEM item, std::uint32_t data) {
    Item* p = Find(item);
    if (!p) return false;
    p->data = data;
    Notify(Change::Data, item);
    return true;
}

HTREEITEM CPartsTree::GetParentItem(HTREEITEM item) const {
    const Item* p = Find(item);
    return p ? p->parent : 0;
}

HTREEITEM CPartsTree::GetChildItem(HTREEITEM item) const {
    const std::vector<HTREEITEM>& children = Children(item);
    return children.empty() ? 0 : children.front();
}

HTREEITEM CPartsTree::GetNextSiblingItem(HTREEITEM item) const {
    const Item* p = Find(item);
    if (!p) return 0;
    const std::vector<HTREEITEM>& siblings = Children(p->parent);
    auto it = std::find(siblings.begin(), siblings.end(), item);
    return (it == siblings.end() || it + 1 == siblings.end()) ? 0 : *(it + 1);
}

bool CPartsTree::Expand(HTREEITEM item, bool expand) {
    if (item == TVI_ROOT) return true;
    Item* p = Find(item);
    if (!p) return false;
    p->expanded = expand;
    Notify(Change::Expanded, item);
    // A selection hidden in the branch moves up to the collapsed item, as a tree control does:
    // what a person sees selected is what a key press acts on.
    if (!expand && IsAncestor(item, m_selected)) SelectItem(item);
    return true;
}

bool CPartsTree::IsAncestor(HTREEITEM ancestor, HTREEITEM item) const {
    if (!Find(item)) return false;
    for (HTREEITEM p = GetParentItem(item); p != TVI_ROOT; p = GetParentItem(p))
        if (p == ancestor) return true;
    return false;
}

bool CPartsTree::IsExpanded(HTREEITEM item) const {
    const Item* p = Find(item);
    return p && p->expanded;
}

bool CPartsTree::SelectItem(HTREEITEM item) {
    if (item != 0 && !Find(item)) return false;
    if (item != 0) EnsureVisible(item);
    m_selected = item;
    Notify(Change::Selected, item);
    return true;
}

bool CPartsTree::EnsureVisible(HTREEITEM item) {
    if (!Find(item)) return false;
    for (HTREEITEM p = GetParentItem(item); p != TVI_ROOT; p = GetParentItem(p))
        if (!IsExpanded(p)) Expand(p, true);
    return true;
}

HTREEITEM CPartsTree::GetNextVisibleItem(HTREEITEM item) const {
    const Item* p = Find(item);
    if (!p) return 0;
    if (p->expanded && !p->children.empty()) return p->children.front();
    for (HTREEITEM at = item; at != TVI_ROOT; at = GetParentItem(at))
        if (HTREEITEM next = GetNextSiblingItem(at)) return next;
    return 0;
}

void CPartsTree::SetItemHeight(int height) {
    m_itemHeight = height;
    Notify(Change::ItemHeight, 0);
}

int CPartsTree::AddListener(Listener listener) {
    const int id = m_nextListener++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void CPartsTree::RemoveListener(int id) {
    m_listeners.erase(id);
}
