// The edit control on large texts, in both views: opening a code page 932 file to its first
// screen and until all of it is in (beside a bare QPlainTextEdit given the same text, the
// yardstick, and a bare QTextDocument taking it in), the memory that takes, and a key (in
// Noto CJK too), an Enter and a paste of 1 MB in the middle, each with what the window does
// after it (the caret's row for the status bar and the repaint of what it changed on the
// screen), and an undo and redo, and paging through the text with the memory the pages
// left behind keep.
// Run: bench_editor [--benchmark_filter=...]; sizes are 10 and 50 MB of Japanese lines.
#include "GuiBenchMain.h"
#include "editor/RichEditSx.h"
#include "editor/RichUndoMemory.h"
#include "editor/VerticalTextView.h"
#include "reading/ReadingEngine.h"
#include "shell/FontNames.h"
#include "text/DocumentFile.h"
#include "text/LargeTextMemory.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <map>
#include <tuple>
#include <unistd.h>

namespace {

// Lines of waka with their numbers, encoded in code page 932, about `mb` megabytes. With
// `poet`, the poems are parted in ku and carry ruby and dates, what the poet's tools set.
const QByteArray &cp932File(int mb, bool poet = false)
{
    static std::map<std::pair<int, bool>, QByteArray> files;
    QByteArray &bytes = files[{mb, poet}];
    if (bytes.isEmpty()) {
        QString text;
        const QString poems[] = {
            QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山"),
            QStringLiteral("秋の田のかりほの庵の苫をあらみわが衣手は露にぬれつつ"),
            QStringLiteral("ちはやぶる神代もきかず竜田川からくれなゐに水くくるとは")};
        const QString poetPoems[] = {
            QStringLiteral("春過ぎて 夏来にけらし ｜白妙《しろたへ》の 衣ほすてふ 天の香具山"),
            QStringLiteral("秋の田の かりほの庵《いほ》の 苫をあらみ わが衣手は 露にぬれつつ"),
            QStringLiteral(
                "12月8日 神代もきかず 竜田川《たつたがは》 からくれなゐに 水くくるとは")};
        for (int i = 0; text.size() * 2 < qsizetype(mb) * 1000000; ++i)
            text += (poet ? poetPoems : poems)[i % 3] + QStringLiteral("　%1\n").arg(i);
        text::DocumentFormat format;
        format.encoding = text::FileEncoding::Cp932;
        bytes = text::encodeDocument(text, format).bytes;
    }
    return bytes;
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6;
}

// The sounds of a line as the window counts them for its notes: by the reading engine,
// kept by line text.
editor::LineNote soundsOf(const QTextBlock &block)
{
    static reading::ReadingEngine engine;
    const QString line = block.text();
    static QHash<QString, editor::LineNote> kept;
    auto it = kept.find(line);
    if (it == kept.end()) {
        const reading::LineMeter m = engine.meter(line);
        editor::LineNote note;
        note.values = m.ku;
        for (qsizetype k = 0; k < m.ku.size(); ++k)
            note.marks.append(m.deviation(k));
        it = kept.insert(line, note);
    }
    return *it;
}

// The pane's own font, IPA Mincho where installed.
const QString kPaneFont = QStringLiteral("ＭＳ 明朝");
// A font whose glyphs cost Qt several times as much to paint as IPA Mincho's.
const QString kNotoFont = QStringLiteral("Noto Serif CJK JP");

struct Pane
{
    editor::TRichEditSx pane;
    // With `poet`, ruby shown, short runs upright and each line's sounds counted.
    Pane(bool vertical, bool poet = false, const QString &family = kPaneFont)
    {
        if (poet) {
            pane.setTypesetting({true, 2, false});
            pane.setLineNotes(soundsOf);
        }
        QFont f = shell::programFont(family, 18);
        pane.setPaneFont(f);
        pane.resize(780, 560);
        pane.setVertical(vertical);
        pane.show();
        QApplication::processEvents();
    }
    QWidget *view() const { return pane.activeView(); }
    // What the window does after each edit: the caret's row, and what the edit changed on
    // the screen painted, as the event loop paints it next (QWidget::render would paint
    // the whole view, and lay out the hidden one, which the window never asks for).
    void afterEdit()
    {
        benchmark::DoNotOptimize(pane.rowOfPosition(pane.selStart()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
    // Opened to its first screen, painted whole as the bare edit control's is. The rest of
    // a long text is still to be loaded then, while the event loop is idle.
    void open(const QByteArray &bytes)
    {
        pane.setText(text::decodeDocument(bytes).text);
        benchmark::DoNotOptimize(pane.rowOfPosition(pane.selStart()));
        activeViewport()->repaint();
    }
    // Opened with all of the text in, as the first key or save has it.
    void openWhole(const QByteArray &bytes)
    {
        open(bytes);
        pane.finishLoading();
    }
    QWidget *activeViewport() const
    {
        return pane.Vertical() ? pane.verticalView()->viewport()
                               : pane.horizontalView()->viewport();
    }
};

// One opened pane per view, size and font, kept for the editing figures.
Pane &opened(bool vertical, int mb, bool poet = false, const QString &family = kPaneFont)
{
    static std::map<std::tuple<bool, int, bool, QString>, Pane *> panes;
    Pane *&p = panes[{vertical, mb, poet, family}];
    if (!p) {
        // Kept until the process ends, like the application's widgets.
        p = new Pane(vertical, poet, family);
        p->openWhole(cp932File(mb, poet));
    }
    return *p;
}

// Opening, timed to the first screen (the rest of the text then taken in untimed, for the
// memory of all of it) or, `whole`, until all of the text is in: a part each time the event
// loop is idle, each shown as it comes (the view grows its scroll bar, and repaints).
void openings(benchmark::State &state, bool whole)
{
    const bool vertical = state.range(0);
    const QByteArray &bytes = cp932File(int(state.range(1)));
    double grown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const double before = residentMegabytes();
        state.ResumeTiming();
        auto pane = std::make_unique<Pane>(vertical);
        pane->open(bytes);
        while (whole && pane->pane.isLoading())
            QCoreApplication::processEvents();
        state.PauseTiming();
        pane->pane.finishLoading();
        grown = residentMegabytes() - before;
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["MB_file"] = double(bytes.size()) / 1e6;
    state.counters["MB_memory"] = grown;
}

void BM_Open(benchmark::State &state)
{
    openings(state, false);
}

void BM_OpenWhole(benchmark::State &state)
{
    openings(state, true);
}

void BM_OpenBareQPlainTextEdit(benchmark::State &state)
{
    const QByteArray &bytes = cp932File(int(state.range(0)));
    double grown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const double before = residentMegabytes();
        state.ResumeTiming();
        auto edit = std::make_unique<QPlainTextEdit>();
        edit->resize(780, 560);
        edit->show();
        edit->setPlainText(text::decodeDocument(bytes).text);
        edit->viewport()->repaint();
        grown = residentMegabytes() - before;
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
    state.counters["MB_memory"] = grown;
}

// The text taken in by a QTextDocument and nothing else: what any edit control built on it
// pays, before a view shows a line.
void BM_OpenQTextDocumentAlone(benchmark::State &state)
{
    const QByteArray &bytes = cp932File(int(state.range(0)));
    for (auto _ : state) {
        auto document = std::make_unique<QTextDocument>();
        document->setUndoRedoEnabled(false);
        document->setPlainText(text::decodeDocument(bytes).text);
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
}

// The caret moved to the middle of the text and shown there, as once the user has gone
// there: the figures that follow are those of each further keystroke.
void middleCaret(Pane &p)
{
    p.pane.setSelection(p.pane.document()->characterCount() / 2, 0);
    p.pane.activeView()->setFocus();
    p.afterEdit();
}

// The first row query in the middle of a text just opened and shown: the horizontal view
// counts every line before the caret to know its row.
void firstRowQuery(benchmark::State &state, const QString &text)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = std::make_unique<Pane>(state.range(0));
        pane->pane.setText(text);
        pane->afterEdit();
        pane->pane.setSelection(pane->pane.document()->characterCount() / 2, 0);
        state.ResumeTiming();
        pane->afterEdit();
        state.PauseTiming();
        pane.reset();
        state.ResumeTiming();
    }
}

void BM_FirstCaretRowInTheMiddle(benchmark::State &state)
{
    firstRowQuery(state, text::decodeDocument(cp932File(int(state.range(1)))).text);
}

// The same in prose: paragraphs of 300 characters, several rows each, which the
// horizontal view counts without laying them out.
void BM_FirstCaretRowInProse(benchmark::State &state)
{
    QString paragraph;
    for (int i = 0; i < 10; ++i)
        paragraph += QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山。");
    QString text;
    while (text.size() * 2 < state.range(1) * 1000000)
        text += paragraph + QLatin1Char('\n');
    firstRowQuery(state, text);
}

// A key in the middle; with `poet`, ruby, upright runs and the sounds of each line on, in a
// text of poems parted in ku with ruby and dates.
void typeKeys(benchmark::State &state, bool poet, const QString &family = kPaneFont)
{
    Pane &p = opened(state.range(0), int(state.range(1)), poet, family);
    middleCaret(p);
    for (auto _ : state) {
        QTest::keyClick(p.view(), Qt::Key_A);
        p.afterEdit();
    }
}

void BM_Key(benchmark::State &state)
{
    typeKeys(state, false);
}

void BM_KeyWithPoetsTools(benchmark::State &state)
{
    typeKeys(state, true);
}

// Keys in Noto CJK, whose glyphs cost more to paint than IPA Mincho's.
void BM_KeyInNotoCJK(benchmark::State &state)
{
    if (!QFontDatabase::families().contains(kNotoFont)) {
        state.SkipWithError("Noto Serif CJK JP is not installed (fonts-noto-cjk)");
        return;
    }
    typeKeys(state, false, kNotoFont);
}

void BM_Enter(benchmark::State &state)
{
    Pane &p = opened(state.range(0), int(state.range(1)));
    middleCaret(p);
    for (auto _ : state) {
        QTest::keyClick(p.view(), Qt::Key_Return);
        p.afterEdit();
    }
}

// The same keys in a bare QPlainTextEdit holding the same text, caret in the middle, each
// followed by the paint it asks for: what the pane's Enter and key are measured against.
void bareKeys(benchmark::State &state, Qt::Key key)
{
    static std::map<int, std::unique_ptr<QPlainTextEdit>> edits;
    auto &edit = edits[int(state.range(0))];
    if (!edit) {
        edit = std::make_unique<QPlainTextEdit>();
        edit->setFont(shell::programFont(kPaneFont, 18));
        edit->resize(780, 560);
        edit->show();
        edit->setPlainText(text::decodeDocument(cp932File(int(state.range(0)))).text);
    }
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(c);
    edit->setFocus();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    for (auto _ : state) {
        QTest::keyClick(edit.get(), key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
}

void BM_EnterBareQPlainTextEdit(benchmark::State &state)
{
    bareKeys(state, Qt::Key_Return);
}

void BM_KeyBareQPlainTextEdit(benchmark::State &state)
{
    bareKeys(state, Qt::Key_A);
}

void BM_Paste1MB(benchmark::State &state)
{
    Pane &p = opened(state.range(0), int(state.range(1)));
    middleCaret(p);
    QApplication::clipboard()->setText(text::decodeDocument(cp932File(1)).text);
    for (auto _ : state) {
        p.pane.paste();
        p.afterEdit();
    }
}

// Runs of typing broken by a click, as a writer works: each click and the first key after
// it make the undo memory store a step. The memory the fifteen steps take is a counter.
void BM_ClickThenType(benchmark::State &state)
{
    Pane &p = opened(state.range(0), int(state.range(1)));
    middleCaret(p);
    malloc_trim(0);
    const double before = residentMegabytes();
    int i = 0;
    for (auto _ : state) {
        p.pane.setSelection(p.pane.document()->characterCount() / 2 + 7 * (i++ % 50), 0);
        p.pane.recordAction(editor::ActionMouse);
        for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C})
            QTest::keyClick(p.view(), key);
        p.afterEdit();
    }
    state.counters["MB_grown"] = residentMegabytes() - before;
}

// The first step the undo memory stores in a text just opened: a click in the middle and a
// word typed there. What the memory keeps for it is a counter.
void BM_FirstStepAfterOpening(benchmark::State &state)
{
    double grown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto p = std::make_unique<Pane>(state.range(0));
        p->openWhole(cp932File(int(state.range(1))));
        middleCaret(*p);
        malloc_trim(0);
        const double before = residentMegabytes();
        state.ResumeTiming();
        p->pane.recordAction(editor::ActionMouse);
        for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C})
            QTest::keyClick(p->view(), key);
        p->afterEdit();
        state.PauseTiming();
        malloc_trim(0);
        grown = residentMegabytes() - before;
        p.reset();
        state.ResumeTiming();
    }
    state.counters["MB_grown"] = grown;
}

