// The Japanese speakers' HTS voices: the labels they are given, the accent phrases behind
// them, and the pitch that comes out, measured in the audio.
#include "reading/ReadingEngine.h"
#include "speech/AccentPhrasing.h"
#include "speech/HtsLabels.h"
#include "speech/HtsVoice.h"
#include "speech/Recitation.h"
#include "speech/SpokenJapanese.h"
#include "text/FileEncoding.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

using namespace speech;

namespace {

QString moraeText(const QList<hts::Mora> &morae)
{
    QStringList out;
    for (const hts::Mora &m : morae)
        out << m.consonant + m.vowel;
    return out.join(u' ');
}

const reading::ReadingEngine &engine()
{
    static const reading::ReadingEngine e;
    return e;
}

const SpokenJapanese &spoken()
{
    static const SpokenJapanese s(engine());
    return s;
}

// Each accent phrase as its morae and accent, "|" for a pause: "hashio:1".
QString phrasesOf(const QList<hts::BreathGroup> &groups)
{
    QStringList out;
    for (const hts::BreathGroup &g : groups) {
        if (!out.isEmpty())
            out << QStringLiteral("|");
        for (const hts::AccentPhrase &p : g) {
            QString said;
            for (const hts::LabelWord &w : p.words)
                said += moraeText(hts::morae(w.pronunciation)).remove(u' ');
            out << said + u':' + QString::number(p.accent);
        }
    }
    return out.join(u' ');
}

} // namespace

TEST(HtsLabels, KanaBecomeTheMoraeTheVoiceKnows)
{
    const struct
    {
        const char16_t *kana;
        const char *morae;
    } cases[] = {
        {u"キャット", "kya cl to"},
        {u"トーキョー", "to o kyo o"},
        {u"ティーシャツ", "ti i sha tsu"},
        {u"ウォッカ", "wo cl ka"},
        {u"ファイル", "fa i ru"},
        {u"シェフ", "she fu"},
        {u"デュエット", "dyu e cl to"},
        {u"マシ’タ", "ma shI ta"},
        {u"ンー", "N"},
        {u"じゃんけん", "ja N ke N"},
        {u"ぢゃ ゐ ゑ を", "ja i e o"},
    };
    for (const auto &c : cases) {
        const QString kana = QString::fromUtf16(c.kana);
        EXPECT_EQ(moraeText(hts::morae(kana)), QString::fromLatin1(c.morae)) << kana.toStdString();
        // Each mora ends where the next one starts.
        const QList<qsizetype> ends = hts::moraEnds(kana);
        ASSERT_EQ(ends.size(), hts::morae(kana).size());
        qsizetype from = 0;
        QString again;
        for (qsizetype end : ends) {
            EXPECT_GT(end, from);
            again += kana.mid(from, end - from);
            from = end;
        }
        EXPECT_EQ(again, kana.left(from));
    }
}

TEST(HtsLabels, EachPhonemeKnowsItsMoraPhraseAndBreathGroup)
{
    // 箸を, a pause, 端で: two breath groups of one phrase each.
    const hts::LabelWord hashi{QStringLiteral("ハシ"), QStringLiteral("02")};
    const hts::LabelWord o{QStringLiteral("ヲ"), QStringLiteral("13")};
    const hts::LabelWord de{QStringLiteral("デ"), QStringLiteral("13")};
    const QStringList labels = hts::fullContextLabels(
        {{hts::AccentPhrase{{hashi, o}, 1, false}}, {hts::AccentPhrase{{hashi, de}, 0, true}}});
    // sil h a sh i o pau h a sh i d e sil
    ASSERT_EQ(labels.size(), 14);
    EXPECT_EQ(labels[0],
              QStringLiteral("xx^xx-sil+h=a/A:xx+xx+xx/B:xx-xx_xx/C:xx_xx+xx/D:02+xx_xx"
                             "/E:xx_xx!xx_xx-xx/F:xx_xx#xx_xx@xx_xx|xx_xx/G:3_1%0_xx_xx/H:xx_xx"
                             "/I:xx-xx@xx+xx&xx-xx|xx+xx/J:1_3/K:2+2-6"));
    EXPECT_EQ(labels[2], QStringLiteral("sil^h-a+sh=i/A:0+1+3/B:xx-xx_xx/C:02_xx+xx/D:13+xx_xx"
                                        "/E:xx_xx!xx_xx-xx/F:3_1#0_xx@1_1|1_3/G:3_3%1_xx_0/H:xx_xx"
                                        "/I:1-3@1+2&1-2|1+6/J:1_3/K:2+2-6"));
    EXPECT_EQ(labels[6],
              QStringLiteral("i^o-pau+h=a/A:xx+xx+xx/B:13-xx_xx/C:xx_xx+xx/D:02+xx_xx"
                             "/E:3_1!0_xx-xx/F:xx_xx#xx_xx@xx_xx|xx_xx/G:3_3%1_xx_xx/H:1_3"
                             "/I:xx-xx@xx+xx&xx-xx|xx+xx/J:1_3/K:2+2-6"));
    // The particle で after the pause: the last mora of a flat phrase that is a question.
    EXPECT_TRUE(
        labels[12].startsWith(QStringLiteral("i^d-e+sil=xx/A:0+3+1/B:02-xx_xx/C:13_xx+xx")));
    EXPECT_TRUE(labels[12].contains(QStringLiteral("/E:3_1!0_xx-0/F:3_3#1_xx@1_1|1_3")));
    EXPECT_TRUE(
        hts::fullContextLabels({{hts::AccentPhrase{{hts::LabelWord{QStringLiteral("、")}}}}})
            .isEmpty());
}

