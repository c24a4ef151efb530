// What the window relies on: which gestures count as clicks, that the clock shows the time at
// every tick and really stops, that the check box is still a check box and the spinner never
// leaves its range.
#include "widgets/ClockLabel.h"
#include "widgets/GripImage.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/ShineButton.h"
#include "widgets/TabButton.h"
#include "widgets/UpDownSpin.h"

#include "TimerTick.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

using namespace widgets;
using testsupport::fireTimer;

namespace {

// A press and a release, each at a point given relative to the widget's size, so one table
// serves widgets of any size. Points outside the widget use coordinates below 0 or above 1.
struct Gesture
{
    const char *name;
    Qt::MouseButton button;
    QPointF press;
    QPointF release;
    int clicks;
};

const Gesture Gestures[] = {
    {"inside", Qt::LeftButton, {0.5, 0.5}, {0.5, 0.5}, 1},
    {"moved within", Qt::LeftButton, {0.2, 0.2}, {0.8, 0.8}, 1},
    {"released outside", Qt::LeftButton, {0.5, 0.5}, {1.5, 0.5}, 0},
    {"released above", Qt::LeftButton, {0.5, 0.5}, {0.5, -0.5}, 0},
    {"right button", Qt::RightButton, {0.5, 0.5}, {0.5, 0.5}, 0},
};

QPoint at(const QWidget &w, QPointF relative)
{
    return QPoint(int(relative.x() * w.width()), int(relative.y() * w.height()));
}

template <typename Make, typename Signal> void checkGestures(Make make, Signal signal)
{
    for (const Gesture &g : Gestures) {
        SCOPED_TRACE(g.name);
        auto w = make();
        w->resize(w->sizeHint());
        w->show();
        QSignalSpy spy(w.get(), signal);
        QTest::mousePress(w.get(), g.button, {}, at(*w, g.press));
        QTest::mouseRelease(w.get(), g.button, {}, at(*w, g.release));
        EXPECT_EQ(spy.count(), g.clicks);
    }
}

} // namespace

TEST(Clicks, GripImageClicksOnReleaseInside)
{
    checkGestures([] { return std::make_unique<GripImage>(); }, &GripImage::clicked);
}

TEST(Clicks, TabButtonClicksOnReleaseInside)
{
    checkGestures([] { return std::make_unique<TabButton>(QStringLiteral("右窓")); },
                  &TabButton::clicked);
}

TEST(Clicks, GripImageIgnoresReleaseWithoutPress)
{
    GripImage grip;
    grip.resize(grip.sizeHint());
    QSignalSpy spy(&grip, &GripImage::clicked);
    QTest::mouseRelease(&grip, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(spy.count(), 0);
}

TEST(Clicks, TabAndGripDoNotTakeTheFocusFromThePane)
{
    EXPECT_EQ(TabButton().focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(GripImage().focusPolicy(), Qt::NoFocus);
}

TEST(ClockLabel, ShowsItsTimeSourceAsHoursMinutesSeconds)
{
    ClockLabel clock;
    EXPECT_EQ(clock.interval(), 300);
    EXPECT_TRUE(clock.timer().isActive());
    EXPECT_EQ(clock.timer().interval(), 300);
    // Unless told otherwise, the local time.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(clock.text()).hasMatch())
        << clock.text().toStdString();
    // 24 hours, two digits each, the milliseconds left out.
    const std::pair<QTime, const char *> cases[] = {{QTime(0, 0), "00:00:00"},
                                                    {QTime(9, 5, 7), "09:05:07"},
                                                    {QTime(13, 45, 59, 999), "13:45:59"},
                                                    {QTime(23, 59, 59), "23:59:59"}};
    for (const auto &[time, shown] : cases) {
        clock.setTimeSource([time = time] { return time; });
        clock.showCurrentTime();
        EXPECT_EQ(clock.text(), QLatin1String(shown));
    }
}

TEST(ClockLabel, EveryTickShowsTheTimeUntilTheIntervalIsZero)
{
    QTime now(10, 0, 0);
    ClockLabel clock;
    clock.setTimeSource([&now] { return now; });
    clock.setInterval(20);
    EXPECT_EQ(clock.timer().interval(), 20);
    EXPECT_EQ(clock.text(), QStringLiteral("10:00:00"))
        << "a restarted clock shows the time at once";
    for (const char *shown : {"10:00:01", "10:00:02", "10:00:03"}) {
        now = now.addSecs(1);
        ASSERT_TRUE(fireTimer(clock.timer()));
        EXPECT_EQ(clock.text(), QLatin1String(shown));
    }

    // Stopped, the time last shown stays however long after.
    clock.setInterval(0);
    EXPECT_EQ(clock.interval(), 0);
    now = now.addSecs(3600);
    EXPECT_FALSE(fireTimer(clock.timer()));
    EXPECT_EQ(clock.text(), QStringLiteral("10:00:03"));

    // Restarting shows the time at once rather than one interval later.
    clock.setInterval(10000);
    EXPECT_EQ(clock.text(), QStringLiteral("11:00:03"));
    EXPECT_TRUE(clock.timer().isActive());
}

TEST(ClockLabel, NegativeIntervalMeansStopped)
{
    ClockLabel clock;
    clock.setInterval(-5);
    EXPECT_EQ(clock.interval(), 0);
    clock.setText(QStringLiteral("x"));
    EXPECT_FALSE(fireTimer(clock.timer()));
    EXPECT_EQ(clock.text(), QStringLiteral("x"));
}

TEST(ClockLabel, ReportsLeftPressesWithoutChangingItsInterval)
{
    ClockLabel clock;
    clock.resize(clock.sizeHint());
    QSignalSpy spy(&clock, &ClockLabel::clicked);
    QTest::mousePress(&clock, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    QTest::mousePress(&clock, Qt::RightButton);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(clock.interval(), 300);
}

TEST(LozengeCheckBox, TogglesByClickOnIndicatorOrCaptionAndBySpace)
{
    LozengeCheckBox box(QStringLiteral("縦"));
    box.resize(box.sizeHint());
    box.show();
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy clicked(&box, &QCheckBox::clicked);

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2)); // the lozenge
    EXPECT_TRUE(box.isChecked());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 3, box.height() / 2));
    EXPECT_FALSE(box.isChecked());
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_TRUE(box.isChecked());

    EXPECT_EQ(toggled.count(), 3);
    EXPECT_EQ(clicked.count(), 3);

    // Set from code (the window restoring a setting): toggled, but no click.
    box.setChecked(false);
    EXPECT_EQ(toggled.count(), 4);
    EXPECT_EQ(clicked.count(), 3);
}

