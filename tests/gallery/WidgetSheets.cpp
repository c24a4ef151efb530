// Lays every widget out on sample bars, the way the main window stacks them, and keeps one
// picture of the whole and one per bar, for looking at the look.
#include "Gallery.h"

#include "widgets/ClockLabel.h"
#include "widgets/GripImage.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/ShineButton.h"
#include "widgets/SplashLabel.h"
#include "widgets/TabButton.h"
#include "widgets/Theme.h"
#include "widgets/UpDownSpin.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include <functional>
#include <memory>

using namespace widgets;

namespace gallery {

namespace {

QFrame *bar(int height, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFixedHeight(height);
    frame->setAutoFillBackground(true);
    QPalette pal = frame->palette();
    pal.setColor(QPalette::Window, theme::barBackground());
    frame->setPalette(pal);
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(1);
    return frame;
}

void add(QFrame *frame, QWidget *w)
{
    frame->layout()->addWidget(w);
}

void gap(QFrame *frame, int width = 6)
{
    static_cast<QHBoxLayout *>(frame->layout())->addSpacing(width);
}

ShineButton *button(const QString &caption, ShineButton::Style style = ShineButton::Style::Shine)
{
    auto *b = new ShineButton(caption);
    b->setButtonStyle(style);
    return b;
}

// Keeps the widget's picture, and beside it a copy blown up three times with hard pixel
// edges, to judge single-pixel lines and anti-aliasing.
void save(Shelf &shelf, QWidget *w, const QString &name)
{
    const QImage image = w->grab().toImage();
    shelf.keep(image, name + QStringLiteral(".png"));
    shelf.keep(image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation),
               name + QStringLiteral("-x3.png"));
}

enum class State { Normal, Hover, Pressed, Checked, Disabled };

// Puts a widget into a state without a mouse: hover is the attribute the widgets read through
// underMouse(), pressed is the button's down flag.
void apply(QWidget *w, State state)
{
    auto *b = qobject_cast<QAbstractButton *>(w);
    switch (state) {
    case State::Normal:
        break;
    case State::Hover:
        w->setAttribute(Qt::WA_UnderMouse);
        break;
    case State::Pressed:
        w->setAttribute(Qt::WA_UnderMouse);
        if (b)
            b->setDown(true);
        break;
    case State::Checked:
        if (b) {
            b->setCheckable(true);
            b->setChecked(true);
        }
        break;
    case State::Disabled:
        w->setEnabled(false);
        break;
    }
}

// One row per kind of widget, one column per state, on the bar's colour.
QWidget *statesSheet()
{
    auto *sheet = new QFrame;
    sheet->setAutoFillBackground(true);
    QPalette pal = sheet->palette();
    pal.setColor(QPalette::Window, theme::barBackground());
    sheet->setPalette(pal);
    auto *grid = new QGridLayout(sheet);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);

    const State states[] = {State::Normal, State::Hover, State::Pressed, State::Checked,
                            State::Disabled};
    const std::function<QWidget *()> makers[] = {
        [] { return new ShineButton(QStringLiteral("萬")); },
        [] { return new ShineButton(QStringLiteral("Parole")); },
        [] {
            auto *b = new ShineButton(QStringLiteral("&N"));
            b->setButtonStyle(ShineButton::Style::Flat);
            b->setCaptionColor(QColor(160, 118, 84));
            return b;
        },
        [] {
            auto *b = new ShineButton;
            b->setFaceColor(QColor(194, 72, 37));
            return b;
        },
        [] { return new LozengeCheckBox(QStringLiteral("縦")); },
        [] { return new TabButton(QStringLiteral("右窓")); },
        [] { return new GripImage; },
    };
    int row = 0;
    for (const auto &make : makers) {
        int col = 0;
        for (State state : states) {
            QWidget *w = make();
            apply(w, state);
            if (qobject_cast<GripImage *>(w))
                w->setFixedHeight(32);
            grid->addWidget(w, row, col++, Qt::AlignCenter);
        }
        ++row;
    }
    return sheet;
}

} // namespace

