#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QFrame;
class QToolButton;

namespace shell {

// A tool bar: its controls sit on a content strip that keeps its natural width, so a
// narrow window never squeezes buttons over one another (and the bar never grows the
// window). When the strip is wider than the bar, a "»" button at the right edge opens a
// panel that holds the controls cut off, in rows as wide as the bar, so every control stays
// reachable; closing the panel puts them back in their places.
class ToolStrip final : public QWidget
{
    Q_OBJECT
public:
    explicit ToolStrip(QWidget *parent = nullptr);
    ~ToolStrip() override;
    QWidget *content() const { return m_content; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    // The overflow button, shown only while controls are cut off.
    QToolButton *overflowButton() const { return m_more; }
    // The panel while it is open, else null.
    QWidget *overflowPanel() const;
    // Controls (in their order) that the bar's width cuts off, wholly or in part.
    QList<QWidget *> cutOffControls() const;
    void showOverflow();

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    struct Moved
    {
        QWidget *control;
        int index;
    };
    void placeOverflowButton();
    void restoreControls();

    QWidget *m_content;
    QToolButton *m_more;
    QPointer<QFrame> m_panel;
    QList<Moved> m_moved;
};

} // namespace shell
