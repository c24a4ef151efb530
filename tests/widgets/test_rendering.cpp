// The pictures carry meaning: a colour button must show its colour, a checked lozenge must look
// checked, a flat button must vanish into the bar until pointed at, the clock must carry the
// pane's colours. These read pixels of grabbed widgets rather than compare whole images, so
// anti-aliasing or font changes do not break them.
#include "widgets/ClockLabel.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/ShineButton.h"
#include "widgets/SplashLabel.h"
#include "widgets/TabButton.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace widgets;

namespace {

QImage render(QWidget &w, QSize size = {})
{
    w.resize(size.isValid() ? size : w.sizeHint());
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, Qt::white);
    w.setPalette(pal);
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int colourDistance(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// How many pixels lie within `tolerance` of `colour`.
int countNear(const QImage &image, QColor colour, int tolerance)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (colourDistance(image.pixelColor(x, y), colour) <= tolerance)
                ++n;
    return n;
}

int countDifferent(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < qMin(a.height(), b.height()); ++y)
        for (int x = 0; x < qMin(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++n;
    return n;
}

} // namespace

TEST(Rendering, ColourButtonShowsItsColour)
{
    // The twelve colour buttons have no caption; the face is all the user sees.
    const QColor colours[] = {{194, 72, 37}, {162, 162, 255}, {231, 218, 67}, {63, 111, 55}};
    for (const QColor &c : colours) {
        ShineButton button;
        button.setFaceColor(c);
        const QImage image = render(button);
        // The sheen and gradient shift the colour a little; the middle of the lower half is
        // closest to the face itself.
        const QColor middle = image.pixelColor(image.width() / 2, image.height() * 2 / 3);
        EXPECT_LT(colourDistance(middle, c), 60)
            << c.name().toStdString() << " drawn as " << middle.name().toStdString();
    }
}

TEST(Rendering, FlatButtonHasNoFrameUntilPointedAt)
{
    ShineButton flat(QString{});
    flat.setButtonStyle(ShineButton::Style::Flat);
    const QImage image = render(flat);
    EXPECT_EQ(countNear(image, Qt::white, 0), image.width() * image.height());

    ShineButton shine(QString{});
    const QImage raised = render(shine);
    EXPECT_GT(countDifferent(image, raised), raised.width() * raised.height() / 2);
}

TEST(Rendering, CheckedButtonLooksDifferent)
{
    ShineButton button(QStringLiteral("V"));
    button.setCheckable(true);
    const QImage off = render(button);
    button.setChecked(true);
    const QImage on = render(button);
    EXPECT_GT(countDifferent(off, on), 50);
}

TEST(Rendering, CaptionColourIsUsed)
{
    // The chosen speaker's caption turns orange.
    const QColor chosen(255, 128, 0);
    ShineButton button(QStringLiteral("N"));
    button.setFont(QFont(button.font().family(), 20, QFont::Bold));
    EXPECT_EQ(countNear(render(button), chosen, 40), 0);
    button.setCaptionColor(chosen);
    EXPECT_GT(countNear(render(button), chosen, 40), 5);
}

TEST(Rendering, CheckedLozengeIsFilled)
{
    LozengeCheckBox box(QStringLiteral("縦"));
    const QImage off = render(box);
    box.setChecked(true);
    const QImage on = render(box);
    // Only the lozenge changes: the caption half of the picture stays the same.
    const int centreY = on.height() / 2;
    EXPECT_GT(colourDistance(on.pixelColor(9, centreY), off.pixelColor(9, centreY)), 150);
    const QImage captionOff = off.copy(20, 0, off.width() - 20, off.height());
    const QImage captionOn = on.copy(20, 0, on.width() - 20, on.height());
    EXPECT_EQ(countDifferent(captionOff, captionOn), 0);
}

TEST(Rendering, ClockPaintsThePaneColours)
{
    const QColor text(Qt::white);
    const QColor background(20, 40, 90);
    ClockLabel clock;
    clock.setInterval(0);
    clock.setColors(text, background);
    const QImage image = render(clock);
    EXPECT_EQ(image.pixelColor(image.width() / 2, 2), background);
    EXPECT_GT(countNear(image, text, 30), 10);
}

TEST(Rendering, SplashTextIsTurnedAndShadowed)
{
    SplashLabel label(QStringLiteral("Now Loading..."));
    QFont font = label.font();
    font.setPixelSize(33);
    label.setFont(font);
    label.setTextColor(QColor(86, 101, 133));

    label.setAngle(0);
    const QSize level = label.sizeHint();
    label.setAngle(-8);
    const QSize turned = label.sizeHint();
    EXPECT_GT(turned.height(), level.height() + 10);

    // With a slant that lifts the end, the text's ink sits lower on the left than on the right.
    label.setShadowColor(Qt::transparent);
    const QImage image = render(label);
    auto inkRowCentre = [&](int x0, int x1) {
        long sum = 0;
        long n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (colourDistance(image.pixelColor(x, y), QColor(86, 101, 133)) < 90) {
                    sum += y;
                    ++n;
                }
        return n ? double(sum) / double(n) : -1.0;
    };
    const double left = inkRowCentre(0, image.width() / 3);
    const double right = inkRowCentre(2 * image.width() / 3, image.width());
    ASSERT_GE(left, 0.0);
    ASSERT_GE(right, 0.0);
    EXPECT_GT(left, right + 10);

    label.setShadowColor(QColor(0, 0, 0, 90));
    const QImage shadowed = render(label);
    EXPECT_GT(countDifferent(image, shadowed), 100);
}

TEST(Rendering, TabShowsItsCaption)
{
    TabButton tab(QStringLiteral("Color String"));
    EXPECT_EQ(tab.sizeHint().height(), 21);
    const QImage image = render(tab);
    TabButton empty(QString{});
    const QImage bare = render(empty, tab.sizeHint());
    EXPECT_GT(countDifferent(image, bare), 40);
}
