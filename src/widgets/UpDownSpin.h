// A compact up-down number for the speech bar's repetition count. By default the number can
// only be changed with the arrows, the Up and Down keys or the wheel, never typed, so it can
// never hold a half-typed or out-of-range value; setTextEditable(true) allows typing.
#pragma once

#include <QSpinBox>

namespace widgets {

class UpDownSpin : public QSpinBox
{
    Q_OBJECT
    Q_PROPERTY(bool textEditable READ isTextEditable WRITE setTextEditable)

public:
    // The range starts as 1 to 100 with the value 1; setRange() changes it.
    explicit UpDownSpin(QWidget *parent = nullptr);

    bool isTextEditable() const;
    void setTextEditable(bool editable);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace widgets
