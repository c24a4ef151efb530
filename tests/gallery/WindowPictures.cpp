// The main window as the README shows it: a waka with punctuation, brackets, a long-vowel
// mark, small kana, a Latin word and digits in vertical writing with word wrap on and off,
// the same in horizontal writing, the window at its smallest with a bar's » panel open, and
// the reading dictionary.
#include "Gallery.h"

#include "FakeUiServices.h"

#include "editor/PanePrinter.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "shell/ReadingDictionary.h"
#include "shell/ToolStrip.h"
#include "shell/Utamain.h"
#include "speech/ReadingController.h"
#include "widgets/ClockLabel.h"
#include "widgets/TabButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <memory>

using namespace editor;
using namespace shell;

namespace gallery {

namespace {

// A window of its own, its settings in a scratch folder, at the smallest size the program
// allows and with the clock stopped at the gallery's time.
struct Window
{
    QTemporaryDir dir;
    testsupport::FakeUiServices ui;
    std::unique_ptr<TMainForm1> w;

    Window() : w(std::make_unique<TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami"))))
    {
        if (auto *clock = w->ClockLabel2()) {
            clock->setTimeSource([] { return shownTime(); });
            clock->showCurrentTime();
        }
        w->resize(780, 550);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            std::fprintf(stderr, "the window was not shown\n");
    }
    ~Window()
    {
        // Nothing unsaved: the window closes without a question.
        w->RichEditNx1()->setModified(false);
        w->RichEditNx2()->setModified(false);
    }
    QImage picture() const
    {
        QApplication::processEvents();
        return w->grab().toImage();
    }
};

void writingPictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    w.run(QStringLiteral("ShineSpeedButton2Click"));
    w.RichEditNx1()->setText(
        QStringLiteral("春過ぎて夏来にけらし、白妙の衣ほすてふ天の香具山。\n"
                       "「ちはやぶる」神代もきかず竜田川――からくれなゐに水くくるとは\n"
                       "コーヒーとショコラ、ぁぃぅぇぉっゃゅょ。\n"
                       "Kotonami 2026 年 12 月（冬）\n"
                       "あしびきの山鳥の尾のしだり尾のながながし夜をひとりかも寝む"));
    w.RichEditNx2()->setText(QStringLiteral("はるすぎて\nなつきにけらし"));
    w.edit(QStringLiteral("Edit2"))->setText(QStringLiteral("の"));
    w.run(QStringLiteral("N24Click"));   // colour every の of the right pane
    w.run(QStringLiteral("Grip3Click")); // fold the left-pane bar, show the Color String bar
    QTest::mouseClick(w.tab(TMainForm1::ColorBar), Qt::LeftButton);
    w.RichEditNx1()->setSelection(2, 3);
    shelf.keep(win.picture(), QStringLiteral("vertical-wrap.png"), Shelf::Docs);
    w.run(QStringLiteral("WordWrapClick"));
    shelf.keep(win.picture(), QStringLiteral("vertical-nowrap.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    shelf.keep(win.picture(), QStringLiteral("horizontal.png"));
    // A font without Japanese chosen for the right pane: the Japanese comes from a Japanese
    // font, in its vertical forms, the Latin from the chosen font.
    w.run(QStringLiteral("VHClick"));
    w.run(QStringLiteral("WordWrapClick"));
    const auto inFont = [&](const QString &family) {
        QFont font(family);
        font.setPixelSize(22);
        w.RichEditNx1()->setPaneFont(font);
    };
    inFont(QStringLiteral("Liberation Serif"));
    shelf.keep(win.picture(), QStringLiteral("vertical-latin-font.png"), Shelf::Docs);
    // Clusters: a name with an ideographic variation sequence, kana with combining sound
    // marks (か゚ has no composed form), a Latin letter with a combining accent.
    inFont(QStringLiteral("IPAMincho"));
    w.RichEditNx1()->setText(QStringLiteral("葛\U000E0100城の葛\U000E0101飾\n"
                                            "か\u3099き\u3099 か\u309Aき\u309A\n"
                                            "Cafe\u0301 と 珈琲"));
    shelf.keep(win.picture(), QStringLiteral("vertical-clusters.png"));
    // Sideways words shaped as a row of text: kerning (AVOW), ligatures (ff, fl) and a mark
    // on a letter that has no composed form.
    inFont(QStringLiteral("DejaVu Serif"));
    w.RichEditNx1()->setText(QStringLiteral("AVOW と office\nfluffy な q\u0301 の歌\nTypography"));
    shelf.keep(win.picture(), QStringLiteral("vertical-sideways.png"));
}

// The right pane in IPAMincho at 22 pixels, with the sounds of each line counted.
void countSoundsInMincho(TMainForm1 &w)
{
    QFont mincho(QStringLiteral("IPAMincho"));
    mincho.setPixelSize(22);
    w.RichEditNx1()->setPaneFont(mincho);
    if (QAction *counts = w.action(QStringLiteral("MoraShow1")); counts && !counts->isChecked())
        counts->trigger();
}

// The poet's tools: a tanka with ruby (the caret's line shows its notation) and its sounds
// counted, a haiku with a ku too long, a date with tate-chū-yoko, in vertical and in
// horizontal writing, and the same printed.
void poetPictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    countSoundsInMincho(w);
    w.RichEditNx1()->setText(QStringLiteral(
        "春過ぎて 夏来にけらし ｜白妙《しろたへ》の 衣干すてふ 天《あま》の香具山《かぐやま》\n"
        "旅に病んで夢は枯野をかけ廻る\n"
        "2026年12月8日、A4判の紙に\n"
        "｜東風《こち》吹かば"));
    QTextCursor c = w.RichEditNx1()->textCursor();
    c.setPosition(w.RichEditNx1()->document()->lastBlock().position() + 3);
    w.RichEditNx1()->setTextCursor(c);
    shelf.keep(win.picture(), QStringLiteral("poet-vertical.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    shelf.keep(win.picture(), QStringLiteral("poet-horizontal.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    if (shelf.docsOnly)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(shelf.folder + QStringLiteral("/poet-print.pdf"));
    editor::applyDefaultMargins(&printer);
    if (editor::printPane(w.RichEditNx1(), &printer) < 1) {
        std::fprintf(stderr, "the poem was not printed\n");
        ++shelf.failures;
    }
    w.run(QStringLiteral("VHClick"));
    printer.setOutputFileName(shelf.folder + QStringLiteral("/poet-print-horizontal.pdf"));
    if (editor::printPane(w.RichEditNx1(), &printer, {QStringLiteral("poems.txt")}) < 1) {
        std::fprintf(stderr, "the poem was not printed in rows\n");
        ++shelf.failures;
    }
}

// Sounds counted by poem: a haiku on three lines, a tanka on two, a numbered list's line
// (its number and poet not counted), in both writings.
void poemCountPictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    countSoundsInMincho(w);
    w.RichEditNx1()->setText(
        QStringLiteral("古池や\n蛙飛び込む\n水の音\n\n"
                       "春過ぎて 夏来にけらし 白妙の\n衣ほすてふ 天の香具山\n\n"
                       "2　閑さや岩にしみ入る蝉の声　松尾芭蕉"));
    QTextCursor c = w.RichEditNx1()->textCursor();
    c.setPosition(w.RichEditNx1()->document()->findBlockByNumber(5).position() + 2);
    w.RichEditNx1()->setTextCursor(c);
    shelf.keep(win.picture(), QStringLiteral("poems-vertical.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    shelf.keep(win.picture(), QStringLiteral("poems-horizontal.png"), Shelf::Docs);
}

// The right pane in IPA Mincho of `pixels`.
TRichEditSx *inMincho(TMainForm1 &w, int pixels)
{
    TRichEditSx *pane = w.RichEditNx1();
    QFont mincho(QStringLiteral("IPAMincho"));
    mincho.setPixelSize(pixels);
    pane->setPaneFont(mincho);
    return pane;
}

// Ruby at the edges: a long ruby whose base wraps to the next column's top (or the next
// row's start), and the whole text selected over ruby in horizontal writing.
void rubyEdgePictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    TRichEditSx *pane = inMincho(w, 22);
    const int perColumn = 14;
    pane->setText(QStringLiteral("先\n") + QString(perColumn, u'あ') +
                  QStringLiteral("｜空《そらのうえのたかいところ》\n") +
                  QStringLiteral("｜空《そらのうえのたかいところ》は青い\n") +
                  QStringLiteral("春過ぎて ｜夏《なつ》来にけらし ｜白妙《しろたへ》の"));
    pane->setSelection(0, 0);
    shelf.keep(win.picture(), QStringLiteral("ruby-edge-vertical.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    shelf.keep(win.picture(), QStringLiteral("ruby-edge-horizontal.png"), Shelf::Docs);
    pane->setSelection(0, int(pane->text().size()));
    shelf.keep(win.picture(), QStringLiteral("ruby-selected-horizontal.png"), Shelf::Docs);
}

// The right pane's bar at 780 pixels has no room for its last controls: the » panel shows
// them, a window of its own, painted here over the window's picture where it stands.
void overflowPicture(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    w.RichEditNx1()->setText(QStringLiteral("春過ぎて\n夏来にけらし"));
    auto *strip = static_cast<ToolStrip *>(w.bar(TMainForm1::RightBar));
    QApplication::processEvents();
    if (!strip->overflowButton()->isVisible()) {
        std::fprintf(stderr, "the right bar has room for everything: no » panel to show\n");
        ++shelf.failures;
        return;
    }
    QTest::mouseClick(strip->overflowButton(), Qt::LeftButton);
    QWidget *panel = strip->overflowPanel();
    QImage picture = win.picture();
    if (panel && panel->isVisible()) {
        QPainter p(&picture);
        p.drawPixmap(panel->mapToGlobal(QPoint(0, 0)) - w.mapToGlobal(QPoint(0, 0)), panel->grab());
    }
    shelf.keep(picture, QStringLiteral("window-overflow.png"), Shelf::Docs);
    if (panel)
        panel->hide();
}

// The dialog after the poet registered 春日 as はるひ, with the next word proposed.
void readingDictionaryPicture(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    w.RichEditNx1()->setText(QStringLiteral("春日の山"));
    QTextCursor c = w.RichEditNx1()->textCursor();
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    w.RichEditNx1()->setTextCursor(c);
    w.run(QStringLiteral("ReadingDictionary1Click"));
    TReadingDialog *d = w.readingDialog();
    if (!d) {
        std::fprintf(stderr, "the reading dictionary did not open\n");
        ++shelf.failures;
        return;
    }
    d->readingEdit()->setText(QStringLiteral("はるひ"));
    d->registerWord();
    d->propose(QStringLiteral("三笠"), QStringLiteral("みかさ"));
    QApplication::processEvents();
    shelf.keep(d->grab().toImage(), QStringLiteral("reading-dictionary.png"), Shelf::Docs);
    d->close();
}

// Readings that are guesses, dotted beside their words in both writings, and the reading
// dictionary opened on one of them, offering the other readings.
void guessPictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    countSoundsInMincho(w);
    w.RichEditNx1()->setText(QStringLiteral("窓を開けると涼しい風が入ってきた。\n"
                                            "これは皃です\n"
                                            "鶯の鳴くや小き口あけて"));
    shelf.keep(win.picture(), QStringLiteral("guesses-vertical.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    shelf.keep(win.picture(), QStringLiteral("guesses-horizontal.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    QTextCursor c = w.RichEditNx1()->textCursor();
    c.setPosition(2);
    c.setPosition(5, QTextCursor::KeepAnchor);
    w.RichEditNx1()->setTextCursor(c);
    w.run(QStringLiteral("ReadingDictionary1Click"));
    TReadingDialog *d = w.readingDialog();
    if (!d || d->alternatives()->count() < 1) {
        std::fprintf(stderr, "the reading dictionary offers no other reading of 開ける\n");
        ++shelf.failures;
        return;
    }
    d->alternatives()->showPopup();
    QApplication::processEvents();
    QImage picture = d->grab().toImage();
    if (QWidget *popup = d->alternatives()->view()->window(); popup && popup->isVisible()) {
        QPainter p(&picture);
        p.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - d->mapToGlobal(QPoint(0, 0)),
                     popup->grab());
    }
    shelf.keep(picture, QStringLiteral("reading-alternatives.png"), Shelf::Docs);
    d->alternatives()->hidePopup();
    d->close();
}

// Read-along: a tanka read aloud by the real engine (Naoko's HTS voice when installed), the
// word being heard marked in vertical writing, then in horizontal writing.
void readAlongPictures(Shelf &shelf)
{
    Window win;
    TMainForm1 &w = *win.w;
    TRichEditSx *pane = inMincho(w, 24);
    const QString poem = QStringLiteral("春過ぎて　夏来にけらし　白妙の　衣ほすてふ　天の香具山");
    pane->setText(poem);
    pane->setSelection(0, 0);
    if (!w.reading()->EngineReady()) {
        std::fprintf(stderr, "no speech engine: read-along pictures skipped\n");
        return;
    }
    w.reading()->ParoleP1Click();
    const auto waitUntilHeard = [&](const QString &word) {
        const int at = int(poem.indexOf(word));
        for (int ms = 0; ms < 20000 && pane->spokenRange().first < at; ms += 20)
            QTest::qWait(20);
        return pane->spokenRange().first >= at;
    };
    if (!waitUntilHeard(QStringLiteral("白妙"))) {
        std::fprintf(stderr, "no word was marked as heard\n");
        ++shelf.failures;
        return;
    }
    shelf.keep(win.picture(), QStringLiteral("read-along-vertical.png"), Shelf::Docs);
    w.run(QStringLiteral("VHClick"));
    if (waitUntilHeard(QStringLiteral("天")))
        shelf.keep(win.picture(), QStringLiteral("read-along-horizontal.png"), Shelf::Docs);
    w.reading()->Reset1Click();
    w.run(QStringLiteral("VHClick"));
}

} // namespace

void saveWindowPictures(Shelf &shelf)
{
    guessPictures(shelf);
    writingPictures(shelf);
    poetPictures(shelf);
    poemCountPictures(shelf);
    rubyEdgePictures(shelf);
    readAlongPictures(shelf);
    overflowPicture(shelf);
    readingDictionaryPicture(shelf);
}

} // namespace gallery
