// The narrow grip at the left end of a tool bar. Clicking it folds the bar away into a tab on
// the tab bar; the widget only reports the click, the window does the folding.
#pragma once

#include <QWidget>

namespace widgets {

class GripImage : public QWidget
{
    Q_OBJECT

public:
    explicit GripImage(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A left button pressed and released inside the grip. Releasing outside cancels, as with
    // any button.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace widgets
