// A tool-bar button with a short caption ("萬", "新", "V", "Parole"), drawn either raised with a
// soft sheen (Shine) or without a frame until the mouse is over it (Flat). The speaker buttons
// switch between the two to show which voices exist; the colour buttons paint their face in the
// colour they apply; the chosen speaker's caption takes its own colour.
#pragma once

#include <QColor>
#include <QToolButton>

namespace widgets {

class ShineButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(Style buttonStyle READ buttonStyle WRITE setButtonStyle)
    Q_PROPERTY(QColor faceColor READ faceColor WRITE setFaceColor)
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
    Q_PROPERTY(QColor hoverCaptionColor READ hoverCaptionColor WRITE setHoverCaptionColor)

public:
    enum class Style { Shine, Flat };
    Q_ENUM(Style)

    explicit ShineButton(QWidget *parent = nullptr);
    explicit ShineButton(const QString &caption, QWidget *parent = nullptr);

    Style buttonStyle() const { return m_style; }
    void setButtonStyle(Style style);

    // An invalid colour (the default) means the theme's paper face.
    QColor faceColor() const { return m_faceColor; }
    void setFaceColor(const QColor &color);

    // An invalid colour (the default) means the theme's ink.
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor &color);

    // The caption's colour while the mouse is over the button; invalid (the default) keeps
    // the caption colour.
    QColor hoverCaptionColor() const { return m_hoverCaptionColor; }
    void setHoverCaptionColor(const QColor &color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Style m_style = Style::Shine;
    QColor m_faceColor;
    QColor m_captionColor;
    QColor m_hoverCaptionColor;
};

} // namespace widgets
