#include "reading/MecabReader.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <mecab.h>

namespace reading {

namespace {

// The IPA dictionary's feature columns: part of speech (4), conjugation (2), base form,
// reading, pronunciation. Other dictionaries (jumandic) order them differently, so the
// IPA dictionary is asked for by name when it is installed.
constexpr int ReadingColumn = 7;
constexpr int PronunciationColumn = 8;

const char *const IpadicFolders[] = {
    "/var/lib/mecab/dic/ipadic-utf8",
    "/usr/lib/x86_64-linux-gnu/mecab/dic/ipadic-utf8",
    "/usr/share/mecab/dic/ipadic",
};

bool isIdeograph(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3005;
}

QString withoutIdeographs(const QString &s)
{
    QString out;
    for (char32_t c : s.toUcs4()) {
        if (!isIdeograph(c))
            out.append(QString::fromUcs4(&c, 1));
    }
    return out;
}

} // namespace

struct MecabReader::Tagger
{
    mecab_t *mecab = nullptr;
};

MecabReader::MecabReader() : m_tagger(std::make_unique<Tagger>())
{
    for (const char *folder : IpadicFolders) {
        if (QFileInfo::exists(QString::fromLatin1(folder) + QStringLiteral("/sys.dic"))) {
            const QByteArray arg = QByteArray("-d ") + folder;
            m_tagger->mecab = mecab_new2(arg.constData());
            if (m_tagger->mecab)
                return;
        }
    }
    m_tagger->mecab = mecab_new2("");
}

MecabReader::~MecabReader()
{
    if (m_tagger->mecab)
        mecab_destroy(m_tagger->mecab);
}

bool MecabReader::isOpen() const
{
    return m_tagger->mecab != nullptr;
}

QString MecabReader::reading(QStringView text) const
{
    if (!m_tagger->mecab)
        return withoutIdeographs(text.toString());

    // MeCab drops line breaks and reads one sentence per call, so each line is read on
    // its own and the breaks are put back between them.
    QString out;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            out.append(u'\n');
        const QByteArray utf8 = lines[li].toUtf8();
        if (utf8.isEmpty())
            continue;
        const mecab_node_t *node =
            mecab_sparse_tonode2(m_tagger->mecab, utf8.constData(), size_t(utf8.size()));
        for (; node; node = node->next) {
            if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
                continue;
            if (node->rlength > node->length)
                out.append(u' ');
            const QString surface = QString::fromUtf8(node->surface, qsizetype(node->length));
            const QStringList features =
                QString::fromUtf8(node->feature ? node->feature : "").split(u',');
            QString spoken;
            if (features.size() > PronunciationColumn &&
                features[PronunciationColumn] != QLatin1String("*"))
                spoken = features[PronunciationColumn];
            else if (features.size() > ReadingColumn &&
                     features[ReadingColumn] != QLatin1String("*"))
                spoken = features[ReadingColumn];
            else
                spoken = withoutIdeographs(surface);
            out.append(spoken);
        }
    }
    return out;
}

QList<MecabReader::Token> MecabReader::tokens(QStringView line) const
{
    QList<Token> out;
    if (!m_tagger->mecab) {
        out.append({line.toString(), QString(), QString(), QString(), QString()});
        return out;
    }
    const QByteArray utf8 = line.toUtf8();
    if (utf8.isEmpty())
        return out;
    const mecab_node_t *node =
        mecab_sparse_tonode2(m_tagger->mecab, utf8.constData(), size_t(utf8.size()));
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        Token t;
        t.surface = QString::fromUtf8(node->surface, qsizetype(node->length));
        const QStringList features =
            QString::fromUtf8(node->feature ? node->feature : "").split(u',');
        t.partOfSpeech = features.value(0);
        t.detail = features.value(1);
        if (node->stat != MECAB_UNK_NODE) {
            t.reading = features.value(ReadingColumn);
            t.pronunciation = features.value(PronunciationColumn);
            if (t.reading == QLatin1String("*"))
                t.reading.clear();
            if (t.pronunciation == QLatin1String("*"))
                t.pronunciation.clear();
        }
        out.append(t);
    }
    return out;
}

} // namespace reading
