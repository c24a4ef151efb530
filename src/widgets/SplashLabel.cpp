#include "widgets/SplashLabel.h"

#include "widgets/Theme.h"

#include <QEvent>
#include <QtMath>

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <vector>

namespace widgets {

namespace {

// Box blur of the alpha channel, run three times: close enough to a Gaussian for a shadow,
// and it needs nothing outside QtGui. Only coverage survives; the caller tints the result.
void blurAlpha(QImage &image, int radius)
{
    if (radius <= 0 || image.isNull())
        return;
    const int w = image.width();
    const int h = image.height();
    const int window = 2 * radius + 1;
    std::vector<int> alpha(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            alpha[static_cast<size_t>(y * w + x)] = qAlpha(line[x]);
    }
    std::vector<int> scratch(alpha.size());
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int length = horizontal ? w : h;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> size_t {
                const int c = std::clamp(i, 0, length - 1);
                return static_cast<size_t>(horizontal ? l * w + c : c * w + l);
            };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += alpha[at(i)];
            for (int i = 0; i < length; ++i) {
                scratch[at(i)] = sum / window;
                sum += alpha[at(i + radius + 1)] - alpha[at(i - radius)];
            }
        }
        alpha.swap(scratch);
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }

    for (int y = 0; y < h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(0, 0, 0, alpha[static_cast<size_t>(y * w + x)]);
    }
}

} // namespace

SplashLabel::SplashLabel(QWidget *parent) : SplashLabel(QString(), parent) {}

SplashLabel::SplashLabel(const QString &text, QWidget *parent)
    : QWidget(parent), m_text(text), m_textColor(theme::ink()), m_shadowColor(0, 0, 0, 70)
{
}

void SplashLabel::setText(const QString &text)
{
    m_text = text;
    invalidate();
}

void SplashLabel::setAngle(qreal degrees)
{
    m_angle = degrees;
    invalidate();
}

void SplashLabel::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

void SplashLabel::setShadowColor(const QColor &color)
{
    m_shadowColor = color;
    invalidate();
}

void SplashLabel::setShadowOffset(const QPoint &offset)
{
    m_shadowOffset = offset;
    invalidate();
}

void SplashLabel::setShadowBlur(int radius)
{
    m_shadowBlur = qMax(0, radius);
    invalidate();
}

void SplashLabel::invalidate()
{
    m_shadowCache = QImage();
    updateGeometry();
    update();
}

void SplashLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        invalidate();
    QWidget::changeEvent(event);
}

QSize SplashLabel::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const QRectF plain(0, 0, fm.horizontalAdvance(m_text), fm.height());
    QTransform turn;
    turn.rotate(m_angle);
    const QRectF turned = turn.mapRect(plain.translated(-plain.center()));
    const int spread = 2 * m_shadowBlur + 2;
    return QSize(qCeil(turned.width()) + qAbs(m_shadowOffset.x()) + 2 * spread,
                 qCeil(turned.height()) + qAbs(m_shadowOffset.y()) + 2 * spread);
}

QImage SplashLabel::shadowImage() const
{
    // The blurred shadow is costly to compute and depends only on the size, the text, the font
    // and the shadow's own properties; a repaint from an expose event reuses it.
    if (!m_shadowCache.isNull() && m_shadowCache.size() == size())
        return m_shadowCache;

    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.translate(QPointF(width() / 2.0, height() / 2.0) + m_shadowOffset);
        p.rotate(m_angle);
        p.setFont(font());
        p.setPen(Qt::black);
        const QRectF box(-width(), -height(), 2.0 * width(), 2.0 * height());
        p.drawText(box, Qt::AlignCenter, m_text);
    }
    blurAlpha(image, m_shadowBlur);
    {
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(image.rect(), m_shadowColor);
    }
    m_shadowCache = image;
    return m_shadowCache;
}

void SplashLabel::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    if (m_shadowColor.alpha() > 0)
        p.drawImage(0, 0, shadowImage());

    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(m_angle);
    p.setFont(font());
    p.setPen(m_textColor);
    const QRectF box(-width(), -height(), 2.0 * width(), 2.0 * height());
    p.drawText(box, Qt::AlignCenter, m_text);
}

} // namespace widgets
