// The mouth on the "Speech" bar follows the control: visible with it, open with its level.
#include "FakeDirectSS.h"

#include "speech/widgets/Mouth.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class LoudFake : public FakeDirectSS
{
public:
    void level(double l) { Q_EMIT outputLevelChanged(l); }
};

int darkPixels(QWidget &w)
{
    const QImage image = w.grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 60;
    }
    return dark;
}

TEST(Mouth, ShowsAndHidesWithTheControlAndOpensWithTheLevel)
{
    LoudFake engine;
    QWidget bar;
    speech::Mouth mouth(engine, &bar);
    mouth.resize(mouth.sizeHint() * 2);
    bar.show();
    EXPECT_TRUE(mouth.isVisible());
    const int closed = darkPixels(mouth);

    engine.level(0.9);
    EXPECT_DOUBLE_EQ(mouth.opening(), 0.9);
    EXPECT_GT(darkPixels(mouth), closed);
    engine.level(0);
    EXPECT_EQ(mouth.opening(), 0);

    engine.Hide();
    EXPECT_FALSE(mouth.isVisible());
    engine.Show();
    EXPECT_TRUE(mouth.isVisible());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
