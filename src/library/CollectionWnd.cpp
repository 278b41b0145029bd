#include "library/CollectionWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <optional>

#include "core/MainApp.h"
#include "library/CollectionList.h"
#include "library/DragCursors.h"
#include "library/PageHost.h"
#include "platform/surface/DirectDraw.h"
#include "platform/surface/SurfaceImage.h"
#include "scene/DefinitionText.h"
#include "scene/MainDoc.h"
#include "view/WaitCursor.h"

const win::MessageMapEntry<CCollectionWnd> CCollectionWnd::kMessageMap[1] = {
    {win::WM_TREE_SELECTION_CHANGED, &CCollectionWnd::OnTreeSelection},
};

CCollectionWnd::CCollectionWnd(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("collection133"));
    setFocusPolicy(Qt::StrongFocus);
    GetApp()->m_pCollectionWnd = this;
}

CCollectionWnd::~CCollectionWnd() {
    EndDrag();
    if (GetApp()->m_pCollectionWnd == this) GetApp()->m_pCollectionWnd = nullptr;
}

bool CCollectionWnd::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

CCommunicator* CCollectionWnd::Archive() const {
    CMainDoc* doc = GetApp()->m_pDocument;
    return doc ? &doc->Archive() : nullptr;
}

namespace {

// The list a tree item shows: its folder, and the part path of the entry in use there.
struct ItemList {
    std::string folder;
    std::string inUse;
};

// A figure's item lists the pose sets of the archive root, with the one the figure holds; a
// category lists its folder, with its part's file; an item added under an "ADD" entry (a prop)
// has no folder of its own and lists its entry's, with its own file, so that another can be added
// from there. An item whose part is still loading stands for `applying`, the entry being applied.
// Other items have no list.
std::optional<ItemList> ListOfItem(const CMainDoc& doc, HTREEITEM item, const std::string& applying) {
    if (item == 0) return std::nullopt;
    if (const scene::Figure* figure = doc.FigureOfItem(item); figure && figure->item == item)
        return ItemList{"", figure->poseSetPath};
    const CPartObject* part = doc.FindPartByItem(item);
    const std::string partPath = part ? part->m_definitionPath : applying;
    if (auto it = doc.FolderMap().find(item); it != doc.FolderMap().end())
        return ItemList{it->second, partPath};
    const CPartsTree* tree = doc.Tree();
    if (!tree) return std::nullopt;
    const HTREEITEM parent = tree->GetParentItem(item);
    const auto flags = doc.FlagsMap().find(parent);
    const auto folder = doc.FolderMap().find(parent);
    if (flags == doc.FlagsMap().end() || !scene::FlagsAddParts(flags->second) ||
        folder == doc.FolderMap().end())
        return std::nullopt;
    return ItemList{folder->second, partPath};
}

}  // namespace

win::LRESULT CCollectionWnd::OnTreeSelection(win::WPARAM wParam, win::LPARAM) {
    const auto item = static_cast<HTREEITEM>(wParam);
    m_selection = 0;
    if (const CMainDoc* doc = GetApp()->m_pDocument)
        if (const std::optional<ItemList> list = ListOfItem(*doc, item, m_applying)) {
            // The list shown already (a prop and its "ADD" entry share one): only the entry in use
            // changes, and no thumbnail is decoded again.
            if (list->folder == m_folder && !m_entries.empty()) {
                m_selection = collection::EntryInUse(m_entries, list->inUse);
                repaint();
                return 0;
            }
            if (LoadCollection(list->folder, list->inUse)) return 0;
        }
    // No list: nothing is left to apply, and the window shrinks to a line.
    ReleaseList();
    resize(width(), 1);
    return -1;
}

bool CCollectionWnd::LoadCollection(const std::string& folder, std::string_view inUse) {
    m_folder = folder;
    ReleaseList();
    CCommunicator* archive = Archive();
    if (!archive) return false;
    m_entries = collection::ReadPartList(*archive, folder);
    if (m_entries.empty()) return false;
    m_selection = collection::EntryInUse(m_entries, inUse);
    m_loaded = true;
    // Drawn at the window's width before the height changes, so that the resize finds the list
    // image up to date and does not decode every thumbnail a second time.
    BuildListImage();
    resize(width(), collection::WindowHeight(m_entries.size()));
    repaint();
    return true;
}

void CCollectionWnd::ReleaseList() {
    EndDrag();
    m_entries.clear();
    m_selection = 0;
    m_listImage = {};
    m_listPicture = QImage();
    update();
}