TEST(LozengeCheckBox, DisabledDoesNotToggle)
{
    LozengeCheckBox box(QStringLiteral("色"));
    box.resize(box.sizeHint());
    box.setEnabled(false);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
    EXPECT_FALSE(box.isChecked());
}

TEST(LozengeCheckBox, ClickDoesNotStealTheFocus)
{
    EXPECT_EQ(LozengeCheckBox().focusPolicy(), Qt::TabFocus);
}

TEST(UpDownSpin, StartsAtOneInOneToHundred)
{
    UpDownSpin spin;
    EXPECT_EQ(spin.minimum(), 1);
    EXPECT_EQ(spin.maximum(), 100);
    EXPECT_EQ(spin.value(), 1);
}

TEST(UpDownSpin, ClampsToItsRange)
{
    struct Case
    {
        int set;
        int expected;
    };
    const Case cases[] = {{0, 1}, {-7, 1}, {1, 1}, {50, 50}, {100, 100}, {101, 100}, {5000, 100}};
    UpDownSpin spin;
    for (const Case &c : cases) {
        spin.setValue(c.set);
        EXPECT_EQ(spin.value(), c.expected) << "set " << c.set;
    }
}

TEST(UpDownSpin, StepsStopAtTheEnds)
{
    UpDownSpin spin;
    QSignalSpy changed(&spin, &QSpinBox::valueChanged);
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(spin.value(), 1);
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(spin.value(), 2);
    spin.setValue(100);
    spin.stepUp();
    EXPECT_EQ(spin.value(), 100);
    EXPECT_EQ(changed.count(), 2); // 1 -> 2 -> 100; the refused steps signal nothing
}

TEST(UpDownSpin, TypingIsRefusedUnlessAllowed)
{
    UpDownSpin spin;
    spin.show();
    QTest::keyClicks(&spin, QStringLiteral("7"));
    EXPECT_EQ(spin.value(), 1);

    spin.setTextEditable(true);
    spin.selectAll();
    QTest::keyClicks(&spin, QStringLiteral("42"));
    QTest::keyClick(&spin, Qt::Key_Return);
    EXPECT_EQ(spin.value(), 42);
}

TEST(UpDownSpin, RangeCanBeChanged)
{
    UpDownSpin spin;
    spin.setRange(130, 188);
    EXPECT_EQ(spin.value(), 130);
    spin.setValue(200);
    EXPECT_EQ(spin.value(), 188);
}

TEST(ShineButton, CheckableButtonTogglesOnClick)
{
    ShineButton button(QStringLiteral("縦"));
    button.setCheckable(true);
    button.resize(button.sizeHint());
    QSignalSpy toggled(&button, &QToolButton::toggled);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(button.isChecked());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(toggled.count(), 2);
}

TEST(ShineButton, SizeFitsTheBarAndWidensForLongCaptions)
{
    for (const char *caption : {"萬", "新", "V", "H", "s"})
        EXPECT_EQ(ShineButton(QString::fromUtf8(caption)).sizeHint(), QSize(26, 26)) << caption;

    // "Pause" becomes "Resume" while reading is paused; both must fit without clipping.
    for (const char *caption : {"ST", "Parole", "Pause", "Resume", "Reset"}) {
        const ShineButton button(QString::fromUtf8(caption));
        EXPECT_GE(button.sizeHint().width(),
                  button.fontMetrics().horizontalAdvance(button.text()) + 8)
            << caption;
        EXPECT_EQ(button.sizeHint().height(), 26) << caption;
    }

    // An access key's ampersand takes no room.
    EXPECT_EQ(ShineButton(QStringLiteral("&N")).sizeHint(),
              ShineButton(QStringLiteral("N")).sizeHint());
}
