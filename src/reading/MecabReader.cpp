#include "reading/MecabReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <mecab.h>

#include <unistd.h>

#include <unordered_map>
#include <utility>
#include <vector>

namespace reading {

namespace {

constexpr int BaseColumn = 6;
constexpr int ReadingColumn = 7;
constexpr int PronunciationColumn = 8;
constexpr int AccentColumn = 9;
constexpr int AccentRuleColumn = 10;
constexpr int ChainColumn = 11;

// naist-jdic as Debian installs it for Open JTalk: the compiled dictionary without the
// dicrc that libmecab wants beside it.
const char NaistJdicFolder[] = "/var/lib/mecab/dic/open-jtalk/naist-jdic";

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

// A feature line split at its commas; a field in double quotes may hold commas.
QStringList splitFeature(const char *feature)
{
    QStringList fields;
    const QString line = QString::fromUtf8(feature ? feature : "");
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                field += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == u',' && !quoted) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString column(const QStringList &fields, int index)
{
    QString value = fields.value(index);
    if (value == QLatin1String("*"))
        return QString();
    // naist-jdic writes the parts of a phrase entry apart: "アマノ:カグヤマ".
    value.remove(u':');
    return value;
}

// A folder that libmecab opens as naist-jdic: the dictionary's files linked into a folder
// of ours, with the few settings a dictionary's dicrc gives. Made once per user, in the
// cache folder (else the temporary one); empty when no such folder can be made.
QString naistJdicForMecab()
{
    const QString source = QString::fromLatin1(NaistJdicFolder);
    if (!QFileInfo::exists(source + QStringLiteral("/sys.dic")))
        return {};
    if (QFileInfo::exists(source + QStringLiteral("/dicrc")))
        return source;
    QStringList bases;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    bases << cache + QStringLiteral("/kotonami");
    bases << QDir::tempPath() + QStringLiteral("/kotonami-%1").arg(getuid());
    static const char *const files[] = {"sys.dic", "unk.dic", "char.bin", "matrix.bin"};
    for (const QString &base : bases) {
        const QString folder = base + QStringLiteral("/mecab-naist-jdic");
        bool ready = QFileInfo::exists(folder + QStringLiteral("/dicrc"));
        for (const char *f : files)
            ready = ready && QFileInfo(folder + u'/' + QLatin1String(f)).symLinkTarget() ==
                                 source + u'/' + QLatin1String(f);
        if (ready)
            return folder;
        if (!QDir().mkpath(folder))
            continue;
        bool made = true;
        for (const char *f : files) {
            const QString link = folder + u'/' + QLatin1String(f);
            QFile::remove(link);
            made = made && QFile::link(source + u'/' + QLatin1String(f), link);
        }
        QSaveFile rc(folder + QStringLiteral("/dicrc"));
        made = made && rc.open(QIODevice::WriteOnly) &&
               rc.write("cost-factor = 800\n"
                        "bos-feature = BOS/EOS,*,*,*,*,*,*,*,*\n"
                        "eval-size = 8\n"
                        "unk-eval-size = 4\n"
                        "config-charset = UTF-8\n") > 0 &&
               rc.commit();
        if (made)
            return folder;
    }
    return {};
}

mecab_t *openMecab(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    QByteArray program("mecab"), flag("-d"), dir(path);
    char *argv[] = {program.data(), flag.data(), dir.data(), nullptr};
    return mecab_new(3, argv);
}

} // namespace

struct MecabReader::Tagger
{
    mecab_t *mecab = nullptr;
    Dictionary dictionary = Dictionary::Ipadic;
    // The connection costs: matrix.bin is two 16-bit sizes, then the costs, right class
    // major: cost(right, left) = matrix[right + leftSize * left].
    QFile matrixFile;
    const qint16 *matrix = nullptr;
    quint16 leftSize = 0;
    quint16 rightSize = 0;
    // The features of each entry met, parsed once: a node map, whose entries stay where they
    // are as it grows, so that callers may hold a reference; when it grows too large it is
    // retired (still alive for the references taken from it) and a new one started.
    mutable std::unordered_map<const char *, Features> features;
    mutable std::unordered_map<const char *, Features> retiredFeatures;