void saveWidgetSheets(Shelf &shelf)
{
    if (shelf.docsOnly)
        return;
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, theme::paper());
    window.setPalette(pal);
    auto *column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);

    // Right pane bar.
    QFrame *right = bar(32, &window);
    add(right, new GripImage);
    for (const char *c : {"新", "開", "保"})
        add(right, button(QString::fromUtf8(c)));
    gap(right);
    auto *vertical = button(QStringLiteral("V"));
    vertical->setCheckable(true);
    vertical->setChecked(true);
    add(right, vertical);
    for (const char *c : {"H", "左", "s", "u", "R"})
        add(right, button(QString::fromUtf8(c)));
    gap(right);
    for (const char *c : {"設", "起", "起"})
        add(right, button(QString::fromUtf8(c), ShineButton::Style::Flat));
    static_cast<QHBoxLayout *>(right->layout())->addStretch();
    auto *clock = new ClockLabel;
    clock->setInterval(0);
    clock->setTimeSource([] { return shownTime(); });
    clock->showCurrentTime();
    QFont clockFont(QStringLiteral("Times New Roman"));
    clockFont.setPixelSize(15);
    clock->setFont(clockFont);
    clock->setColors(Qt::white, QColor(40, 52, 80));
    add(right, clock);
    column->addWidget(right);

    // Left pane bar.
    QFrame *left = bar(32, &window);
    add(left, new GripImage);
    for (const char *c : {"萬", "字", "背", "換"})
        add(left, button(QString::fromUtf8(c)));
    gap(left);
    auto *tate = new LozengeCheckBox(QStringLiteral("縦"));
    tate->setChecked(true);
    add(left, tate);
    add(left, new LozengeCheckBox(QStringLiteral("色")));
    gap(left);
    for (const char *c : {"F", "H", "L"})
        add(left, button(QString::fromUtf8(c)));
    static_cast<QHBoxLayout *>(left->layout())->addStretch();
    column->addWidget(left);

    // Colour string bar: twelve faces painted in the colour they apply.
    QFrame *colours = bar(32, &window);
    add(colours, new GripImage);
    const QColor faces[] = {{194, 72, 37},   {162, 162, 255}, {231, 218, 67}, {63, 111, 55},
                            {184, 114, 114}, {35, 220, 132},  {89, 145, 181}, {85, 95, 108},
                            {239, 148, 80},  {146, 35, 158},  {15, 233, 244}, {168, 171, 183}};
    for (const QColor &face : faces) {
        auto *b = new ShineButton;
        b->setFaceColor(face);
        b->setFixedSize(20, 26);
        add(colours, b);
    }
    gap(colours);
    for (const char *c : {"彩", "右", "左", "w", "w"})
        add(colours, button(QString::fromUtf8(c)));
    auto *disabled = button(QStringLiteral("書"));
    disabled->setEnabled(false);
    add(colours, disabled);
    static_cast<QHBoxLayout *>(colours->layout())->addStretch();
    column->addWidget(colours);

    // Speech bar.
    QFrame *speech = bar(32, &window);
    add(speech, new GripImage);
    for (const char *c : {"Parole", "B", "ST", "Resume", "Reset"})
        add(speech, button(QString::fromUtf8(c)));
    gap(speech, 4);
    auto *repetitions = new UpDownSpin;
    repetitions->setValue(12);
    add(speech, repetitions);
    add(speech, button(QStringLiteral("D")));
    gap(speech);
    const struct
    {
        const char *caption;
        QColor colour;
        bool found;
    } speakers[] = {{"&N", QColor(255, 128, 0), true},   {"&K", QColor(77, 115, 179), true},
                    {"&M", QColor(160, 118, 84), false}, {"&I", QColor(77, 115, 179), true},
                    {"&C", QColor(160, 118, 84), false}, {"&R", QColor(77, 115, 179), false}};
    for (const auto &s : speakers) {
        auto *b = button(QString::fromUtf8(s.caption),
                         s.found ? ShineButton::Style::Shine : ShineButton::Style::Flat);
        b->setCaptionColor(s.colour);
        add(speech, b);
    }
    gap(speech);
    auto *mouth = new LozengeCheckBox(QStringLiteral("Mouth"));
    mouth->setChecked(true);
    add(speech, mouth);
    static_cast<QHBoxLayout *>(speech->layout())->addStretch();
    column->addWidget(speech);

    // Tab bar.
    QFrame *tabs = bar(23, &window);
    tabs->layout()->setContentsMargins(4, 2, 4, 0);
    static_cast<QHBoxLayout *>(tabs->layout())->setSpacing(2);
    for (const char *c : {"右窓", "左窓", "Color String", "HTML", "Speech"})
        add(tabs, new TabButton(QString::fromUtf8(c)));
    static_cast<QHBoxLayout *>(tabs->layout())->addSpacing(10);
    auto *message = new QLabel(QStringLiteral("読み上げ中"));
    message->setFont(theme::captionFont(12));
    add(tabs, message);
    static_cast<QHBoxLayout *>(tabs->layout())->addStretch();
    column->addWidget(tabs);

    // The splash as the window shows it.
    auto *splash = new QWidget(&window);
    splash->setAutoFillBackground(true);
    QPalette splashPal = splash->palette();
    splashPal.setColor(QPalette::Window, QColor(221, 223, 232));
    splash->setPalette(splashPal);
    splash->setMinimumHeight(150);
    auto *splashLayout = new QVBoxLayout(splash);
    auto *loading = new SplashLabel(QStringLiteral("Now Loading..."));
    QFont splashFont(QStringLiteral("Times New Roman"));
    splashFont.setPixelSize(33);
    loading->setFont(splashFont);
    loading->setTextColor(QColor(86, 101, 133));
    splashLayout->addWidget(loading, 0, Qt::AlignCenter);
    column->addWidget(splash);

    window.resize(780, column->sizeHint().height());
    window.show();
    QApplication::processEvents();

    save(shelf, &window, QStringLiteral("widgets"));
    save(shelf, right, QStringLiteral("bar-right"));
    save(shelf, left, QStringLiteral("bar-left"));
    save(shelf, colours, QStringLiteral("bar-colours"));
    save(shelf, speech, QStringLiteral("bar-speech"));
    save(shelf, tabs, QStringLiteral("bar-tabs"));
    save(shelf, splash, QStringLiteral("splash"));
    const std::unique_ptr<QWidget> sheet(statesSheet());
    sheet->show();
    QApplication::processEvents();
    save(shelf, sheet.get(), QStringLiteral("states"));
}

} // namespace gallery
