#pragma once

// Renders a text with one of the six speakers to a WAV file (16-bit mono PCM at the
// synthesiser's rate) through the same engine that reads aloud: kotonami-tool's speak
// command.

#include <QByteArray>
#include <QString>

namespace speech {

// speakerId is 1 to 6 (Naoko, Kenji, Mary, Mike, Carol, Peter; see speakerNumber()),
// speed the rate in words per minute as the speed slider gives it. Returns false with a
// message in *error (if given) when the speaker's voice is not installed, the text gives
// no audio, the audio would pass the 4 GiB a WAV file holds, or the file cannot be
// written; the old file at wavPath is left as it was then. The audio is written as it is
// made, so memory stays bounded whatever the text's length.
// Read as prose, or recited a line a poem as karuta readers read (Recitation.h), the first
// poem perhaps as the opening poem (序歌).
enum class Recital { None, Poems, WithOpening };

// *notice (if given) says when a Japanese speaker's HTS voice is missing and espeak-ng
// spoke instead (reading, not reciting: only the HTS voices recite).
bool speakToWav(const QString &text, int speakerId, const QString &wavPath, QString *error,
                int speed = 150, QString *notice = nullptr, Recital recital = Recital::None);

// The WAV file bytes for 16-bit mono samples, and the header alone for so many bytes of
// them. The header's sizes hold at most MaxWavData bytes of samples.
QByteArray wavBytes(const QByteArray &pcm, int sampleRate);
QByteArray wavHeader(qint64 pcmBytes, int sampleRate);
inline constexpr qint64 MaxWavData = 0xFFFFFFFFll - 36;

} // namespace speech
