#include "widgets/UpDownSpin.h"

#include "widgets/Theme.h"

#include <QLineEdit>

namespace widgets {

UpDownSpin::UpDownSpin(QWidget *parent) : QSpinBox(parent)
{
    setRange(1, 100);
    setValue(1);
    setAlignment(Qt::AlignCenter);
    setAccelerated(true);
    setFocusPolicy(Qt::TabFocus);
    setTextEditable(false);
}

bool UpDownSpin::isTextEditable() const
{
    return !lineEdit()->isReadOnly();
}

void UpDownSpin::setTextEditable(bool editable)
{
    // Only the text field becomes read-only; QSpinBox::setReadOnly() would stop the arrows too.
    lineEdit()->setReadOnly(!editable);
}

QSize UpDownSpin::sizeHint() const
{
    // Wide enough for the largest value and the arrows, no wider: the bar has little room.
    const QSize base = QSpinBox::sizeHint();
    return QSize(base.width(), qMin(base.height(), 24));
}

QSize UpDownSpin::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace widgets
