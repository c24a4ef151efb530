#include "speech/SpeakToWav.h"

#include "speech/EspeakEngine.h"
#include "speech/SpeakerSelection.h"
#include "text/SafeFile.h"

namespace speech {

namespace {

void putLe(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i) & 0xFF));
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QByteArray wavHeader(qint64 pcmBytes, int sampleRate)
{
    QByteArray out;
    out.reserve(44);
    out.append("RIFF");
    putLe(out, quint32(36 + pcmBytes), 4);
    out.append("WAVEfmt ");
    putLe(out, 16, 4); // format chunk size
    putLe(out, 1, 2);  // PCM
    putLe(out, 1, 2);  // mono
    putLe(out, quint32(sampleRate), 4);
    putLe(out, quint32(sampleRate * 2), 4); // bytes per second
    putLe(out, 2, 2);                       // bytes per frame
    putLe(out, 16, 2);                      // bits per sample
    out.append("data");
    putLe(out, quint32(pcmBytes), 4);
    return out;
}

QByteArray wavBytes(const QByteArray &pcm, int sampleRate)
{
    return wavHeader(pcm.size(), sampleRate) + pcm;
}

bool speakToWav(const QString &text, int speakerId, const QString &wavPath, QString *error,
                int speed, QString *notice, Recital recital)
{
    if (speakerId < 1 || speakerId > SpeakerCount)
        return fail(error, QStringLiteral("unknown speaker %1").arg(speakerId));
    const QString name = QString::fromLatin1(speakerTable()[speakerId - 1].name);
    EspeakEngine &engine = EspeakEngine::instance();
    int voice = -1;
    for (int v : engine.availableVoices()) {
        if (name == QLatin1String(voiceModeTable()[v].speakerName))
            voice = v;
    }
    if (voice < 0)
        return fail(error,
                    QStringLiteral("the voice of %1 is not installed (espeak-ng-data)").arg(name));
    const bool hts =
        engine.speakerWithoutHtsVoice(voice).isEmpty() && voiceModeTable()[voice].japanese;
    if (notice && voiceModeTable()[voice].japanese && !hts)
        *notice = QStringLiteral("the HTS voice of %1 is not installed; espeak-ng speaks instead")
                      .arg(name);
    else if (notice && recital != Recital::None && !hts)
        *notice =
            QStringLiteral("only Naoko and Kenji recite; %1 reads the text instead").arg(name);

    // The audio goes to the file as it is made, a piece at a time; the header, written
    // first with no length, gets the length at the end (a pipe keeps it without).
    const int rate = engine.sampleRate();
    qint64 pcmBytes = 0;
    text::FileError problem;
    const auto produce = [&](const text::PartSink &put) {
        if (!put(wavHeader(0xFFFFFFFFu - 36, rate)))
            return false;
        bool written = true;
        const EspeakEngine::ChunkSink sink = [&](const QByteArray &chunk) {
            if (pcmBytes + chunk.size() > MaxWavData) {
                problem.message = QStringLiteral("the audio passes the 4 GiB a WAV file can hold");
                written = false;
            } else {
                written = put(chunk);
                pcmBytes += chunk.size();
            }
            return written;
        };
        if (recital != Recital::None && hts) {
            engine.recite(text, voice, speed, sink, recital == Recital::WithOpening);
            if (!written)
                return false;
        } else {
            for (const QString &piece : splitIntoPieces(text)) {
                engine.synthesize(piece, voice, speed, sink);
                if (!written)
                    return false;
            }
        }
        if (pcmBytes == 0) {
            problem.message = QStringLiteral("the text gives no audio");
            return false;
        }
        return true;
    };
    if (!text::writeFileSafely(
            wavPath, produce, [&](qint64) { return wavHeader(pcmBytes, rate); }, &problem))
        return fail(error, problem.message);
    return true;
}

} // namespace speech
