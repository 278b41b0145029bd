// The figures of the scene: finding a figure from a tree item, a part or a frame, and making one.

#include <algorithm>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "scene/MainDoc.h"

const std::string& CMainDoc::GetPoseSetPath() const {
    static const std::string kNone;
    return m_figures.empty() ? kNone : m_figures.front()->poseSetPath;
}

scene::Figure* CMainDoc::FigureNumbered(int number) const {
    for (const auto& figure : m_figures)
        if (figure->number == number) return figure.get();
    return nullptr;
}

scene::Figure* CMainDoc::FigureOfItem(HTREEITEM item) const {
    const CPartsTree* tree = Tree();
    for (HTREEITEM at = item; at != 0 && at != TVI_ROOT; at = tree ? tree->GetParentItem(at) : 0)
        for (const auto& figure : m_figures)
            if (figure->item != 0 && figure->item == at) return figure.get();
    return nullptr;
}

scene::Figure* CMainDoc::FigureOfPart(const CPartObject& part) const {
    return part.m_figure == 0 ? nullptr : FigureNumbered(part.m_figure);
}

scene::Figure* CMainDoc::FigureWithRoot(const rm::Frame* frame) const {
    for (const auto& figure : m_figures)
        if (frame && figure->root.Get() == frame) return figure.get();
    return nullptr;
}

CPartObject* CMainDoc::FigureRootPart(const scene::Figure& figure) const {
    for (const auto& part : m_topLevelParts)
        if (part->m_figure == figure.number) return part.get();
    return nullptr;
}

void CMainDoc::DropFigures() {
    for (const auto& figure : m_figures)
        if (figure->root)
            if (rm::Frame* parent = figure->root->Parent()) parent->DeleteChild(figure->root.Get());
    m_figures.clear();
}

scene::Figure& CMainDoc::AddFigure(int number) {
    auto figure = std::make_unique<scene::Figure>();
    figure->number = number;
    if (rm::Library* library = GetApp()->m_lpD3DRM; library && m_lpfScene) {
        figure->root = library->CreateFrame(m_lpfScene.Get());
        figure->root->SetName(scene::FigureRootName(number));
        figure->root->SetPosition(nullptr, 0, 0, kFigureDistance);
    }
    const auto at = std::find_if(m_figures.begin(), m_figures.end(),
                                 [number](const auto& f) { return f->number > number; });
    return **m_figures.insert(at, std::move(figure));
}
