#pragma once
// Japanese text as it is pronounced today, word by word: what the speakers say, what the
// furigana shows. Each run of Japanese text is a lattice of candidate words from every
// source, and its reading is the cheapest path through them (Lattice.h):
//   - ruby written in the text (｜春日《かすが》), which always wins;
//   - the poet's own dictionary (readings.tsv), which wins wherever it matches;
//   - MeCab's words at every position, with the IPA dictionary (or naist-jdic), on the
//     text as written and, for historical kana, on the text brought to today's spelling;
//   - the classical lexicon compiled in: poetic place names and poets' names everywhere,
//     classical vocabulary in lines that read as poetry (木の下 is このもと in a waka),
//     each costed as MeCab's own words over the same span, less a bonus;
//   - a reading for every kanji (KANJIDIC, Unihan), so that no kanji is ever silent.
// Then small rewriters over the chosen words: numbers with their counters, 々, particles
// said わ and え, the classical verbs of poetry (行く ゆく, 来 き/く/こ). In a line that reads
// as a poem, of the nearly as cheap paths the one whose ku keep 5-7-5(-7-7) is taken.

#include "reading/Lexicon.h"
#include "reading/Mora.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <mutex>

namespace reading {

class MecabReader;

struct Word
{
    enum class Kind { Japanese, Latin, Pause };
    QString surface; // as written (ruby notation removed)
    QString kana;    // hiragana, as pronounced; Latin words keep their letters
    Kind kind = Kind::Japanese;
    bool fromRuby = false;
    // A particle, auxiliary or dependent word: said together with the word before it, so
    // that the blanks fall between words as a reader pauses ("はる すぎて").
    bool joinsPrevious = false;
    // Where the word stands in the line given to words(): [begin, end), ruby notation
    // included for a word read from its ruby.
    qsizetype begin = 0;
    qsizetype end = 0;
    // A guess: a kanji no dictionary word covers, read from the kanji dictionary, or a word
    // another analysis nearly as likely reads otherwise. `alternatives` are the other
    // readings worth offering.
    bool doubtful = false;
    QStringList alternatives;
};

class ReadingEngine
{
public:
    // With the IPA dictionary, which reads poems best of the two (bench/reading_figures);
    // "naist-jdic" asks for that one. The other serves when the one asked for is missing.
    explicit ReadingEngine(const QString &dictionary = QString());
    ~ReadingEngine();
    // The MeCab dictionary in use: "naist-jdic", "ipadic", or empty for none.
    QString dictionaryName() const;
    ReadingEngine(const ReadingEngine &) = delete;
    ReadingEngine &operator=(const ReadingEngine &) = delete;

    // The poet's dictionary; an empty lexicon removes it.
    void setUserDictionary(const Lexicon &words) { m_user = words; }
    const Lexicon &userDictionary() const { return m_user; }
    // ~/.config/kotonami/readings.tsv ($XDG_CONFIG_HOME), where the dictionary is kept.
    static QString userDictionaryPath();
    // Reads it from that file; a missing file gives an empty dictionary. Returns what went
    // wrong: the file could not be read, or lines of it were not understood.
    QStringList loadUserDictionary();

    QList<Word> words(QStringView line) const;
    // The sounds of a line by ku, counted from its reading; the words they were counted
    // from in `words`, when given.
    LineMeter meter(QStringView line, QList<Word> *words = nullptr) const;
    // The sounds of consecutive lines, counted as one poem where they make one (a haiku on
    // three lines), measured against `form`; each line's words in `words`, when given.
    StanzaMeter meterOfLines(const QList<QStringView> &lines, PoemForm form,
                             QList<QList<Word>> *words = nullptr) const;

    // Lines as the Japanese voices get them: kana words separated by blanks, pauses as ", ",
    // Latin words as they are, line breaks kept.
    QString kana(QStringView text) const;
    // The same in Latin letters (Hepburn), for the English voices.
    QString romaji(QStringView text) const;
    // The text with ruby notation on every word written with kanji, the reading over the
    // kanji only (春日《かすが》, 過《す》ぎて); ruby already written stays as it is. With
    // `historical`, the ruby of a classical word whose historical spelling the lexicon
    // knows is written so (白妙《しろたへ》, 今日《けふ》); the rest in today's kana.
    QString withRuby(QStringView text, bool historical = false) const;

private:
    struct LineKind
    {
        bool historical = false;
        bool poetic = false;
        // The ku of a poem parted by blanks into three or five, and the sounds each should
        // have (5, 7, 5, 7, 7).
        QList<std::pair<qsizetype, qsizetype>> ku;
        QList<int> kuMorae;
        // A poem written without blanks: where it stands in the line; else -1, -1.
        std::pair<qsizetype, qsizetype> oneRun{-1, -1};
        // A waka, said as it is recited (逢ふ おう, いふ ゆう), not a haiku (這ふ はう).
        bool recited = false;
        // Written as prose is: in sentences (。、「」), or longer than a poem.
        bool prose = false;
        // A run of words that numbers of a few part from the rest of its ku or poem
        // (四五人に月落ちかかる踊かな), and the sounds the numbers leave it.
        struct Held
        {
            qsizetype begin = -1;
            qsizetype end = -1;
            int morae = 0;
        } held;
        // The sounds a run of text [begin, end) of the line should have: its ku's, -1 for a
        // whole poem in one run (17 or 31), 0 when the meter says nothing.
        int targetFor(qsizetype begin, qsizetype end) const;
    };
    // Whether a line is written in historical kana, and whether it reads as poetry: laid
    // out or worded as a poem (ku parted by blanks, cutting words, classical endings), or
    // as many sounds as a haiku or a tanka with classical words in it.
    LineKind kindOfLine(QStringView line) const;
    // The words of a line whose kind is already known.
    QList<Word> readLine(QStringView line, LineKind kind) const;
    // Each line's words made into text by lineText, the lines joined again with "\n".
    QString perLine(QStringView text,
                    const std::function<QString(const QList<Word> &)> &lineText) const;
    // Text without ruby, at `offset` in its line.
    void readPlain(QStringView text, qsizetype offset, LineKind kind, QList<Word> &out) const;
    // A run of Japanese text (no blanks, marks or Latin letters); `origin` gives the
    // position in the line of each of its characters and of its end.
    void readRun(QStringView text, const QList<qsizetype> &origin, LineKind kind,
                 QList<Word> &out) const;

    // naist-jdic, for the voiced forms of words in compounds it marks (空 ゾラ); opened on
    // first use.
    const MecabReader &formsDictionary() const;

    std::unique_ptr<MecabReader> m_mecab;
    mutable std::unique_ptr<MecabReader> m_forms;
    mutable std::once_flag m_formsOnce;
    // MeCab's context classes and cost of a common noun: what a candidate of another source
    // has where no word of MeCab's spans it.
    quint16 m_nounLeft = 0;
    quint16 m_nounRight = 0;
    int m_nounCost = 5000;
    Lexicon m_user;
};

} // namespace reading
