#include "shell/ToolStrip.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

namespace shell {

ToolStrip::ToolStrip(QWidget *parent)
    : QWidget(parent), m_content(new QWidget(this)), m_more(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(m_content);
    layout->setContentsMargins(1, 1, 4, 1);
    layout->setSpacing(1);
    m_more->setObjectName(QStringLiteral("overflow"));
    m_more->setText(QStringLiteral("»"));
    m_more->setToolTip(QStringLiteral("入りきらないボタン"));
    m_more->setStatusTip(m_more->toolTip());
    m_more->setAutoRaise(true);
    m_more->setAutoFillBackground(true);
    m_more->hide();
    connect(m_more, &QToolButton::clicked, this, &ToolStrip::showOverflow);
    m_content->installEventFilter(this);
}

ToolStrip::~ToolStrip()
{
    // The panel is a top-level window holding controls of this bar: give them back first.
    restoreControls();
    delete m_panel;
}

QWidget *ToolStrip::overflowPanel() const
{
    return m_panel.data();
}

QSize ToolStrip::minimumSizeHint() const
{
    return {0, height()};
}

QSize ToolStrip::sizeHint() const
{
    return {m_content->sizeHint().width(), height()};
}

void ToolStrip::resizeEvent(QResizeEvent *)
{
    m_content->setGeometry(0, 0, qMax(width(), m_content->sizeHint().width()), height());
    placeOverflowButton();
}

bool ToolStrip::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_content && e->type() == QEvent::LayoutRequest)
        placeOverflowButton();
    if (watched == m_panel && e->type() == QEvent::Hide) {
        restoreControls();
        m_panel->deleteLater();
        m_panel = nullptr;
    }
    return QWidget::eventFilter(watched, e);
}

void ToolStrip::placeOverflowButton()
{
    if (!m_moved.isEmpty())
        return; // the panel is open; the strip is short of those controls meanwhile
    const bool cut = m_content->sizeHint().width() > width();
    if (cut) {
        m_more->setFixedSize(16, height());
        m_more->move(width() - m_more->width(), 0);
        m_more->raise();
    }
    m_more->setVisible(cut);
}

QList<QWidget *> ToolStrip::cutOffControls() const
{
    QList<QWidget *> cut;
    if (m_content->sizeHint().width() <= width())
        return cut;
    m_content->layout()->activate();
    const int limit = width() - m_more->width();
    QLayout *layout = m_content->layout();
    for (int i = 0; i < layout->count(); ++i) {
        QWidget *control = layout->itemAt(i)->widget();
        if (control && !control->isHidden() && control->geometry().right() >= limit)
            cut << control;
    }
    return cut;
}

void ToolStrip::showOverflow()
{
    if (m_panel)
        return;
    const QList<QWidget *> cut = cutOffControls();
    if (cut.isEmpty())
        return;
    auto *layout = static_cast<QBoxLayout *>(m_content->layout());
    for (QWidget *control : cut)
        m_moved << Moved{control, layout->indexOf(control)};

    m_panel = new QFrame(this, Qt::Popup);
    m_panel->setObjectName(objectName() + QStringLiteral("Overflow"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    auto *rows = new QVBoxLayout(m_panel);
    rows->setContentsMargins(3, 3, 3, 3);
    rows->setSpacing(2);
    // Rows as wide as the bar (at least 200 px), filled in the bar's order.
    const int rowWidth = qMax(200, width());
    QHBoxLayout *row = nullptr;
    int used = 0;
    for (const Moved &moved : std::as_const(m_moved)) {
        const int w = moved.control->sizeHint().expandedTo(moved.control->minimumSize()).width();
        if (!row || used + w > rowWidth) {
            row = new QHBoxLayout;
            row->setSpacing(1);
            rows->addLayout(row);
            used = 0;
        }
        layout->removeWidget(moved.control);
        moved.control->setParent(m_panel);
        row->addWidget(moved.control, 0, Qt::AlignVCenter);
        moved.control->show();
        used += w + 1;
    }
    for (int i = 0; i < rows->count(); ++i)
        static_cast<QHBoxLayout *>(rows->itemAt(i)->layout())->addStretch(1);
    m_panel->installEventFilter(this);
    m_panel->adjustSize();

    // Below the bar, right-aligned with it, kept on the screen.
    QPoint at = mapToGlobal(QPoint(width() - m_panel->width(), height()));
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - m_panel->width())));
        if (at.y() + m_panel->height() > area.bottom())
            at.setY(qMax(area.top(), mapToGlobal(QPoint(0, 0)).y() - m_panel->height()));
    }
    m_panel->move(at);
    m_panel->show();
}

void ToolStrip::restoreControls()
{
    if (m_moved.isEmpty())
        return;
    auto *layout = static_cast<QBoxLayout *>(m_content->layout());
    // Ascending indexes put each control back where it stood.
    for (const Moved &moved : std::as_const(m_moved)) {
        moved.control->setParent(m_content);
        layout->insertWidget(moved.index, moved.control, 0, Qt::AlignVCenter);
        moved.control->show();
    }
    m_moved.clear();
    placeOverflowButton();
}

} // namespace shell
