#include "scene/MainDoc.h"

#include <algorithm>

#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/FrameNames.h"
#include "scene/PartPaths.h"

CMainDoc::CMainDoc() {
    GetApp()->m_pDocument = this;
}

CMainDoc::~CMainDoc() {
    ReleaseAllParts();
    if (GetApp()->m_pDocument == this) GetApp()->m_pDocument = nullptr;
}

CPartsTree* CMainDoc::Tree() const {
    return GetApp()->m_pTreeModel;
}

CCommunicator& CMainDoc::Archive() const {
    return m_archive ? *m_archive : GetApp()->GetArchive();
}

CPartObject* CMainDoc::FindPartByFolder(std::string_view path) const {
    const std::string folder =
        scene::WithBackslash(scene::FolderOf(path).empty() ? std::string(path) : scene::FolderOf(path));
    for (CPartObject* part : m_allParts)
        if (cp932::EqualsNoCase(part->m_folder, folder)) return part;
    for (const auto& part : m_topLevelParts)
        if (cp932::EqualsNoCase(part->m_folder, folder)) return part.get();
    return nullptr;
}

CPartObject* CMainDoc::FindPartByItem(HTREEITEM item) const {
    if (auto it = m_partMap.find(item); it != m_partMap.end()) return it->second;
    if (auto it = m_folderMap.find(item); it != m_folderMap.end()) return FindPartByFolder(it->second);
    return nullptr;
}

std::vector<rm::Ref<rm::Frame>> CMainDoc::FindFramesByGeneralName(std::string_view generalName) const {
    std::vector<rm::Ref<rm::Frame>> frames;
    for (CPartObject* part : m_allParts)
        for (const auto& color : part->ColorObjects())
            if (color->m_generalName == generalName)
                if (rm::Ref<rm::Frame> f = FindFrameByName(color->m_targetFrame, part->GetFrame()))
                    frames.push_back(std::move(f));
    return frames;
}

void CMainDoc::SetPartVisible(HTREEITEM item, int show) {
    CPartObject* part = FindPartByItem(item);
    if (!part) return;
    if (show == 1)
        part->ShowVisuals();
    else
        part->HideVisuals();
    SetModifiedFlag();
}

void CMainDoc::CheckItem(HTREEITEM item) {
    if (CPartsTree* tree = Tree()) tree->SetCheck(item, true);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
}

rm::Ref<rm::Frame> CMainDoc::GetEditTarget() {
    CPartsTree* tree = Tree();
    const HTREEITEM item = tree ? tree->GetSelectedItem() : 0;
    if (item != 0) {
        if (item == m_optionItem) return m_lpfOption;
        const bool characterChild = m_characterItem != 0 && tree->GetParentItem(item) == m_characterItem;
        if (item == m_characterItem || characterChild) {
            if (characterChild)
                if (CPartObject* part = FindPartByItem(item)) {
                    CheckItem(item);
                    part->ShowVisuals();
                    // A limb, a head or a hand turns on the part it hangs on, which is what posing
                    // is; the figure's root part stands for the whole figure.
                    if (part->GetParent() && part->GetFrame()) return rm::Ref<rm::Frame>(part->GetFrame());
                }
            return m_lpfCharRoot;
        }
        if (CPartObject* part = FindPartByItem(item)) {
            CheckItem(item);
            part->ShowVisuals();
            return rm::Ref<rm::Frame>(part->GetFrame());
        }
    }
    return m_lpfScene;
}
