// The text of the "Loading..." splash: one line drawn at a slant over a soft shadow, as if a
// card had been laid on the page. The text is centred on the widget and turned about its
// centre; sizeHint() is the turned text's bounds, shadow included.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace widgets {

class SplashLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(qreal angle READ angle WRITE setAngle)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(QPoint shadowOffset READ shadowOffset WRITE setShadowOffset)
    Q_PROPERTY(int shadowBlur READ shadowBlur WRITE setShadowBlur)

public:
    static constexpr qreal DefaultAngle = -8.0;

    explicit SplashLabel(QWidget *parent = nullptr);
    explicit SplashLabel(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    // Degrees, clockwise on screen as QPainter::rotate() turns; negative values lift the
    // end of the line.
    qreal angle() const { return m_angle; }
    void setAngle(qreal degrees);

    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);

    // The shadow's colour including its alpha; a transparent colour draws no shadow.
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);

    QPoint shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(const QPoint &offset);

    // Radius in pixels of the blur that softens the shadow's edge; 0 gives a hard shadow.
    int shadowBlur() const { return m_shadowBlur; }
    void setShadowBlur(int radius);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void invalidate();
    QImage shadowImage() const;

    QString m_text;
    qreal m_angle = DefaultAngle;
    QColor m_textColor;
    QColor m_shadowColor;
    QPoint m_shadowOffset{3, 4};
    int m_shadowBlur = 3;
    mutable QImage m_shadowCache;
};

} // namespace widgets