// An undo and a redo of a word typed in the middle, each with what the window does after it.
void BM_UndoRedo(benchmark::State &state)
{
    Pane &p = opened(state.range(0), int(state.range(1)));
    middleCaret(p);
    p.pane.recordAction(editor::ActionMouse);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C})
        QTest::keyClick(p.view(), key);
    for (auto _ : state) {
        p.pane.undo();
        p.afterEdit();
        p.pane.redo();
        p.afterEdit();
    }
}

// Paging down from the start of the text, each page with what the window does after it.
// What the layouts of the pages left behind keep is a counter.
void BM_PageDown(benchmark::State &state)
{
    Pane &p = opened(state.range(0), int(state.range(1)));
    p.pane.setSelection(0, 0);
    p.pane.activeView()->setFocus();
    p.afterEdit();
    malloc_trim(0);
    const double before = residentMegabytes();
    for (auto _ : state) {
        QTest::keyClick(p.view(), Qt::Key_PageDown);
        p.afterEdit();
    }
    malloc_trim(0);
    state.counters["MB_grown"] = residentMegabytes() - before;
}

void sizes(benchmark::internal::Benchmark *b)
{
    for (int vertical : {1, 0})
        for (int mb : {10, 50})
            b->Args({vertical, mb});
    b->ArgNames({"vertical", "MB"})->Unit(benchmark::kMillisecond);
}

