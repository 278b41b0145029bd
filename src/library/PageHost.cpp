#include "library/PageHost.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

CPageHost::CPageHost(QWidget* parent) : QWidget(parent), m_bar(new QScrollBar(Qt::Vertical, this)) {
    setObjectName(QStringLiteral("page138"));
    m_bar->setSingleStep(kLineStep);
    m_bar->setEnabled(false);
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) { OnAction(action); });
}

void CPageHost::ShowPage(QWidget* page) {
    if (m_page && m_page != page) m_page->hide();
    m_page = page;
    m_position = 0;
    if (!m_page) {
        m_bar->setEnabled(false);
        return;
    }
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
    if (!m_bar->isEnabled()) return;
    const int notches = event->angleDelta().y() / 120;
    for (int i = 0; i < std::abs(notches) * 3; ++i)
        m_bar->triggerAction(notches > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    event->accept();
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
        case QAbstractSlider::SliderMove: ScrollTo(m_bar->sliderPosition(), false); break;
        default: break;
    }
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
