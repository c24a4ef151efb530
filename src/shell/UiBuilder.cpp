#include "shell/UiBuilder.h"

#include "text/ColorNumber.h"
#include "tools/widgets/MsgSCR.h"
#include "widgets/ClockLabel.h"
#include "widgets/GripImage.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/ShineButton.h"
#include "widgets/UpDownSpin.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSlider>

namespace shell {

namespace {

QColor colorFromNumberText(const QString &s)
{
    const auto n = text::colorFromString(s);
    if (!n)
        return {};
    return QColor(text::redOf(*n), text::greenOf(*n), text::blueOf(*n));
}

void setHint(QWidget *w, const QString &hint)
{
    if (hint.isEmpty())
        return;
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

} // namespace

BuiltMenus buildMenus(QMenuBar *menuBar, QWidget *owner, const QList<MenuRow> &rows,
                      const Dispatch &dispatch)
{
    BuiltMenus built;
    QMenu *current = nullptr;
    for (const MenuRow &row : rows) {
        if (row.kind == QStringLiteral("menu")) {
            current = menuBar->addMenu(row.caption);
            current->setObjectName(row.name);
            current->menuAction()->setStatusTip(row.hint);
            current->setToolTipsVisible(false);
            built.menus.insert(row.name, current);
        } else if (row.kind == QStringLiteral("popup")) {
            current = new QMenu(owner);
            current->setObjectName(row.name);
            built.menus.insert(row.name, current);
        } else if (row.kind == QStringLiteral("separator")) {
            if (current)
                current->addSeparator();
        } else if (row.kind == QStringLiteral("item") && current) {
            auto *action = new QAction(row.caption, current);
            action->setObjectName(row.name);
            action->setStatusTip(row.hint);
            if (!row.shortcut.isEmpty()) {
                // "Ctrl+Y; Ctrl+Shift+Z": the first is the one the menu shows.
                QList<QKeySequence> keys;
                for (const QString &key : row.shortcut.split(u';', Qt::SkipEmptyParts))
                    keys << QKeySequence(key.trimmed(), QKeySequence::PortableText);
                action->setShortcuts(keys);
                // Shortcuts of the main menu work wherever the focus is in the window;
                // the context menu's items repeat commands and carry none.
                owner->addAction(action);
            }
            action->setCheckable(row.check);
            const QString handler = row.handler;
            QObject::connect(action, &QAction::triggered, owner, [action, handler, dispatch] {
                if (action->isCheckable()) {
                    const QSignalBlocker block(action);
                    action->setChecked(!action->isChecked());
                }
                dispatch(handler);
            });
            current->addAction(action);
            // Names are unique across the main menu; the context menu repeats some
            // commands under names of its own.
            built.actions.insert(row.name, action);
        }
    }
    return built;
}

QHash<QString, QWidget *> buildBar(QWidget *bar, const QList<BarRow> &rows,
                                   const Dispatch &dispatch)
{
    QHash<QString, QWidget *> controls;
    auto *layout = qobject_cast<QBoxLayout *>(bar->layout());
    if (!layout)
        return controls;
    for (const BarRow &row : rows) {
        const QString handler = row.handler;
        auto run = [dispatch, handler] {
            if (!handler.isEmpty())
                dispatch(handler);
        };
        QWidget *w = nullptr;
        if (row.kind == QStringLiteral("separator")) {
            layout->addSpacing(5);
            continue;
        }
        if (row.kind == QStringLiteral("grip")) {
            auto *grip = new widgets::GripImage(bar);
            QObject::connect(grip, &widgets::GripImage::clicked, bar, run);
            w = grip;
        } else if (row.kind == QStringLiteral("button") ||
                   row.kind == QStringLiteral("colorbutton")) {
            auto *button = new widgets::ShineButton(row.caption, bar);
            if (row.kind == QStringLiteral("colorbutton")) {
                const QString face = row.extra.value(QStringLiteral("face"),
                                                     row.extra.value(QStringLiteral("color")));
                button->setFaceColor(colorFromNumberText(face));
            }
            if (row.extra.contains(QStringLiteral("fontcolor")))
                button->setCaptionColor(
                    colorFromNumberText(row.extra.value(QStringLiteral("fontcolor"))));
            if (row.caption.size() > 2)
                button->setMinimumWidth(button->fontMetrics().horizontalAdvance(row.caption) + 12);
            QObject::connect(button, &QToolButton::clicked, bar, run);
            w = button;
        } else if (row.kind == QStringLiteral("check")) {
            auto *box = new widgets::LozengeCheckBox(row.caption, bar);
            box->setChecked(row.flag(QStringLiteral("checked")));
            QObject::connect(box, &QCheckBox::clicked, bar, run);
            w = box;
        } else if (row.kind == QStringLiteral("edit")) {
            auto *edit = new QLineEdit(bar);
            edit->setFixedWidth(row.number(QStringLiteral("width"), 96));
            QObject::connect(edit, &QLineEdit::textChanged, bar, run);
            w = edit;
        } else if (row.kind == QStringLiteral("clock")) {
            auto *clock = new widgets::ClockLabel(bar);
            clock->setInterval(row.number(QStringLiteral("interval"), 300));
            QObject::connect(clock, &widgets::ClockLabel::clicked, bar, run);
            w = clock;
        } else if (row.kind == QStringLiteral("slider")) {
            auto *slider = new QSlider(Qt::Horizontal, bar);
            slider->setRange(row.number(QStringLiteral("min"), 0),
                             row.number(QStringLiteral("max"), 100));
            slider->setValue(row.number(QStringLiteral("value"), slider->minimum()));
            slider->setSingleStep(row.number(QStringLiteral("small"), 1));
            slider->setPageStep(row.number(QStringLiteral("large"), 10));
            slider->setFixedWidth(row.number(QStringLiteral("width"), 80));
            QObject::connect(slider, &QSlider::valueChanged, bar, run);
            w = slider;
        } else if (row.kind == QStringLiteral("spin")) {
            auto *spin = new widgets::UpDownSpin(bar);
            spin->setRange(row.number(QStringLiteral("min"), 1),
                           row.number(QStringLiteral("max"), 100));
            spin->setValue(row.number(QStringLiteral("value"), spin->minimum()));
            spin->setTextEditable(!row.flag(QStringLiteral("readonly")));
            QObject::connect(spin, &QSpinBox::valueChanged, bar, run);
            w = spin;
        } else if (row.kind == QStringLiteral("mouth")) {
            auto *mouth = new QFrame(bar);
            mouth->setFrameShape(QFrame::StyledPanel);
            mouth->setFixedSize(28, 26);
            w = mouth;
        } else if (row.extra.value(QStringLiteral("class")) == QStringLiteral("TMsgSCR")) {
            auto *strip = new tools::TMsgSCR(bar);
            strip->setFixedWidth(row.number(QStringLiteral("width"), 120));
            w = strip;
        } else {
            auto *label = new QLabel(row.caption, bar);
            label->setFixedWidth(row.number(QStringLiteral("width"), 120));
            label->setAutoFillBackground(true);
            label->setContentsMargins(4, 0, 4, 0);
            w = label;
        }
        w->setObjectName(row.name);
        setHint(w, row.hint);
        layout->addWidget(w, 0, Qt::AlignVCenter);
        controls.insert(row.name, w);
    }
    layout->addStretch(1);
    return controls;
}

void showTextAsHint(QLineEdit *edit, const QString &ownHint)
{
    const QString hint = edit->text().isEmpty() ? ownHint : edit->text();
    edit->setToolTip(hint);
    edit->setStatusTip(hint);
}

} // namespace shell
