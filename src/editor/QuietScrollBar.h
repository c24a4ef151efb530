#pragma once
// A scroll bar that repaints only when what it shows changes. An Enter in a long text grows
// the range by a line or a column, which moves nothing on the bar by a pixel; QScrollBar
// would repaint itself anyway, and in the Fusion style that costs as much as the edit. When
// the window repaints it with the text beside it, unchanged, the bar is copied from its
// last drawing.

#include <QPixmap>
#include <QScrollBar>
#include <QStyle>

namespace editor {

class QuietScrollBar final : public QScrollBar
{
public:
    explicit QuietScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // What a paint shows: where the handle stands, and whether the bar is at either end
    // (which the style may show on its arrows).
    struct Shown
    {
        QRect handle;
        bool atStart = false;
        bool atEnd = false;
        bool operator==(const Shown &) const = default;
    };
    Shown shown() const;
    Shown m_painted;
    bool m_everPainted = false;

    // The last drawing, and what it was drawn for.
    struct Drawn
    {
        Shown shown;
        QSize size;
        qreal ratio = 0;
        QStyle::State state;
        qint64 palette = 0;
        const QStyle *style = nullptr;
        bool operator==(const Drawn &) const = default;
    };
    QPixmap m_drawing;
    Drawn m_drawn;
};

} // namespace editor
