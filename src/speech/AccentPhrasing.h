#pragma once

// Tokyo pitch accent over a line's words: which words are said together as one accent
// phrase, where each phrase's pitch falls, and which vowels are whispered. The words'
// accents and the way each moves the accent of the phrase it joins come from naist-jdic
// ("1/2" and "C3" for 箸, "動詞%F2@1" for the auxiliary ます); the rules here combine them:
//   箸 (1) + を -> はしを high-low-low;  橋 (2) + を -> low-high-low;  端 (0) + を -> low-high-high
//   東京 (0) + 都 (C3: the nucleus moves to the joint) -> とうきょうと, falling after きょう.

#include "reading/MecabReader.h"
#include "speech/HtsLabels.h"

#include <QList>
#include <QString>

namespace speech {

struct ProsodyWord
{
    QString pronunciation; // katakana as said, ’ after a whispered mora
    reading::MecabReader::Features features;
    // A pause (a blank between ku, a comma) comes before the word: a new breath group.
    bool pauseBefore = false;
    // Where the word stands in its line, [begin, end); -1 when nowhere.
    qsizetype begin = -1;
    qsizetype end = -1;
};

// The words in accent phrases and breath groups, with each phrase's accent and the vowels
// between voiceless consonants whispered; `question` raises the last phrase.
QList<hts::BreathGroup> accentPhrases(const QList<ProsodyWord> &words, bool question = false);

// The voices' codes for a word's part of speech, conjugation type and form.
QString partOfSpeechCode(const reading::MecabReader::Features &f);
QString conjugationCode(const QString &conjugation);
QString formCode(const QString &form);

} // namespace speech
