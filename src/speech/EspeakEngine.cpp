#include "speech/EspeakEngine.h"

#include "reading/KanaRules.h"
#include "reading/ReadingEngine.h"
#include "speech/HtsVoice.h"
#include "speech/Recitation.h"
#include "speech/SpokenJapanese.h"

#include <QRegularExpression>

#include <deque>

#include <espeak-ng/speak_lib.h>

namespace speech {

namespace {

// espeak-ng calls back with about this many milliseconds of audio at a time.
constexpr int ChunkMilliseconds = 100;

// espeak-ng's synthesis callback is one global function, so the sink of the synthesis in
// progress is kept here, guarded by the engine's mutex.
const EspeakEngine::ChunkSink *currentSink = nullptr;

int synthCallback(short *wav, int sampleCount, espeak_EVENT *)
{
    if (!currentSink || !wav || sampleCount <= 0)
        return 0;
    const QByteArray pcm(reinterpret_cast<const char *>(wav),
                         qsizetype(sampleCount) * qsizetype(sizeof(short)));
    return (*currentSink)(pcm) ? 0 : 1;
}

bool endsSentence(QChar c)
{
    return c == u'。' || c == u'！' || c == u'？' || c == u'.' || c == u'!' || c == u'?';
}

bool isSoftBreak(QChar c)
{
    return c == u'、' || c == u'，' || c == u',' || c == u' ' || c == u'　';
}

} // namespace

const QList<VoiceModeInfo> &voiceModeTable()
{
    static const QList<VoiceModeInfo> table = {
        {"Female Japanese", "Naoko", "ja+f3", true},
        {"Male Japanese", "Kenji", "ja+m3", true},
        {"Mary", "Mary", "en-us+f3", false},
        {"Mike", "Mike", "en-us+m3", false},
        // espeak-ng's British English voice is the file "gmw/en", loaded by the name "en"
        // ("en-gb" is only its language).
        {"Female British", "Carol", "en+f3", false},
        {"Male British", "Peter", "en+m3", false},
    };
    return table;
}

QStringList splitIntoPieces(QStringView text)
{
    QStringList pieces;
    qsizetype start = 0;
    qsizetype lastSoft = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isSoftBreak(c))
            lastSoft = i;
        qsizetype cut = -1;
        if (c == u'\n' || endsSentence(c))
            cut = i + 1;
        else if (i + 1 - start >= MaxPieceLength)
            cut = lastSoft >= start ? lastSoft + 1 : i + 1;
        if (cut > start) {
            pieces.append(text.sliced(start, cut - start).toString());
            start = cut;
            lastSoft = -1;
        }
    }
    if (start < text.size())
        pieces.append(text.sliced(start).toString());
    return pieces;
}

EspeakEngine &EspeakEngine::instance()
{
    static EspeakEngine engine;
    return engine;
}

EspeakEngine::EspeakEngine()
{
    // DONT_EXIT: without espeak-ng-data the library would otherwise end the process; here
    // it only leaves every voice unloadable, so the program offers no modes.
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, ChunkMilliseconds, nullptr,
                                       espeakINITIALIZE_DONT_EXIT);
    if (rate > 0)
        m_sampleRate = rate;
    espeak_SetSynthCallback(synthCallback);
    const QList<VoiceModeInfo> &table = voiceModeTable();
    for (int i = 0; i < int(table.size()); ++i) {
        if (loadVoice(i))
            m_available.append(i);
    }
    m_reading = new reading::ReadingEngine;
    m_reading->loadUserDictionary();
}

EspeakEngine::~EspeakEngine()
{
    m_spoken.reset();
    delete m_reading;
    espeak_Terminate();
}

bool EspeakEngine::loadVoice(int voiceIndex)
{
    if (voiceIndex == m_loadedVoice)
        return true;
    if (voiceIndex < 0 || voiceIndex >= int(voiceModeTable().size()))
        return false;
    if (espeak_SetVoiceByName(voiceModeTable()[voiceIndex].voice) != EE_OK) {
        m_loadedVoice = -1;
        return false;
    }
    m_loadedVoice = voiceIndex;
    return true;
}

QString EspeakEngine::japaneseReading(QStringView text)
{
    std::lock_guard lock(m_mutex);
    return m_reading->kana(text);
}