void CCollectionWnd::BuildListImage() {
    m_listImage = {};
    m_listPicture = QImage();
    const surface::DirectDraw* directDraw = GetApp()->m_lpDD;
    CCommunicator* archive = Archive();
    if (!directDraw || !archive || m_entries.empty()) return;
    m_listImage = collection::BuildListImage(*directDraw, *archive, m_entries, width());
    if (m_listImage) m_listPicture = surface::ToImage(*m_listImage);
}

void CCollectionWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The texts run to the right edge: a new width draws the list again.
    if (m_loaded && !m_entries.empty() && collection::ImageWidth(width()) != m_listPicture.width()) BuildListImage();
}

void CCollectionWnd::paintEvent(QPaintEvent*) {
    if (m_listPicture.isNull()) return;
    QPainter painter(this);
    // The list image covers all but the top rows and a strip on the right and at the bottom.
    const QRect covered(0, collection::kTopMargin, m_listPicture.width(), m_listPicture.height());
    for (const QRect& edge : QRegion(rect()).subtracted(covered))
        painter.fillRect(edge, palette().color(QPalette::Window));
    collection::PaintList(painter, m_listPicture, m_entries.empty() ? -1 : m_selection);
}

void CCollectionWnd::SetSelection(int index) {
    if (m_entries.empty()) return;
    index = std::clamp(index, 0, static_cast<int>(m_entries.size()) - 1);
    if (index == m_selection) return;
    m_selection = index;
    repaint();
    ScrollSelectionIntoView();
}

void CCollectionWnd::ScrollSelectionIntoView() {
    if (auto* host = dynamic_cast<CPageHost*>(parentWidget()); host && host->CurrentPage() == this)
        host->EnsureVisible(collection::kRowHeight * m_selection + collection::kTopMargin, collection::kRowHeight + 1);
}

void CCollectionWnd::ApplySelected() {
    CMainDoc* doc = GetApp()->m_pDocument;
    if (m_entries.empty() || !doc) return;
    // The document's work may replace this list (a new tree selection): keep the entry.
    const scene::PartListEntry entry = m_entries[static_cast<std::size_t>(m_selection)];
    CWaitCursor wait;
    // The item the document adds for the entry is selected before its part has loaded.
    const QScopedValueRollback<std::string> applying(m_applying, entry.partPath);
    doc->ApplySelection(entry.partPath, entry.name);
}

void CCollectionWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int y = event->position().toPoint().y();
    if (y <= collection::kTopMargin) return;
    m_dragging = true;
    m_cursorShown = 0;
    const int hit = collection::EntryAt(y, m_entries.size());
    if (hit >= 0 && hit != m_selection) {
        m_selection = hit;
        repaint();
    }
}

bool CCollectionWnd::OverEditView(const QPoint& global) const {
    const auto* view = qobject_cast<const QWidget*>(GetApp()->m_p3DView);
    return view && view->isVisible() && QRect(view->mapToGlobal(QPoint(0, 0)), view->size()).contains(global, true);
}

void CCollectionWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint global = event->globalPosition().toPoint();
    const bool overSelf = QRect(mapToGlobal(QPoint(0, 0)), size()).contains(global, true);
    SetDragCursor(overSelf || OverEditView(global) ? kDropHereCursor : kNoDropCursor);
}

void CCollectionWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton) return;
    EndDrag();
    if (OverEditView(event->globalPosition().toPoint())) ApplySelected();
}

void CCollectionWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    EndDrag();
    ApplySelected();
}

void CCollectionWnd::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(m_entries.size());
    const int rowsPerPage = std::max(1, (parentWidget() ? parentWidget()->height() : height()) / collection::kRowHeight);
    switch (event->key()) {
        case Qt::Key_Up: SetSelection(m_selection - 1); break;
        case Qt::Key_Down: SetSelection(m_selection + 1); break;
        case Qt::Key_PageUp: SetSelection(m_selection - rowsPerPage); break;
        case Qt::Key_PageDown: SetSelection(m_selection + rowsPerPage); break;
        case Qt::Key_Home: SetSelection(0); break;
        case Qt::Key_End: SetSelection(count - 1); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: ApplySelected(); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void CCollectionWnd::SetDragCursor(int cursor) {
    if (cursor == m_cursorShown) return;
    const QCursor shape = cursor == kDropHereCursor ? collection::DropHereCursor() : collection::NoDropCursor();
    if (m_cursorShown == 0)
        QApplication::setOverrideCursor(shape);
    else
        QApplication::changeOverrideCursor(shape);
    m_cursorShown = cursor;
}

void CCollectionWnd::EndDrag() {
    if (m_cursorShown != 0 && QApplication::instance()) QApplication::restoreOverrideCursor();
    m_cursorShown = 0;
    m_dragging = false;
}
