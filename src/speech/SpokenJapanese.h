#pragma once

// A line of Japanese as an HTS voice is to say it: the reading engine decides what is said
// (ruby, the poet's dictionary, the classical lexicon, the meter), naist-jdic says how:
// each word whose reading it shares keeps its accent and the way it joins its neighbours;
// a word it reads otherwise is looked up again by its kana, and failing that said flat.

#include "reading/MecabReader.h"
#include "speech/AccentPhrasing.h"
#include "speech/HtsLabels.h"

#include <QStringList>
#include <QStringView>

namespace reading {
class ReadingEngine;
struct Word;
} // namespace reading

namespace speech {

class SpokenJapanese
{
public:
    // The engine must outlive this object; it is only read.
    explicit SpokenJapanese(const reading::ReadingEngine &engine);

    // Whether naist-jdic is there to give accents; without it every phrase is said flat.
    bool hasAccents() const { return m_accents; }

    // The words of one line (no line breaks) as they are said, with their accent features.
    QList<ProsodyWord> prosodyWords(QStringView line) const;
    QList<hts::BreathGroup> utterance(QStringView line) const;
    // The labels of a line, empty when nothing in it is said; with `spans`, where each
    // label's word stands in the line ({-1, -1} for silence and pauses).
    QStringList labels(QStringView line,
                       QList<std::pair<qsizetype, qsizetype>> *spans = nullptr) const;

    // Whether two pronunciations sound alike: the same morae, a long vowel written ー or by
    // its kana (トーキョー, とうきょう), whispered or not.
    static bool soundsAlike(QStringView a, QStringView b);

private:
    QList<ProsodyWord> wordsOf(const QList<reading::Word> &group) const;
    QList<ProsodyWord> byKana(const QString &kana) const;

    const reading::ReadingEngine &m_engine;
    reading::MecabReader m_naist;
    bool m_accents = false;
};

} // namespace speech