namespace {

bool holdsJapanese(QStringView text)
{
    for (QChar c : text) {
        if (reading::isKana(c.unicode()) || reading::isKanji(c.unicode()) || c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

QString japaneseSsml(const QString &kana, const QString &japaneseVoice)
{
    static const QRegularExpression latin(QStringLiteral("[A-Za-z][A-Za-z'-]*"));
    static const QRegularExpression pause(QStringLiteral(", "));
    if (!kana.contains(latin) && !kana.contains(pause))
        return QString();
    // "ja+f3" -> "en-us+f3": the same variant, so the speaker keeps her voice.
    const qsizetype plus = japaneseVoice.indexOf(u'+');
    const QString english =
        QStringLiteral("en-us") + (plus < 0 ? QString() : japaneseVoice.mid(plus));
    const auto kanaPart = [](const QString &part) {
        static const QRegularExpression longRun(QStringLiteral("ー{2,}"));
        return QString(part)
            .replace(longRun, QStringLiteral("ー"))
            .toHtmlEscaped()
            .replace(QStringLiteral(", "), QStringLiteral(" <break time=\"300ms\"/> "));
    };
    QString out = QStringLiteral("<speak>");
    qsizetype at = 0;
    for (auto it = latin.globalMatch(kana); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += kanaPart(kana.mid(at, m.capturedStart() - at));
        out += QStringLiteral("<voice name=\"%1\">%2</voice>").arg(english, m.captured());
        at = m.capturedEnd();
    }
    out += kanaPart(kana.mid(at)) + QStringLiteral("</speak>");
    return out;
}

QString EspeakEngine::spokenText(QStringView text, bool japaneseVoice) const
{
    // The Japanese voices get kana, word by word; the English ones read Japanese text in
    // Latin letters of the same reading and everything else as it is.
    if (japaneseVoice)
        return m_reading->kana(text);
    return holdsJapanese(text) ? m_reading->romaji(text) : text.toString();
}

QString EspeakEngine::voiceInput(QStringView text, int voiceIndex)
{
    std::lock_guard lock(m_mutex);
    if (voiceIndex < 0 || voiceIndex >= int(voiceModeTable().size()))
        return text.toString();
    return spokenText(text, voiceModeTable()[voiceIndex].japanese);
}

void EspeakEngine::reloadUserDictionary()
{
    std::lock_guard lock(m_mutex);
    m_reading->loadUserDictionary();
}

void EspeakEngine::setHtsVoicesEnabled(bool on)
{
    std::lock_guard lock(m_mutex);
    m_htsEnabled = on;
}

HtsVoice *EspeakEngine::htsVoice(int voiceIndex)
{
    if (!m_htsEnabled || voiceIndex < 0 || voiceIndex > 1 || !voiceModeTable()[voiceIndex].japanese)
        return nullptr;
    if (!m_htsTried[voiceIndex]) {
        m_htsTried[voiceIndex] = true;
        std::unique_ptr<HtsVoice> voice = japaneseVoice(voiceIndex == 0);
        if (voice->isLoaded()) {
            m_hts[voiceIndex] = std::move(voice);
            m_htsLoaded[voiceIndex] = m_hts[voiceIndex].get();
        }
    }
    return m_hts[voiceIndex].get();
}

void EspeakEngine::interruptHtsVoices()
{
    for (const std::atomic<HtsVoice *> &voice : m_htsLoaded) {
        if (HtsVoice *v = voice.load())
            v->interrupt();
    }
}

bool EspeakEngine::speaksWithHtsVoice(int voiceIndex)
{
    std::lock_guard lock(m_mutex);
    return htsVoice(voiceIndex) != nullptr;
}

namespace {

// Audio in chunks of about ChunkMilliseconds for a sink; false when the sink says stop.
bool sendInChunks(const std::vector<qint16> &pcm, int sampleRate,
                  const EspeakEngine::ChunkSink &sink)
{
    const size_t chunk = size_t(sampleRate) * ChunkMilliseconds / 1000;
    for (size_t at = 0; at < pcm.size(); at += chunk) {
        const size_t n = std::min(pcm.size() - at, chunk);
        if (!sink(QByteArray(reinterpret_cast<const char *>(pcm.data() + at),
                             qsizetype(n * sizeof(qint16)))))
            return false;
    }
    return true;
}

} // namespace

bool EspeakEngine::recite(QStringView text, int voiceIndex, int rate, const ChunkSink &sink,
                          bool opening)
{
    std::lock_guard lock(m_mutex);
    HtsVoice *voice = htsVoice(voiceIndex);
    if (!voice)
        return false;
    makeSpokenJapanese();
    for (QStringView line : text.split(u'\n')) {
        for (const RecitedPart &part : recitationPlan(*m_reading, line, rate, opening)) {
            Resampler resampler(voice->sampleRate(), m_sampleRate);
            const std::vector<qint16> said = voice->recite(
                m_spoken->labels(part.text), part.seconds, part.holdSeconds, part.silenceAfter);
            if (!sendInChunks(resampler.push(said.data(), said.size()), m_sampleRate, sink) ||
                !sendInChunks(resampler.finish(), m_sampleRate, sink))
                return true;
        }
        opening = false;
    }
    return true;
}

void EspeakEngine::makeSpokenJapanese()
{
    // Opened on first use: naist-jdic is only read when a Japanese HTS voice speaks.
    if (!m_spoken)
        m_spoken = std::make_unique<SpokenJapanese>(*m_reading);
}

QString EspeakEngine::speakerWithoutHtsVoice(int voiceIndex)
{
    if (voiceIndex < 0 || voiceIndex >= int(voiceModeTable().size()) ||
        !voiceModeTable()[voiceIndex].japanese || speaksWithHtsVoice(voiceIndex))
        return QString();
    return QString::fromLatin1(voiceModeTable()[voiceIndex].speakerName);
}

bool EspeakEngine::synthesizeHts(HtsVoice &voice, QStringView text, int rate, bool quickStart,
                                 const ChunkSink &sink, const WordSink &word)
{
    makeSpokenJapanese();
    // The speed slider's words per minute, its middle (150) the voice's own pace.
    const double speed = rate / 150.0;
    qsizetype lineStart = 0;
    for (QStringView line : text.split(u'\n')) {
        const qsizetype offset = lineStart;
        lineStart += line.size() + 1;
        QList<std::pair<qsizetype, qsizetype>> spans;
        const QStringList labels = m_spoken->labels(line, word ? &spans : nullptr);
        if (labels.isEmpty())
            continue;
        // Each word's start, in samples of the line's audio at the output's rate, told just
        // before the audio that starts it.
        struct Mark
        {
            qint64 at;
            std::pair<qsizetype, qsizetype> span;
        };
        std::deque<Mark> marks;
        qint64 voiceSamples = 0; // of the line's audio so far, at the voice's rate
        qint64 sent = 0;         // of the line's audio sent, at the output's rate
        const auto send = [&](const std::vector<qint16> &pcm) {
            size_t from = 0;
            while (!marks.empty() && marks.front().at <= sent + qint64(pcm.size() - from)) {
                const size_t upTo = from + size_t(std::max<qint64>(0, marks.front().at - sent));
                const std::vector<qint16> before(pcm.begin() + qsizetype(from),
                                                 pcm.begin() + qsizetype(upTo));
                if (!sendInChunks(before, m_sampleRate, sink))
                    return false;
                sent += qint64(before.size());
                from = upTo;
                word(offset + marks.front().span.first, offset + marks.front().span.second);
                marks.pop_front();
            }
            const std::vector<qint16> rest(pcm.begin() + qsizetype(from), pcm.end());
            sent += qint64(rest.size());
            return sendInChunks(rest, m_sampleRate, sink);
        };
        Resampler resampler(voice.sampleRate(), m_sampleRate);
        std::pair<qsizetype, qsizetype> current{-1, -1};
        const bool spoken =
            voice.speak(labels, speed, quickStart, [&](const auto &part, const auto &starts) {
                for (const auto &[label, sample] : starts) {
                    const std::pair<qsizetype, qsizetype> span = spans.value(label, {-1, -1});
                    if (span.first < 0 || span == current)
                        continue;
                    current = span;
                    marks.push_back(
                        {(voiceSamples + sample) * m_sampleRate / voice.sampleRate(), span});
                }
                voiceSamples += qint64(part.size());
                return send(resampler.push(part.data(), part.size()));
            });
        if (!spoken || !send(resampler.finish()))
            return false;
        for (; !marks.empty(); marks.pop_front())
            word(offset + marks.front().span.first, offset + marks.front().span.second);
        quickStart = false;
    }
    return true;
}

bool EspeakEngine::synthesize(QStringView text, int voiceIndex, int rate, const ChunkSink &sink,
                              bool quickStart, const WordSink &word)
{
    std::lock_guard lock(m_mutex);
    if (!m_available.contains(voiceIndex) || !loadVoice(voiceIndex))
        return false;
    const VoiceModeInfo &mode = voiceModeTable()[voiceIndex];
    if (HtsVoice *voice = htsVoice(voiceIndex))
        return synthesizeHts(*voice, text, rate, quickStart, sink, word);
    const QString spoken = spokenText(text, mode.japanese);
    if (spoken.trimmed().isEmpty())
        return true;
    // A Latin word in Japanese text is read as a word by the English voice of the same
    // variant ("iPhone", not "i p h o n e" in letters); ー, however many, is one long vowel.
    static const QRegularExpression longRun(QStringLiteral("ー{2,}"));
    const QString ssml =
        mode.japanese ? japaneseSsml(spoken, QString::fromLatin1(mode.voice)) : QString();
    const QByteArray utf8 = !ssml.isEmpty() ? ssml.toUtf8()
                            : mode.japanese
                                ? QString(spoken).replace(longRun, QStringLiteral("ー")).toUtf8()
                                : spoken.toUtf8();
    const unsigned flags = espeakCHARS_UTF8 | (ssml.isEmpty() ? 0 : espeakSSML);
    espeak_SetParameter(espeakRATE, rate, 0);

    bool stopped = false;
    const ChunkSink guarded = [&](const QByteArray &pcm) {
        if (!sink(pcm))
            stopped = true;
        return !stopped;
    };
    currentSink = &guarded;
    const espeak_ERROR err = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                          POS_CHARACTER, 0, flags, nullptr, nullptr);
    currentSink = nullptr;
    return err == EE_OK && !stopped;
}

} // namespace speech
