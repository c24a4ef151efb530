#pragma once
// What a word MeCab finds in a line costs beyond the dictionary's own cost, in its place:
// the rules that make a reading unlikely where it stands (a contraction before a kanji, a
// name that took a verb's stem, a kanji's Chinese sound alone in verse, a country's name
// for the plain noun, a word that starts where an old print left a kana out).

#include "reading/MecabReader.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace reading {

// What the lattice's rules add to a word's cost, or take from it.
// A particle or an auxiliary does not start a run of text (はたらけど is no は).
constexpr int DependentAtStartCost = 6000;
constexpr int LoneCountryCost = 20000;
// A word MeCab makes up that takes in the 哉 ending a poem.
constexpr int ClosingKanaSwallowedCost = 20000;
constexpr int ContractionCost = 6000;
constexpr int NameBeforeOkuriganaCost = 12000;
// A long run of hiragana MeCab knows no word for is mostly words it missed (ほろびしものは
// is no one noun): its own words over the run, particles among them, are read instead.
constexpr int UnknownKanaRunCost = 10000;
constexpr qsizetype UnknownKanaRun = 4;
// And each kana beyond those: the longer, the likelier a sentence MeCab did not part.
constexpr int UnknownKanaCost = 2500;
// A kanji alone read by its Chinese sound in a waka.
constexpr int OnAloneCost = 3000;

class NodeCosts
{
public:
    // The nodes of one look-up of MeCab over `mecabText` from `shift` on, in a piece of a
    // line whose text as written is `text`; `leftOut` holds where old prints left a kana out.
    NodeCosts(const MecabReader &mecab, QStringView text, QStringView mecabText, bool poetic,
              bool recited, const QSet<qsizetype> &leftOut, const QList<MecabReader::Node> &nodes,
              qsizetype shift);

    // What a node costs beyond its own where it stands.
    int extra(const MecabReader::Node &node) const;
    // Whether the node is a noun of one kanji the kanji writes alone, and if so whether
    // MeCab reads it by its Chinese sound.
    bool aloneNoun(const MecabReader::Node &node, bool *on) const;
    // In a recited waka, the native word KANJIDIC gives for a kanji alone at the node's start
    // that MeCab reads only by its Chinese sound; else empty.
    QString kunAlone(qsizetype nodeBegin) const { return m_kunAlone.value(nodeBegin); }

private:
    bool nameBeforeOkurigana(const MecabReader::Node &node) const;
    bool numberAsName(QStringView word, const char *feature) const;
    bool dependent(const char *feature) const;

    const MecabReader &m_mecab;
    QStringView m_text;
    QStringView m_mecabText;
    bool m_poetic = false;
    const QSet<qsizetype> &m_leftOut;
    qsizetype m_shift = 0;
    QSet<std::pair<qsizetype, QString>> m_countries;
    QSet<qsizetype> m_nativeAlone;
    QHash<qsizetype, QString> m_kunAlone;
    QSet<qsizetype> m_wordStarts;
    std::vector<bool> m_longWordStarts;
};

} // namespace reading
