// A check box for the tool bars whose indicator is a lozenge (a square stood on its corner),
// filled when checked, with a short caption such as "縦" or "色" beside it. Behaves as a
// QCheckBox in every other respect: toggled and clicked signals, Space, tristate.
#pragma once

#include <QCheckBox>

namespace widgets {

class LozengeCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit LozengeCheckBox(QWidget *parent = nullptr);
    explicit LozengeCheckBox(const QString &caption, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // The whole widget, caption included, takes the click; the style's own indicator rectangle
    // does not match the lozenge we draw.
    bool hitButton(const QPoint &pos) const override;

private:
    QRectF lozengeRect() const;
};

} // namespace widgets