    bool openMatrix(const QString &folder)
    {
        matrixFile.setFileName(folder + QStringLiteral("/matrix.bin"));
        if (!matrixFile.open(QIODevice::ReadOnly) || matrixFile.size() < 4)
            return false;
        const uchar *data = matrixFile.map(0, matrixFile.size());
        if (!data)
            return false;
        const auto *words = reinterpret_cast<const qint16 *>(data);
        leftSize = quint16(words[0]);
        rightSize = quint16(words[1]);
        if (qint64(leftSize) * rightSize * 2 + 4 != matrixFile.size())
            return false;
        matrix = words + 2;
        return true;
    }
};

MecabReader::MecabReader(Dictionary preferred) : m_tagger(std::make_unique<Tagger>())
{
    auto tryNaist = [this] {
        const QString folder = naistJdicForMecab();
        if (folder.isEmpty())
            return false;
        m_tagger->mecab = openMecab(folder);
        if (!m_tagger->mecab)
            return false;
        m_tagger->dictionary = Dictionary::NaistJdic;
        m_tagger->openMatrix(QString::fromLatin1(NaistJdicFolder));
        return true;
    };
    auto tryIpadic = [this] {
        for (const char *folder : IpadicFolders) {
            const QString path = QString::fromLatin1(folder);
            if (!QFileInfo::exists(path + QStringLiteral("/sys.dic")))
                continue;
            m_tagger->mecab = openMecab(path);
            if (!m_tagger->mecab)
                continue;
            m_tagger->dictionary = Dictionary::Ipadic;
            m_tagger->openMatrix(path);
            return true;
        }
        return false;
    };
    if (preferred == Dictionary::NaistJdic ? tryNaist() || tryIpadic() : tryIpadic() || tryNaist())
        return;
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

QString MecabReader::dictionaryName() const
{
    if (!m_tagger->mecab)
        return {};
    return m_tagger->dictionary == Dictionary::NaistJdic ? QStringLiteral("naist-jdic")
                                                         : QStringLiteral("ipadic");
}

const MecabReader::Features &MecabReader::features(const char *feature) const
{
    static const Features none;
    if (!feature)
        return none;
    if (const auto it = m_tagger->features.find(feature); it != m_tagger->features.end())
        return it->second;
    const QStringList fields = splitFeature(feature);
    Features f;
    f.partOfSpeech = column(fields, 0);
    f.detail = column(fields, 1);
    f.detail2 = column(fields, 2);
    f.detail3 = column(fields, 3);
    f.conjugation = column(fields, 4);
    f.form = column(fields, 5);
    f.base = column(fields, BaseColumn);
    f.reading = column(fields, ReadingColumn);
    f.pronunciation = column(fields, PronunciationColumn);
    // "1/3" (nucleus on the first of three morae); a phrase entry gives its first word's.
    const QString accent = column(fields, AccentColumn);
    bool ok = false;
    const int nucleus = accent.section(u'/', 0, 0).toInt(&ok);
    f.accent = ok ? nucleus : -1;
    f.morae = accent.section(u'/', 1, 1).toInt();
    f.accentRule = column(fields, AccentRuleColumn);
    const int chain = fields.value(ChainColumn).toInt(&ok);
    f.chain = ok && chain >= 0 ? chain : -1;
    // The cache holds the features of the words a text used, a few thousand at most.
    if (m_tagger->features.size() > 200000)
        m_tagger->retiredFeatures = std::exchange(m_tagger->features, {});
    return m_tagger->features.emplace(feature, std::move(f)).first->second;
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
            const Features &f = features(node->feature);
            if (!f.pronunciation.isEmpty())
                out.append(f.pronunciation);
            else if (!f.reading.isEmpty())
                out.append(f.reading);
            else
                out.append(withoutIdeographs(surface));
        }
    }
    return out;
}

namespace {

// The UTF-16 position in `text` of each byte of its UTF-8 form that starts a character, -1
// for the others; one more for the end.
std::vector<qsizetype> utf16Positions(QStringView text, qsizetype utf8Size)
{
    std::vector<qsizetype> position(size_t(utf8Size) + 1, -1);
    qsizetype byte = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        position[size_t(byte)] = i;
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            byte += 4;
            ++i;
        } else {
            byte += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        }
    }
    position[size_t(utf8Size)] = text.size();
    return position;
}

} // namespace

QList<MecabReader::Token> MecabReader::analyse(QStringView text) const
{
    QList<Token> tokens;
    if (!m_tagger->mecab || text.isEmpty())
        return tokens;
    const QByteArray utf8 = text.toUtf8();
    const std::vector<qsizetype> position = utf16Positions(text, utf8.size());
    const mecab_node_t *node =
        mecab_sparse_tonode2(m_tagger->mecab, utf8.constData(), size_t(utf8.size()));
    for (; node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE || node->length == 0)
            continue;
        const qsizetype from = node->surface - utf8.constData();
        const qsizetype to = from + node->length;
        if (from < 0 || to > utf8.size() || position[size_t(from)] < 0 || position[size_t(to)] < 0)
            continue;
        tokens.append({position[size_t(from)], position[size_t(to)],
                       QString::fromUtf8(node->surface, qsizetype(node->length)),
                       features(node->feature), node->stat == MECAB_UNK_NODE});
    }
    return tokens;
}

QList<MecabReader::Node> MecabReader::lattice(QStringView text) const
{
    QList<Node> nodes;
    if (!m_tagger->mecab || text.isEmpty())
        return nodes;
    const QByteArray utf8 = text.toUtf8();
    const std::vector<qsizetype> position = utf16Positions(text, utf8.size());
    mecab_lattice_t *lattice = mecab_lattice_new();
    mecab_lattice_set_sentence2(lattice, utf8.constData(), size_t(utf8.size()));
    if (mecab_parse_lattice(m_tagger->mecab, lattice)) {
        for (qsizetype byte = 0; byte < utf8.size(); ++byte) {
            for (const mecab_node_t *n = mecab_lattice_get_begin_nodes(lattice, size_t(byte)); n;
                 n = n->bnext) {
                const qsizetype from = n->surface - utf8.constData();
                const qsizetype to = from + n->length;
                if (n->length == 0 || from < 0 || to > utf8.size() || position[size_t(from)] < 0 ||
                    position[size_t(to)] < 0)
                    continue;
                nodes.append({position[size_t(from)], position[size_t(to)], n->lcAttr, n->rcAttr,
                              int(n->wcost), n->stat == MECAB_UNK_NODE, n->feature});
            }
        }
    }
    mecab_lattice_destroy(lattice);
    return nodes;
}

int MecabReader::connection(quint16 right, quint16 left) const
{
    if (!m_tagger->matrix || right >= m_tagger->leftSize || left >= m_tagger->rightSize)
        return 0;
    return m_tagger->matrix[right + size_t(m_tagger->leftSize) * left];
}

} // namespace reading
