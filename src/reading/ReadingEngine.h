#pragma once
// Japanese text as it is pronounced today, word by word: what the speakers say, what the
// furigana shows. Layers, first match wins:
//   1. ruby written in the text (｜春日《かすが》, 春日《かすが》);
//   2. the poet's own dictionary (readings.tsv), longest match;
//   3. the classical lexicon compiled in, longest match, never starting inside a run of
//      kanji: poetic place names and poets' names everywhere, classical vocabulary in lines
//      that read as poetry (木の下 is このもと in a waka, きのした in prose);
//   4. MeCab with the IPA dictionary, on the rest, after historical kana has been brought
//      to its modern sound when the line is written in it;
// and throughout: numbers and dates read in Japanese, 々 ゝ ゞ repeating what they follow,
// punctuation as a pause, characters without a reading left silent.

#include "reading/Lexicon.h"
#include "reading/Mora.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

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
};

class ReadingEngine
{
public:
    ReadingEngine();
    ~ReadingEngine();
    ReadingEngine(const ReadingEngine &) = delete;
    ReadingEngine &operator=(const ReadingEngine &) = delete;

    // The poet's dictionary; an empty lexicon removes it.
    void setUserDictionary(const Lexicon &words) { m_user = words; }
    const Lexicon &userDictionary() const { return m_user; }
    // ~/.config/kotonami/readings.tsv ($XDG_CONFIG_HOME), where the dictionary is kept.
    static QString userDictionaryPath();
    // Reads it from that file; a missing file gives an empty dictionary.
    void loadUserDictionary();

    QList<Word> words(QStringView line) const;
    // The sounds of a line by ku, counted from its reading.
    LineMeter meter(QStringView line) const;

    // Lines as the Japanese voices get them: kana words separated by blanks, pauses as ", ",
    // Latin words as they are, line breaks kept.
    QString kana(QStringView text) const;
    // The same in Latin letters (Hepburn), for the English voices.
    QString romaji(QStringView text) const;
    // The text with ruby notation on every word written with kanji, the reading over the
    // kanji only (春日《かすが》, 過《す》ぎて); ruby already written stays as it is.
    QString withRuby(QStringView text) const;

private:
    // Whether a line is written in historical kana, and whether it reads as poetry: laid
    // out or worded as a poem, or as many sounds as a haiku or a tanka.
    std::pair<bool, bool> kindOfLine(QStringView line) const;
    // The words of a part of a line whose kind (historical kana, poetry) is already known.
    void readPart(QStringView part, bool historical, bool poetic, QList<Word> &out) const;
    // Each line's words made into text by lineText, the lines joined again with "\n".
    QString perLine(QStringView text,
                    const std::function<QString(const QList<Word> &)> &lineText) const;
    void readPlain(QStringView text, bool historical, bool poetic, QList<Word> &out) const;
    void readWithMecab(QStringView text, bool historical, bool poetic, QList<Word> &out) const;

    std::unique_ptr<MecabReader> m_mecab;
    Lexicon m_user;
};

} // namespace reading
