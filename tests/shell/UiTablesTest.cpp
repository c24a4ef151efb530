#include "shell/UiTables.h"
#include "QtPrinters.h"
#include "shell/FontNames.h"
#include "shell/ShellResources.h"

#include <QFile>
#include <QKeySequence>
#include <QSet>
#include <gtest/gtest.h>

using namespace shell;

TEST(UiTables, BadRowsAreReportedAndSkipped)
{
    QList<TableError> errors;
    const auto rows =
        parseBarTable(QStringLiteral("bar\tkind\tname\tcaption\thint\thandler\textra\n"
                                     "NNBar1\tbutton\tB1\t新\t新規\tNew1Click\tglyph;width=30\n"
                                     "NNBar1\tbutton\tbroken\n"
                                     "\n"
                                     "NNBar1\tcheck\tC1\t縦\t\tC1Click\tchecked=1\r\n"),
                      &errors);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].number(QStringLiteral("width"), 0), 30);
    EXPECT_TRUE(rows[0].extra.contains(QStringLiteral("glyph")));
    EXPECT_TRUE(rows[1].flag(QStringLiteral("checked")));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].line, 3);
}

// The compiled-in tables are what the window is built from: every row must parse, every
// name be unique (the window finds controls by name) and every shortcut be a real key.
TEST(UiTables, BuiltInTablesAreWellFormed)
{
    ensureShellResources();
    QList<TableError> menuErrors, barErrors;
    QFile menus(QStringLiteral(":/shell/menus.tsv"));
    ASSERT_TRUE(menus.open(QIODevice::ReadOnly));
    const auto menuRows = parseMenuTable(QString::fromUtf8(menus.readAll()), &menuErrors);
    QFile bars(QStringLiteral(":/shell/bars.tsv"));
    ASSERT_TRUE(bars.open(QIODevice::ReadOnly));
    const auto barRows = parseBarTable(QString::fromUtf8(bars.readAll()), &barErrors);
    EXPECT_TRUE(menuErrors.isEmpty());
    EXPECT_TRUE(barErrors.isEmpty());

    QSet<QString> names, shortcuts;
    for (const MenuRow &r : menuRows) {
        if (r.kind == QStringLiteral("separator"))
            continue;
        EXPECT_FALSE(names.contains(r.name)) << qPrintable(r.name);
        names.insert(r.name);
        for (QString key : r.shortcut.split(u';', Qt::SkipEmptyParts)) {
            key = key.trimmed();
            EXPECT_EQ(QKeySequence(key, QKeySequence::PortableText).count(), 1) << qPrintable(key);
            EXPECT_FALSE(shortcuts.contains(key)) << qPrintable(key);
            shortcuts.insert(key);
        }
    }
    for (const BarRow &r : barRows) {
        if (r.kind == QStringLiteral("separator"))
            continue;
        EXPECT_FALSE(names.contains(r.name)) << qPrintable(r.name);
        names.insert(r.name);
    }
    EXPECT_GE(menuRows.size(), 80);
    EXPECT_GE(barRows.size(), 120);
}

TEST(FontNames, RulesMapProgramNamesToInstalledFamilies)
{
    const auto rules = parseFontRules(QStringLiteral("name\tsubstitutes\n"
                                                     "ＭＳ 明朝\tIPAMincho, IPA明朝\n"
                                                     "broken line\n"));
    ASSERT_EQ(rules.size(), 1);
    EXPECT_EQ(rules.value(QStringLiteral("ＭＳ 明朝")),
              (QStringList{QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")}));
}

// Every control a user can press says what it does, on hover and in the status bar; the
// glyph buttons say it with the caption of the menu command they share.
TEST(UiTables, EveryBarControlHasAHint)
{
    ensureShellResources();
    QHash<QString, QString> hintOf;
    for (const BarRow &row : builtInBars()) {
        if (row.kind != QStringLiteral("separator") && row.kind != QStringLiteral("mouth")) {
            EXPECT_FALSE(row.hint.isEmpty()) << qPrintable(row.name);
        }
        hintOf.insert(row.name, row.hint);
    }
    const std::pair<const char *, const char *> glyphs[] = {
        {"NewButton1", "新規作成"},  {"SaveAsButton1", "名前を付けて保存"},
        {"UndoButton1", "元に戻す"}, {"FontButton1", "フォント"},
        {"BackButton1", "背景"},     {"HHVButton1", "左窓・縦書き"},
    };
    for (const auto &[name, hint] : glyphs)
        EXPECT_EQ(hintOf.value(QString::fromUtf8(name)), QString::fromUtf8(hint)) << name;
    EXPECT_EQ(plainCaption(QStringLiteral("名前を付けて保存(&A)...")),
              QStringLiteral("名前を付けて保存"));
}
