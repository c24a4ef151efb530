// A tab on the tab bar that stands for a folded-away tool bar ("右窓", "左窓", "HTML", ...).
// Clicking the tab brings its bar back; the window does that, the tab only reports the click.
#pragma once

#include <QAbstractButton>

namespace widgets {

class TabButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit TabButton(QWidget *parent = nullptr);
    explicit TabButton(const QString &caption, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace widgets
