#include "library/PageHost.h"

#include <QAbstractSpinBox>
#include <QChildEvent>
#include <QComboBox>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

namespace {

// The controls whose value a wheel turns: a scroll bar scrolls what it belongs to and is not one.
bool WheelTurnsValue(const QObject* object) {
    if (qobject_cast<const QScrollBar*>(object)) return false;
    return qobject_cast<const QAbstractSlider*>(object) || qobject_cast<const QComboBox*>(object) ||
           qobject_cast<const QAbstractSpinBox*>(object);
}

}  // namespace

CPageHost::CPageHost(QWidget* parent) : QWidget(parent), m_bar(new QScrollBar(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("page138"));
    m_bar->setSingleStep(kLineStep);
    m_bar->setEnabled(false);
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) { OnAction(action); });
    // The bar's context menu places the thumb with setValue ("scroll here"), without an action.
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) { OnValueChanged(value); });
}

void CPageHost::ShowPage(QWidget* page) {
    if (m_page && m_page != page) m_page->hide();
    m_page = page;
    m_position = 0;
    m_wheelRemainder = 0;
    if (!m_page) {
        m_bar->setEnabled(false);
        return;
    }
    Watch(m_page);
    m_page->setGeometry(0, 0, width() - kScrollBarWidth - 1, m_page->height());
    m_page->show();
    const int pageHeight = m_page->height();
    const QSignalBlocker quiet(m_bar);
    if (pageHeight < height()) {
        m_bar->setRange(0, 0);
        m_bar->setEnabled(false);
    } else {
        m_bar->setEnabled(true);
        m_bar->setRange(0, pageHeight - height());
        m_bar->setPageStep(height());
        m_bar->setValue(0);
    }
}

void CPageHost::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_bar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    ShowPage(m_page);
}

void CPageHost::wheelEvent(QWheelEvent* event) {
    ScrollByWheel(*event);
    event->accept();
}

void CPageHost::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    // The pages, as they are made (the host's own scroll bar too, which the wheel never turns).
    if (event->added()) Watch(event->child());
}

void CPageHost::Watch(QObject* object) {
    if (!object->isWidgetType()) return;
    // Installing again replaces the earlier installation: a page shown twice is watched once.
    object->installEventFilter(this);
    for (QObject* child : object->children()) Watch(child);
}

bool CPageHost::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        // Controls a page makes later (a list's drop-down, for one) are watched as well.
        Watch(static_cast<QChildEvent*>(event)->child());
    } else if (event->type() == QEvent::Wheel && WheelTurnsValue(watched) &&
               !static_cast<QWidget*>(watched)->hasFocus()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        ScrollByWheel(*wheel);
        wheel->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CPageHost::ScrollByWheel(const QWheelEvent& event) {
    if (!m_bar->isEnabled()) return;
    const int delta = event.angleDelta().y();
    if (delta == 0) return;
    // A turn the other way starts afresh; the steps of one direction add up to notches.
    if ((delta > 0) != (m_wheelRemainder > 0)) m_wheelRemainder = 0;
    m_wheelRemainder += delta;
    const int notches = m_wheelRemainder / kNotch;
    m_wheelRemainder -= notches * kNotch;
    const auto action =
        notches > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < std::abs(notches) * kLinesPerNotch; ++i) m_bar->triggerAction(action);
}

void CPageHost::EnsureVisible(int top, int bandHeight) {
    if (!m_page || !m_bar->isEnabled()) return;
    if (top < m_position)
        ScrollTo(top, true);
    else if (top + bandHeight > m_position + height())
        ScrollTo(top + bandHeight - height(), true);
}

void CPageHost::OnAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: ScrollTo(m_position - kLineStep, true); break;
        case QAbstractSlider::SliderSingleStepAdd: ScrollTo(m_position + kLineStep, true); break;
        case QAbstractSlider::SliderPageStepSub: ScrollTo(m_position - height(), true); break;
        case QAbstractSlider::SliderPageStepAdd: ScrollTo(m_position + height(), true); break;
        case QAbstractSlider::SliderToMinimum: ScrollTo(0, true); break;
        case QAbstractSlider::SliderToMaximum: ScrollTo(m_bar->maximum(), true); break;
        case QAbstractSlider::SliderMove: ScrollTo(m_bar->sliderPosition(), false); break;
        default: break;
    }
}

void CPageHost::OnValueChanged(int value) {
    // Every way above has placed the page already; only a value set from outside is left.
    if (value != m_position) ScrollTo(value, false);
}

void CPageHost::ScrollTo(int position, bool stopAtEnds) {
    if (!m_page) return;
    const int last = m_page->height() - height();
    int top = -position;
    if (stopAtEnds && position <= 0) {
        position = 0;
        top = 0;
    } else if (stopAtEnds && position >= last) {
        position = last;
        top = height() - m_page->height() - 1;
    }
    m_position = position;
    m_bar->setSliderPosition(position);
    m_page->move(0, top);
}