TEST(AccentPhrasing, WordsJoinIntoPhrasesWithTheirAccent)
{
    if (!spoken().hasAccents())
        GTEST_SKIP() << "naist-jdic is not installed";
    const struct
    {
        const char16_t *line;
        const char *phrases;
    } cases[] = {
        // Where the pitch falls tells these apart: after the first mora, the second, never.
        {u"箸を", "hashio:1"},
        {u"橋を", "hashio:2"},
        {u"鼻を", "hanao:0"},
        // A suffix moves the accent to the joint; an auxiliary to itself.
        {u"東京都に行きたいです", "tookyootoni:4 ikItaidesU:3"},
        {u"花が咲きました", "hanaga:2 sakimashIta:3"},
        // Counters keep their sound changes and move the accent as counters do.
        {u"鉛筆を一本", "eNpItsuo:0 iclpoN:2"},
        // A blank between ku is a pause; ruby is said as written over its kanji.
        {u"春すぎて　秋の夕暮れ", "haru:1 sugite:2 | akino:1 yuugure:0"},
        {u"｜春日《かすが》の里", "kasugano:0 sato:0"},
        // Latin letters are spelled.
        {u"CDを聞く", "shiidiio:0 kIku:0"},
    };
    for (const auto &c : cases) {
        const QString line = QString::fromUtf16(c.line);
        EXPECT_EQ(phrasesOf(spoken().utterance(line)), QString::fromLatin1(c.phrases))
            << line.toStdString();
    }
}