// Opening, five times each, the median counted: the first opening in a process runs cold
// and is up to a tenth slower, which alone would move the growth from 10 to 50 MB by as
// much, and the others vary by some 5 %.
constexpr int kOpenings = 5;

void bareOpenings(benchmark::internal::Benchmark *b)
{
    b->Arg(10)->Arg(50)->ArgName("MB")->Unit(benchmark::kMillisecond);
    b->Iterations(1)->Repetitions(kOpenings)->ReportAggregatesOnly();
}

BENCHMARK(BM_Open)->Apply(sizes)->Iterations(1)->Repetitions(kOpenings)->ReportAggregatesOnly();
BENCHMARK(BM_OpenWhole)
    ->Apply(sizes)
    ->Iterations(1)
    ->Repetitions(kOpenings)
    ->ReportAggregatesOnly();
BENCHMARK(BM_OpenBareQPlainTextEdit)->Apply(bareOpenings);
BENCHMARK(BM_OpenQTextDocumentAlone)->Apply(bareOpenings);
BENCHMARK(BM_FirstCaretRowInTheMiddle)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_FirstCaretRowInProse)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_Key)->Apply(sizes)->Iterations(1000);
BENCHMARK(BM_KeyWithPoetsTools)->Apply(sizes)->Iterations(1000);
BENCHMARK(BM_KeyInNotoCJK)->Apply(sizes)->Iterations(1000);
BENCHMARK(BM_Enter)->Apply(sizes)->Iterations(1000);
BENCHMARK(BM_KeyBareQPlainTextEdit)
    ->Arg(50)
    ->ArgName("MB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK(BM_EnterBareQPlainTextEdit)
    ->Arg(50)
    ->ArgName("MB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK(BM_Paste1MB)->Apply(sizes)->Iterations(3);
BENCHMARK(BM_ClickThenType)->Apply(sizes)->Iterations(30);
BENCHMARK(BM_FirstStepAfterOpening)->Apply(sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo)->Apply(sizes)->Iterations(30);
BENCHMARK(BM_PageDown)->Apply(sizes)->Iterations(5000);

} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
