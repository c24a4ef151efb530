#include "editor/WrappedPlainLayout.h"
#include "RandomEdits.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <random>

namespace {

// Each line's rows: where each starts in the line and how far down it stands.
QList<QPointF> rowsOf(QPlainTextEdit &edit)
{
    QList<QPointF> rows;
    QAbstractTextDocumentLayout *layout = edit.document()->documentLayout();
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
        (void)layout->blockBoundingRect(b);
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            const QTextLine line = b.layout()->lineAt(i);
            rows.append({qreal(b.position() + line.textStart()), line.y()});
        }
    }
    return rows;
}

} // namespace

// The view's own layout of wrapped lines and Qt's plain layout, given the same edits,
// resizes, a change of font and word wrap turned off and on: the same rows, the same line
// count and the same scroll ranges.
TEST(WrappedPlainLayout, LaysLinesOutAsQtsPlainLayoutDoes)
{
    QPlainTextEdit reference;
    QPlainTextEdit edit;
    edit.document()->setDocumentLayout(new editor::WrappedPlainLayout(edit.document()));
    edit.setDocument(edit.document());
    QStringList lines;
    std::mt19937 random(11);
    for (int i = 0; i < 200; ++i)
        lines << QString(int(random() % 90), u'春') + QStringLiteral(" word　");
    for (QPlainTextEdit *e : {&reference, &edit}) {
        e->document()->setDocumentMargin(2);
        e->resize(320, 240);
        e->show();
        e->setPlainText(lines.join(u'\n'));
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    const QStringList pieces = {QStringLiteral("あ"), QStringLiteral("\n"), QString(40, u'字'),
                                QStringLiteral("a few words "), QStringLiteral("一\n二\n")};
    for (int step = 0; step < 80; ++step) {
        const std::mt19937 before = random;
        testsupport::randomEdit(reference.document(), random, pieces);
        random = before;
        testsupport::randomEdit(edit.document(), random, pieces);
        for (QPlainTextEdit *e : {&reference, &edit}) {
            if (step % 20 == 9)
                e->resize(200 + 20 * (step % 7), 240);
            if (step == 30)
                e->setFont(QFont(e->font().family(), 15));
            if (step == 50 || step == 60)
                e->setLineWrapMode(step == 50 ? QPlainTextEdit::NoWrap
                                              : QPlainTextEdit::WidgetWidth);
        }
        QApplication::processEvents();
        ASSERT_EQ(edit.verticalScrollBar()->maximum(), reference.verticalScrollBar()->maximum())
            << step;
        ASSERT_EQ(edit.horizontalScrollBar()->maximum(), reference.horizontalScrollBar()->maximum())
            << step;
        ASSERT_EQ(rowsOf(edit), rowsOf(reference)) << step;
        ASSERT_EQ(edit.document()->lineCount(), reference.document()->lineCount()) << step;
    }
}

// Lines of Japanese counted without shaping have the rows Qt's layout gives them, at many
// widths: kinsoku around 、。「」, small kana, ー, full-width forms, a line of one kanji
// repeated, and pieces longer than a row.
TEST(WrappedPlainLayout, CountsJapaneseLinesAsTheyAreLaidOut)
{
    QPlainTextEdit edit;
    auto *layout = new editor::WrappedPlainLayout(edit.document());
    edit.document()->setDocumentLayout(layout);
    edit.setDocument(edit.document());
    edit.document()->setDocumentMargin(2);
    const QStringList lines = {
        QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山"),
        QStringLiteral("「ちょっと待って」と言ふ、その声は遠くの空へ消えてゆきました。。。"),
        QStringLiteral("ラーメン～とコーヒー、それから（少しだけ）お茶を！？"),
        QString(97, u'字'),
        QStringLiteral("ああああああああああああああああああああああああああああ」」」」」」」」」"
                       "」」」」」」"),
    };
    edit.setPlainText(lines.join(u'\n'));
    edit.show();
    for (int width = 90; width < 600; width += 13) {
        edit.resize(width, 300);
        QApplication::processEvents();
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next()) {
            const int counted = layout->countedRows(b);
            (void)layout->blockBoundingRect(b);
            ASSERT_EQ(counted, b.layout()->lineCount()) << width << " " << b.text().toStdString();
        }
    }
}