TEST(AccentPhrasing, TheVoiceSaysWhatTheReadingEngineReads)
{
    // Every poem of the bundled Hyakunin Isshu: the morae in the labels are the engine's
    // reading, long vowels and whispering aside.
    if (!spoken().hasAccents())
        GTEST_SKIP() << "naist-jdic is not installed";
    QFile f(QStringLiteral(KOTONAMI_SOURCE_DIR "/data/hyakunin.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QString text = text::decodeText(bytes, text::detectEncoding(bytes));
    int poems = 0;
    int same = 0;
    for (const QString &line : text.split(u'\n')) {
        const QStringList parts = line.trimmed().split(u'　');
        if (parts.size() < 3 || parts[0].toInt() < 1)
            continue;
        const QString poem = parts.mid(1, parts.size() - 2).join(u'　');
        ++poems;
        QString fromLabels;
        const QRegularExpression phoneme(QStringLiteral("^[^\\^]*\\^[^-]*-([^+]*)\\+"));
        for (const QString &label : spoken().labels(poem)) {
            const QString p = phoneme.match(label).captured(1);
            if (p != u"sil" && p != u"pau")
                fromLabels += p;
        }
        QString fromReading;
        for (const hts::Mora &m :
             hts::morae(engine().kana(poem).remove(QRegularExpression(QStringLiteral("[ ,]")))))
            fromReading += m.consonant + m.vowel;
        // The engine writes a long vowel out (とう); the voice says it long (to o).
        const auto plain = [](QString s) {
            return s.toLower()
                .replace(QStringLiteral("ou"), QStringLiteral("oo"))
                .replace(QStringLiteral("ei"), QStringLiteral("ee"));
        };
        if (plain(fromLabels) == plain(fromReading))
            ++same;
        else
            ADD_FAILURE() << poem.toStdString() << "\n  labels  " << fromLabels.toStdString()
                          << "\n  reading " << fromReading.toStdString();
    }
    EXPECT_EQ(poems, 100);
    EXPECT_EQ(same, poems);
}

namespace {

// The fundamental frequency of a stretch of voiced speech around `centre`, by
// autocorrelation over 30 ms, looked for between `low` and `high` Hz (a man's voice or a
// woman's: a vowel's first formant may otherwise pass for it); 0 where nothing periodic is
// found.
double pitchAt(const std::vector<qint16> &s, int rate, qsizetype centre, double low = 60,
               double high = 500)
{
    const qsizetype half = rate / 66;
    const qsizetype from = std::max<qsizetype>(0, centre - half);
    const qsizetype to = std::min<qsizetype>(qsizetype(s.size()), centre + half);
    const int shortest = int(rate / high);
    const int longest = int(rate / low);
    std::vector<double> c(size_t(longest) + 2, 0);
    double best = 0;
    for (int lag = shortest; lag <= longest + 1; ++lag) {
        double r = 0, e1 = 0, e2 = 0;
        for (qsizetype i = from; i + lag < to; ++i) {
            r += double(s[size_t(i)]) * s[size_t(i + lag)];
            e1 += double(s[size_t(i)]) * s[size_t(i)];
            e2 += double(s[size_t(i + lag)]) * s[size_t(i + lag)];
        }
        c[size_t(lag)] = e1 > 0 && e2 > 0 ? r / std::sqrt(e1 * e2) : 0;
        best = std::max(best, c[size_t(lag)]);
    }
    if (best < 0.5)
        return 0;
    // Multiples of the period correlate about as well as the period itself: a longer lag
    // has to do better to win.
    int bestLag = 0;
    double bestScore = 0;
    for (int lag = shortest; lag <= longest; ++lag) {
        const double score = c[size_t(lag)] * (1 - 0.1 * lag / longest);
        if (score > bestScore) {
            bestScore = score;
            bestLag = lag;
        }
    }
    return double(rate) / bestLag;
}

// The pitch of each mora's vowel in what the voice says.
QList<double> moraPitches(HtsVoice &voice, const QString &word)
{
    const bool man = voice.file().contains(u"m001");
    const QStringList labels = spoken().labels(word);
    const std::vector<qint16> audio = voice.synthesize(labels, 1.0);
    const QList<int> &lengths = voice.phonemeSamples();
    QList<double> pitches;
    qsizetype start = 0;
    for (qsizetype i = 0; i < labels.size() && i < lengths.size(); ++i) {
        const QString p = labels[i].section(u'-', 1).section(u'+', 0, 0);
        if (p.size() == 1 && QStringLiteral("aiueoN").contains(p))
            // Late in the vowel, where a fall after the mora before has arrived.
            pitches << pitchAt(audio, voice.sampleRate(), start + lengths[i] * 3 / 5,
                               man ? 60 : 150, man ? 250 : 600);
        start += lengths[i];
    }
    return pitches;
}

// The mora after which the pitch falls by more than two semitones; 0 when it does not.
int heardAccent(const QList<double> &pitches)
{
    for (qsizetype i = 0; i + 1 < pitches.size(); ++i) {
        if (pitches[i] > 0 && pitches[i + 1] > 0 &&
            12 * std::log2(pitches[i + 1] / pitches[i]) < -2)
            return int(i) + 1;
    }
    return 0;
}

} // namespace

// How many of 20 words whose Tokyo accent every dictionary agrees on the voice says with
// the pitch falling in the right place: each said with を in a short sentence (alone, the
// last vowel is often whispered), heard from the word's morae and the particle's.
int accentsHeardRight(HtsVoice &voice, QStringList *wrong)
{
    const struct
    {
        const char16_t *word;
        int accent;
    } words[] = {
        {u"雨", 1}, {u"飴", 0}, {u"花", 2},   {u"鼻", 0}, {u"命", 1}, {u"男", 3}, {u"頭", 3},
        {u"桜", 0}, {u"魚", 0}, {u"緑", 1},   {u"山", 2}, {u"空", 1}, {u"紙", 2}, {u"神", 1},
        {u"春", 1}, {u"犬", 2}, {u"言葉", 3}, {u"雪", 2}, {u"海", 1}, {u"風", 0},
    };
    int right = 0;
    for (const auto &w : words) {
        const QString word = QString::fromUtf16(w.word);
        const int morae = int(hts::morae(spoken().prosodyWords(word).first().pronunciation).size());
        const int heard =
            heardAccent(moraPitches(voice, word + QStringLiteral("を見た")).mid(0, morae + 1));
        if (heard == w.accent)
            ++right;
        else
            *wrong << QStringLiteral("%1 %2 (heard %3)").arg(word).arg(w.accent).arg(heard);
    }
    return right;
}

TEST(HtsVoice, ThePitchFallsWhereTheAccentIs)
{
    if (!spoken().hasAccents())
        GTEST_SKIP() << "naist-jdic is not installed";
    for (const bool female : {false, true}) {
        const std::unique_ptr<HtsVoice> voice = japaneseVoice(female);
        if (!voice->isLoaded())
            GTEST_SKIP() << "the HTS voices are not installed (scripts/setup.sh fetches them)";
        const char *name = female ? "Naoko (Mei)" : "Kenji (M001)";
        // 箸を high-low-low, 橋を low-high-low, 端を low-high-high (the last a little
        // lower, as the end of what is said falls).
        const QList<double> chopsticks = moraPitches(*voice, QStringLiteral("箸を"));
        const QList<double> bridge = moraPitches(*voice, QStringLiteral("橋を"));
        const QList<double> edge = moraPitches(*voice, QStringLiteral("端を"));
        ASSERT_EQ(chopsticks.size(), 3);
        ASSERT_EQ(bridge.size(), 3);
        ASSERT_EQ(edge.size(), 3);
        EXPECT_GT(chopsticks[0], chopsticks[1] * 1.1) << name;
        EXPECT_GT(chopsticks[1], chopsticks[2] * 1.05) << name;
        EXPECT_GT(bridge[1], bridge[0] * 1.1) << name;
        EXPECT_GT(bridge[1], bridge[2] * 1.2) << name;
        EXPECT_GT(edge[1], edge[0] * 1.2) << name;
        EXPECT_GT(edge[2], bridge[2] * 1.2) << name;

        QStringList wrong;
        const int right = accentsHeardRight(*voice, &wrong);
        EXPECT_GE(right, 18) << name << ": " << wrong.join(u", ").toStdString();
        RecordProperty(female ? "naoko_accents_right" : "kenji_accents_right", right);
        RecordProperty(female ? "naoko_hashi" : "kenji_hashi",
                       QStringLiteral("%1 %2 %3 / %4 %5 %6 / %7 %8 %9")
                           .arg(chopsticks[0], 0, 'f', 0)
                           .arg(chopsticks[1], 0, 'f', 0)
                           .arg(chopsticks[2], 0, 'f', 0)
                           .arg(bridge[0], 0, 'f', 0)
                           .arg(bridge[1], 0, 'f', 0)
                           .arg(bridge[2], 0, 'f', 0)
                           .arg(edge[0], 0, 'f', 0)
                           .arg(edge[1], 0, 'f', 0)
                           .arg(edge[2], 0, 'f', 0)
                           .toStdString());
    }
}

TEST(HtsVoice, ResamplingKeepsATonesPitchAndLoudness)
{
    // A 440 Hz tone at 48 kHz brought to 22.05 kHz is still 440 Hz, as loud, as long.
    std::vector<qint16> tone(48000);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = qint16(10000 * std::sin(2 * M_PI * 440 * double(i) / 48000));
    const std::vector<qint16> out = resample(tone, 48000, 22050);
    EXPECT_EQ(out.size(), 22050u);
    EXPECT_NEAR(pitchAt(out, 22050, 11025), 440, 5);
    double peak = 0;
    for (size_t i = 1000; i < out.size() - 1000; ++i)
        peak = std::max(peak, std::abs(double(out[i])));
    EXPECT_NEAR(peak, 10000, 300);
    // A tone above the new rate's half is taken out, not folded back.
    std::vector<qint16> high(48000);
    for (size_t i = 0; i < high.size(); ++i)
        high[i] = qint16(10000 * std::sin(2 * M_PI * 15000 * double(i) / 48000));
    // Pushed in uneven parts, the same samples come out as when resampled at once.
    Resampler parts(48000, 22050);
    std::vector<qint16> again;
    for (size_t at = 0, n = 1; at < tone.size(); at += n, n = n * 3 % 997 + 1) {
        const std::vector<qint16> part =
            parts.push(tone.data() + at, std::min(n, tone.size() - at));
        again.insert(again.end(), part.begin(), part.end());
    }
    const std::vector<qint16> rest = parts.finish();
    again.insert(again.end(), rest.begin(), rest.end());
    EXPECT_EQ(again, out);

    const std::vector<qint16> folded = resample(high, 48000, 22050);
    double loudest = 0;
    for (size_t i = 1000; i < folded.size() - 1000; ++i)
        loudest = std::max(loudest, std::abs(double(folded[i])));
    EXPECT_LT(loudest, 1000);
}

TEST(HtsVoice, ALineSaidInPartsSoundsAsOne)
{
    const std::unique_ptr<HtsVoice> voice = japaneseVoice(false);
    if (!voice->isLoaded())
        GTEST_SKIP() << "the HTS voices are not installed (scripts/setup.sh fetches them)";
    const QStringList labels = spoken().labels(
        QStringLiteral("朝早く川べりを歩くと、霧の向こうから鳥の声が聞こえてくる。"));
    const std::vector<qint16> whole = voice->synthesize(labels, 1.0);
    for (const bool quick : {false, true}) {
        std::vector<qint16> joined;
        QList<size_t> joins;
        QList<qsizetype> started;
        ASSERT_TRUE(voice->speak(labels, 1.0, quick,
                                 [&](const std::vector<qint16> &part, const auto &starts) {
                                     for (const auto &[label, sample] : starts) {
                                         EXPECT_LT(sample, qsizetype(part.size()));
                                         started << label;
                                     }
                                     if (!joined.empty())
                                         joins << joined.size();
                                     joined.insert(joined.end(), part.begin(), part.end());
                                     return true;
                                 }));
        // Parts after the pause and, started quickly, after the leading silence and a
        // little speech; every label's start is told once, in order.
        EXPECT_EQ(joins.size(), quick ? 3 : 1);
        EXPECT_EQ(started.size(), labels.size());
        EXPECT_TRUE(std::is_sorted(started.begin(), started.end()));
        EXPECT_NEAR(double(joined.size()), double(whole.size()), whole.size() * 0.02);
        // A quick start's silence is silence, and the speech after it starts without a
        // click; it joins in the middle of speech: no gap there, no click.
        if (quick) {
            EXPECT_TRUE(std::all_of(joined.begin(), joined.begin() + qsizetype(joins[0]),
                                    [](qint16 v) { return v == 0; }));
            int onset = 0;
            for (size_t i = joins[0]; i < joins[0] + 480; ++i)
                onset = std::max(onset, std::abs(joined[i + 1] - joined[i]));
            const size_t at = joins[1];
            double energy = 0;
            int jump = 0;
            for (size_t i = at - 480; i < at + 480; ++i) {
                energy += double(joined[i]) * joined[i];
                jump = std::max(jump, std::abs(joined[i + 1] - joined[i]));
            }
            EXPECT_GT(std::sqrt(energy / 960), 300);
            // The largest step between samples there is no larger than elsewhere.
            int usual = 0;
            for (size_t i = 1; i < joined.size(); ++i) {
                if (i + 480 < at || i > at + 480)
                    usual = std::max(usual, std::abs(joined[i] - joined[i - 1]));
            }
            EXPECT_LE(jump, usual);
            EXPECT_LE(onset, usual);
        }
    }
    // A sink that says stop stops it.
    int parts = 0;
    EXPECT_FALSE(voice->speak(labels, 1.0, true, [&](const std::vector<qint16> &, const auto &) {
        ++parts;
        return false;
    }));
    EXPECT_EQ(parts, 1);
}

namespace {

// The first three poems of the bundled Hyakunin Isshu, as written there (without blanks).
QStringList bundledWaka(int count)
{
    QFile f(QStringLiteral(KOTONAMI_SOURCE_DIR "/data/hyakunin.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QStringList poems;
    for (const QString &line : text::decodeText(bytes, text::detectEncoding(bytes)).split(u'\n')) {
        const QStringList parts = line.trimmed().split(u'　');
        if (parts.size() >= 3 && parts[0].toInt() >= 1 && poems.size() < count)
            poems << parts.mid(1, parts.size() - 2).join(u'　');
    }
    return poems;
}

// The stretches of sound in audio, in seconds: where 20 ms frames are louder than silence.
QList<std::pair<double, double>> soundedSpans(const std::vector<qint16> &audio, int rate)
{
    const size_t frame = size_t(rate) / 50;
    QList<std::pair<double, double>> spans;
    bool on = false;
    for (size_t at = 0; at + frame <= audio.size(); at += frame) {
        double energy = 0;
        for (size_t i = at; i < at + frame; ++i)
            energy += double(audio[i]) * audio[i];
        const bool loud = std::sqrt(energy / double(frame)) > 100;
        const double t = double(at) / rate;
        if (loud && !on)
            spans.append({t, t});
        if (loud)
            spans.last().second = t + 0.02;
        on = loud;
    }
    // Gaps shorter than half a second are breaths and closures within a part.
    QList<std::pair<double, double>> parts;
    for (const auto &s : spans) {
        if (!parts.isEmpty() && s.first - parts.last().second < 0.5)
            parts.last().second = s.second;
        else
            parts.append(s);
    }
    return parts;
}

} // namespace

TEST(Recitation, WakaKeepTheReadersTimingAndALevelPitch)
{
    const std::unique_ptr<HtsVoice> voice = japaneseVoice(false);
    if (!voice->isLoaded() || !spoken().hasAccents())
        GTEST_SKIP() << "the HTS voices or naist-jdic are not installed";
    const QStringList poems = bundledWaka(3);
    ASSERT_EQ(poems.size(), 3);
    for (qsizetype p = 0; p < poems.size(); ++p) {
        // The first read as the opening poem: upper ku, lower ku, lower ku again.
        const bool opening = p == 0;
        const QList<RecitedPart> plan = recitationPlan(engine(), poems[p], 150, opening);
        ASSERT_EQ(plan.size(), opening ? 3 : 2) << poems[p].toStdString();
        if (opening) {
            EXPECT_EQ(plan[2].text, plan[1].text);
        }
        EXPECT_EQ(QString(poems[p]).remove(u'　'),
                  QString(plan[0].text + plan[1].text).remove(u'　'));

        std::vector<qint16> audio;
        QList<double> levels; // semitones from each part's mean, after its rise
        for (const RecitedPart &part : plan) {
            const std::vector<qint16> said = voice->recite(spoken().labels(part.text), part.seconds,
                                                           part.holdSeconds, part.silenceAfter);
            const QList<double> &pitch = voice->framePitch();
            double sum = 0;
            int n = 0;
            const qsizetype risen = qsizetype(0.6 * voice->sampleRate() / voice->frameSamples());
            for (qsizetype f = risen; f < pitch.size(); ++f) {
                if (pitch[f] > 0) {
                    sum += std::log2(pitch[f]);
                    ++n;
                }
            }
            for (qsizetype f = risen; n > 0 && f < pitch.size(); ++f) {
                if (pitch[f] > 0)
                    levels << 12 * (std::log2(pitch[f]) - sum / n);
            }
            // It rises to that level: the first voiced sound is well below it.
            const auto firstVoiced =
                std::find_if(pitch.begin(), pitch.end(), [](double f) { return f > 0; });
            ASSERT_NE(firstVoiced, pitch.end());
            EXPECT_LT(12 * (std::log2(*firstVoiced) - sum / n), -1.5);
            audio.insert(audio.end(), said.begin(), said.end());
        }
        // Upper ku 6 s; lower ku 5 s and its last sound 3 s; 1 s of silence after each.
        const QList<std::pair<double, double>> spans = soundedSpans(audio, voice->sampleRate());
        ASSERT_EQ(spans.size(), plan.size()) << poems[p].toStdString();
        EXPECT_NEAR(spans[0].second - spans[0].first, 6.0, 0.6);
        for (qsizetype s = 1; s < spans.size(); ++s) {
            EXPECT_NEAR(spans[s].second - spans[s].first, 8.0, 0.8);
            EXPECT_NEAR(spans[s].first - spans[s - 1].second, 1.0, 0.15);
        }
        // Level: after the rise the pitch stays within two semitones of its mean.
        double semitonesOff = 0;
        for (double l : levels)
            semitonesOff = std::max(semitonesOff, std::abs(l));
        EXPECT_LE(semitonesOff, 2.0) << poems[p].toStdString();
        RecordProperty(QStringLiteral("poem%1").arg(p + 1).toStdString(),
                       QStringLiteral("%1 s / %2 s, silence %3 s, pitch within %4 st")
                           .arg(spans[0].second - spans[0].first, 0, 'f', 2)
                           .arg(spans[1].second - spans[1].first, 0, 'f', 2)
                           .arg(spans[1].first - spans[0].second, 0, 'f', 2)
                           .arg(semitonesOff, 0, 'f', 2)
                           .toStdString());
    }
}
