#include "library/PartsTreeCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "base/Cp932.h"
#include "core/MainApp.h"

namespace {

constexpr int kHandleRole = Qt::UserRole;

// The item delegate, asked where it draws an item's check box.
class CheckBoxDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QRect CheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator)) return {};
        const QWidget* widget = opt.widget;
        const QStyle* style = widget ? widget->style() : nullptr;
        return style ? style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget) : QRect();
    }
};

QIcon IconAt(int index) {
    const QList<QIcon>& icons = GetApp()->GetIconList();
    return index >= 0 && index < icons.size() ? icons[index] : QIcon();
}

// Follows the model while it lives: the widget's own signals are not a person's doing.
struct Following {
    explicit Following(int& depth) : m_depth(depth) { ++m_depth; }
    ~Following() { --m_depth; }
    Following(const Following&) = delete;
    Following& operator=(const Following&) = delete;
    int& m_depth;
};

}  // namespace

CPartsTreeCtrl::CPartsTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("tree1001"));
    setColumnCount(1);
    header()->hide();
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new CheckBoxDelegate(this));
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) { OnItemChanged(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { OnCurrentChanged(); });
    // Whoever opens or closes a branch (a person, or the widget itself while it scrolls an item
    // into view), the model hears of it: the refresh walks the branches the model holds open.
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { OnExpandedChanged(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { OnExpandedChanged(item, false); });
}

CPartsTreeCtrl::~CPartsTreeCtrl() { Attach(nullptr); }

void CPartsTreeCtrl::Attach(CPartsTree* model) {
    if (m_model) m_model->RemoveListener(m_listener);
    m_model = model;
    m_listener = 0;
    if (m_model)
        m_listener = m_model->AddListener([this](CPartsTree::Change c, HTREEITEM item) { OnModelChange(c, item); });
    Rebuild();
}

QTreeWidgetItem* CPartsTreeCtrl::WidgetItem(HTREEITEM item) const {
    auto it = m_items.find(item);
    return it == m_items.end() ? nullptr : it->second;
}

HTREEITEM CPartsTreeCtrl::Handle(const QTreeWidgetItem* item) const {
    return item ? item->data(0, kHandleRole).value<HTREEITEM>() : 0;
}

QRect CPartsTreeCtrl::CheckBoxRect(HTREEITEM item) const {
    QTreeWidgetItem* w = WidgetItem(item);
    if (!w) return {};
    const QModelIndex index = indexFromItem(w);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return static_cast<CheckBoxDelegate*>(itemDelegate())->CheckRect(option, index);
}

void CPartsTreeCtrl::Rebuild() {
    Following follow(m_following);
    clear();
    m_items.clear();
    m_reportedSelection = 0;
    if (!m_model) return;
    // Parents before children: walk the model top-down.
    std::vector<HTREEITEM> pending(m_model->Children(TVI_ROOT).begin(), m_model->Children(TVI_ROOT).end());
    for (std::size_t i = 0; i < pending.size(); ++i) {
        MakeItem(pending[i]);
        for (HTREEITEM child : m_model->Children(pending[i])) pending.push_back(child);
    }
    for (HTREEITEM item : pending)
        if (m_model->IsExpanded(item)) WidgetItem(item)->setExpanded(true);
    ShowSelection();
    m_reportedSelection = m_model->GetSelectedItem();
}

QTreeWidgetItem* CPartsTreeCtrl::MakeItem(HTREEITEM item) {
    const HTREEITEM parent = m_model->GetParentItem(item);
    QTreeWidgetItem* parentItem = parent == TVI_ROOT ? invisibleRootItem() : WidgetItem(parent);
    if (!parentItem) return nullptr;
    const auto& siblings = m_model->Children(parent);
    const int index = static_cast<int>(std::find(siblings.begin(), siblings.end(), item) - siblings.begin());
    auto* w = new QTreeWidgetItem;
    w->setData(0, kHandleRole, QVariant::fromValue<HTREEITEM>(item));
    w->setText(0, QString::fromStdString(cp932::ToUtf8(m_model->GetItemText(item))));
    w->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    w->setCheckState(0, m_model->GetCheck(item) ? Qt::Checked : Qt::Unchecked);
    parentItem->insertChild(std::min(index, parentItem->childCount()), w);
    m_items[item] = w;
    ShowImages(item);
    return w;
}

void CPartsTreeCtrl::Forget(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) Forget(item->child(i));
    m_items.erase(Handle(item));
}

void CPartsTreeCtrl::ShowImages(HTREEITEM item) {
    QTreeWidgetItem* w = WidgetItem(item);
    int image = 0;
    int selectedImage = 0;
    if (!w || !m_model->GetItemImage(item, image, selectedImage)) return;
    w->setIcon(0, IconAt(m_model->GetSelectedItem() == item ? selectedImage : image));
}

