#pragma once
// TMsgSCR: the poem scroll strip on the left-pane bar. A short text runs from right to left
// like a news ticker, 2 pixels per timer step; once it has run off the left edge it starts
// again at the right. Interval 0 stops it where it is.
//
// The strip draws an image of its text made off screen: as high as the strip, as wide as
// the larger of the strip and the text plus half the font's point size. Any repaint that
// the strip did not ask for itself (uncovering, a resize, a colour change) starts the text
// again from the right edge, and while stopped leaves the strip empty until it runs again.

#include "tools/ScrollStrip.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace tools {

class TMsgSCR final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Msg READ Msg WRITE setMsg)
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(bool Show READ Show WRITE setShow)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(QFont Font READ Font WRITE setStripFont)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE setFontColor)

public:
    explicit TMsgSCR(QWidget *parent = nullptr);

    // The text; line breaks in it are drawn as an ideographic space, so up to three poems
    // taken from separate lines of the left pane run one after the other. Setting it keeps
    // the scrolling position.
    QString Msg() const { return m_msg; }
    void setMsg(const QString &msg);

    // Milliseconds per step; 0 stops the motion.
    int Interval() const { return m_interval; }
    void setInterval(int ms);

    // Scrolling mode: true starts scrolling from the right edge, false stops the timer.
    bool Show() const { return m_show; }
    void setShow(bool show);

    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    // Face, size (pixels, as the program's fonts are given), style.
    QFont Font() const { return m_font; }
    void setStripFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);

    // "走" / "停": interval 0 becomes 30 and the other way round; returns the button's new
    // caption, "停" while running and "走" while stopped.
    QString toggleRunning();
    // "設": takes the left pane's selection when it is at most 125 characters (line breaks
    // not counted); the result's statusText() goes to status panel 2 either way.
    StripSelection takeSelection(const QString &selectedText);
    // "白": white letters become leftFontColor, any other colour white.
    void toggleWhite(const QColor &leftFontColor);

    // One timer step; public so that tests can drive the strip without waiting.
    void step();
    int scrollX() const { return m_scroller.x(); }
    int imageWidth() const { return m_image.width(); }
    const QImage &stripImage() const { return m_image; }
    bool timerEnabled() const { return m_timerEnabled; }
    bool isTicking() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {120, 22}; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void start();
    void rebuildImage();
    void applyTimer();
    QString drawnText() const;
    int pointSize() const;

    QString m_msg;
    int m_interval = 0;
    bool m_show = false;
    bool m_timerEnabled = false;
    bool m_stepPending = false;
    QColor m_color{Qt::black};
    QColor m_fontColor{Qt::white};
    QFont m_font;
    QImage m_image;
    QTimer m_timer;
    StripScroller m_scroller;
};

} // namespace tools
