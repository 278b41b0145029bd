// Mirror posing from the edit view: the selected figure part and the parts below it onto their
// partners on the other side, or the two sides swapped, as one undo step.

#include <algorithm>

#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "scene/MainDoc.h"
#include "scene/PartMirror.h"
#include "view/3DView.h"
#include "view/FramePlacement.h"

CPartObject* C3DView::SelectedFigurePart() const {
    const CPartsTree* tree = Tree();
    if (!m_document || !tree) return nullptr;
    const HTREEITEM selected = tree->GetSelectedItem();
    if (selected == 0) return nullptr;
    if (CPartObject* part = m_document->FindPartByItem(selected)) return part;
    // A figure's item stands for the whole figure: its root part.
    if (const scene::Figure* figure = m_document->FigureOfItem(selected); figure && figure->item == selected)
        return m_document->FigureRootPart(*figure);
    return nullptr;
}

bool C3DView::CanMirrorSelectedPart() const {
    CPartObject* part = SelectedFigurePart();
    return part && !scene::PlanMirror(*part, scene::MirrorKind::SwapSides).empty();
}

bool C3DView::MirrorSelectedPart(bool swapSides) {
    rm::Library* library = GetApp()->m_lpD3DRM;
    CPartObject* part = SelectedFigurePart();
    if (m_dragging || !library || !part) return false;
    const std::vector<scene::MirrorAssignment> plan =
        scene::PlanMirror(*part, swapSides ? scene::MirrorKind::SwapSides : scene::MirrorKind::CopyToOtherSide);
    if (plan.empty()) return false;
    UndoStep step;
    for (const scene::MirrorAssignment& a : plan)
        if (a.target->GetFrame()) step.push_back(FramePlacementRecord::Capture(*library, *a.target->GetFrame()));
    scene::ApplyMirror(plan);
    m_history.Push(std::move(step));
    PostRefresh();
    return true;
}
