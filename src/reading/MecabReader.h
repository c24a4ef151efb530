#pragma once

// MeCab and its dictionary: the words a dictionary knows at every position of a line, with
// their costs, for the reading engine's lattice; and the plain readings some callers want.
// espeak-ng's Japanese voice reads kana only (a kanji comes out as "Chinese letter"), so
// every text spoken in a Japanese mode goes through here first.
//
// Two dictionaries serve: the IPA dictionary (mecab-ipadic-utf8), and naist-jdic (Debian's
// open-jtalk-mecab-naist-jdic: ipadic's words corrected and extended, with each word's
// accent) when asked for; each stands in for the other when it is missing. Both order their
// features alike: part of speech (4), conjugation (2), base form, reading, pronunciation;
// naist-jdic adds the accent.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

namespace reading {

class MecabReader
{
public:
    enum class Dictionary { NaistJdic, Ipadic };
    // The dictionary asked for, or the other when it is missing.
    explicit MecabReader(Dictionary preferred = Dictionary::Ipadic);
    ~MecabReader();
    MecabReader(const MecabReader &) = delete;
    MecabReader &operator=(const MecabReader &) = delete;

    // False when MeCab or its dictionary could not be opened: the lattice then holds no
    // words, and reading() only drops the kanji.
    bool isOpen() const;
    // "naist-jdic" or "ipadic"; empty when none is open.
    QString dictionaryName() const;

    // The text with every word replaced by its pronunciation in katakana, MeCab's own best
    // analysis ("東京" -> "トーキョー"); words it does not know keep their surface without
    // their kanji. Blanks between words and line breaks are kept.
    QString reading(QStringView text) const;

    // A word's features as the dictionary gives them.
    struct Features
    {
        QString partOfSpeech; // "名詞", "助詞", "記号", ...
        QString detail;       // its first subdivision: "非自立", "接尾", "数", ...
        QString detail2;      // its second: "助数詞", "人名", ...
        QString detail3;      // its third: "姓", "名", ...
        QString conjugation; // the conjugation type: "五段・カ行イ音便", "カ変・来ル", ...
        QString form;        // the conjugated form: "連用形", ...
        QString base;        // the dictionary form
        QString reading;     // katakana as spelled ("キョウ"); empty when unknown
        QString pronunciation; // katakana as said ("キョー")
        int accent = -1;       // the accent nucleus (naist-jdic), -1 when not given
        int morae = 0;         // the morae the accent counts in (naist-jdic), 0 when not given
        // How the word moves the accent of the phrase it joins (naist-jdic): "C3" after a
        // noun, "動詞%F2@1/形容詞%F4@-2" by the part of speech before it; empty when none.
        QString accentRule;
        // Whether it joins the word before it in one accent phrase: 1, 0, or -1 when the
        // dictionary leaves that to the rules.
        int chain = -1;
    };
    // (Valid until the features of some 200,000 other entries have been asked for.)
    const Features &features(const char *feature) const;

    // MeCab's best analysis of `text`: each word with its place in `text` (UTF-16 units)
    // and its features. Blanks between words are left out.
    struct Token
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        QString surface;
        Features features;
        bool unknown = false;
    };
    QList<Token> analyse(QStringView text) const;

    // Every word the dictionary holds at each position of `text` (a run without blanks),
    // the unknown words MeCab makes up for the rest, with their connection classes and
    // costs. Positions are in UTF-16 units of `text`.
    struct Node
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        quint16 left = 0;  // left context class
        quint16 right = 0; // right context class
        int cost = 0;
        bool unknown = false;
        const char *feature = nullptr; // lives as long as the reader
    };
    QList<Node> lattice(QStringView text) const;

    // The cost of a word of right class `right` followed by one of left class `left`;
    // class 0 is the start or the end of the text.
    int connection(quint16 right, quint16 left) const;

private:
    struct Tagger;
    std::unique_ptr<Tagger> m_tagger;
};

} // namespace reading
