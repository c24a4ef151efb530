#pragma once

// The speaking mouth on the "Speech" bar: lips that open with the loudness of what the
// speech control plays, closed while it is silent. It shows and hides with the control
// ("Show(&W)", ShowCheckBox).

#include <QWidget>

namespace speech {

class TDirectSS;

class Mouth : public QWidget
{
    Q_OBJECT

public:
    explicit Mouth(TDirectSS &engine, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {28, 22}; }
    // 0 closed to 1 fully open.
    double opening() const { return m_opening; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setOpening(double opening);

    double m_opening = 0;
};

} // namespace speech
