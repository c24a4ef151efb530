#pragma once

// Kana readings of Japanese text through MeCab and its IPA dictionary. espeak-ng's Japanese
// voice reads kana only (a kanji comes out as "Chinese letter"), so every text spoken in a
// Japanese mode goes through here first: "春過ぎて" becomes "ハルスギテ".

#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

namespace reading {

class MecabReader
{
public:
    MecabReader();
    ~MecabReader();
    MecabReader(const MecabReader &) = delete;
    MecabReader &operator=(const MecabReader &) = delete;

    // False when MeCab or its dictionary could not be opened; reading() then only drops
    // the kanji (so the voice never spells them out) and keeps the rest.
    bool isOpen() const;

    // The text with every word the dictionary knows replaced by its pronunciation in
    // katakana ("は" as a particle becomes "ワ", "東京" becomes "トーキョー"). Words the
    // dictionary does not know keep their surface, without their kanji. Blanks between
    // words and line breaks are kept, so "ASCII text" stays two words.
    QString reading(QStringView text) const;

    // One line cut into the dictionary's words: the surface, its reading and pronunciation
    // in katakana (empty for a word the dictionary does not know), and its part of speech.
    struct Token
    {
        QString surface;
        QString reading;
        QString pronunciation;
        QString partOfSpeech; // "名詞", "助詞", "記号", ...
        QString detail;       // the part of speech's first subdivision: "非自立", "接尾", ...
    };
    QList<Token> tokens(QStringView line) const;

private:
    struct Tagger;
    std::unique_ptr<Tagger> m_tagger;
};

} // namespace reading