void CPartsTreeCtrl::ShowCheck(HTREEITEM item) {
    if (QTreeWidgetItem* w = WidgetItem(item))
        w->setCheckState(0, m_model->GetCheck(item) ? Qt::Checked : Qt::Unchecked);
}

void CPartsTreeCtrl::ShowSelection() {
    QTreeWidgetItem* w = m_model ? WidgetItem(m_model->GetSelectedItem()) : nullptr;
    if (w) {
        setCurrentItem(w);
        scrollToItem(w);
    } else {
        clearSelection();
        setCurrentItem(nullptr);
    }
    for (const auto& [handle, item] : m_items) ShowImages(handle);
}

void CPartsTreeCtrl::OnModelChange(CPartsTree::Change change, HTREEITEM item) {
    Following follow(m_following);
    switch (change) {
        case CPartsTree::Change::Inserted:
            MakeItem(item);
            break;
        case CPartsTree::Change::Deleted:
            if (QTreeWidgetItem* w = WidgetItem(item)) {
                Forget(w);
                delete w;
            }
            ShowSelection();
            m_reportedSelection = m_model->GetSelectedItem();
            break;
        case CPartsTree::Change::Cleared:
            clear();
            m_items.clear();
            m_reportedSelection = 0;
            break;
        case CPartsTree::Change::Text:
            if (QTreeWidgetItem* w = WidgetItem(item))
                w->setText(0, QString::fromStdString(cp932::ToUtf8(m_model->GetItemText(item))));
            break;
        case CPartsTree::Change::Image:
            ShowImages(item);
            break;
        case CPartsTree::Change::Check:
            ShowCheck(item);
            break;
        case CPartsTree::Change::Expanded:
            if (QTreeWidgetItem* w = WidgetItem(item)) w->setExpanded(m_model->IsExpanded(item));
            break;
        case CPartsTree::Change::Selected:
            ShowSelection();
            if (const HTREEITEM selected = m_model->GetSelectedItem(); selected != m_reportedSelection) {
                m_reportedSelection = selected;
                if (onSelectionChanged) onSelectionChanged(selected);
            }
            break;
        case CPartsTree::Change::Data:
        case CPartsTree::Change::ItemHeight:
            break;
    }
}

void CPartsTreeCtrl::OnExpandedChanged(QTreeWidgetItem* item, bool expanded) {
    const HTREEITEM handle = Handle(item);
    if (m_model && m_model->Exists(handle) && m_model->IsExpanded(handle) != expanded)
        m_model->Expand(handle, expanded);
}

void CPartsTreeCtrl::OnItemChanged(QTreeWidgetItem* item) {
    if (m_following || !m_model) return;
    const HTREEITEM handle = Handle(item);
    const bool checked = item->checkState(0) == Qt::Checked;
    if (!m_model->Exists(handle) || m_model->GetCheck(handle) == checked) return;
    {
        Following follow(m_following);
        m_model->SetCheck(handle, checked);
    }
    if (onCheckToggled) onCheckToggled(handle);
}

void CPartsTreeCtrl::OnCurrentChanged() {
    if (m_following || !m_model) return;
    QTreeWidgetItem* current = currentItem();
    const HTREEITEM handle = Handle(current);
    if (handle == m_model->GetSelectedItem()) return;
    m_reportedSelection = handle;
    if (onSelectionChanged) onSelectionChanged(handle);
}

bool CPartsTreeCtrl::ToggleCheckAt(const QPoint& pos) {
    QTreeWidgetItem* item = itemAt(pos);
    if (!item || !CheckBoxRect(Handle(item)).contains(pos)) return false;
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    return true;
}

void CPartsTreeCtrl::mousePressEvent(QMouseEvent* event) {
    m_pressOnCheckBox = event->button() == Qt::LeftButton && ToggleCheckAt(event->position().toPoint());
    if (m_pressOnCheckBox) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
    // Below the last item: nothing is selected any more (the view would only take the highlight
    // away and keep its current item, which a drag in the edit view would still move).
    if (event->button() == Qt::LeftButton && !itemAt(event->position().toPoint())) SelectNothing();
}

void CPartsTreeCtrl::SelectNothing() {
    if (!m_model || m_model->GetSelectedItem() == 0) return;
    setCurrentItem(nullptr);
}

void CPartsTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    m_pressOnCheckBox = event->button() == Qt::LeftButton && ToggleCheckAt(event->position().toPoint());
    if (m_pressOnCheckBox) {
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void CPartsTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pressOnCheckBox) {
        m_pressOnCheckBox = false;
        event->accept();
    } else {
        QTreeWidget::mouseReleaseEvent(event);
    }
    if (event->button() == Qt::LeftButton && onClicked) onClicked();
}

void CPartsTreeCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        if (onDeletePressed) onDeletePressed();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
