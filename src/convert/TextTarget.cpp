#include "convert/TextTarget.h"

namespace convert {

QString applyEditsToString(const QString &text, const TextEdits &edits)
{
    if (edits.isEmpty())
        return text;
    qsizetype size = text.size();
    for (const TextEdit &e : edits)
        size += e.replacement.size() - e.length;
    QString out;
    out.reserve(size);
    qsizetype from = 0;
    for (const TextEdit &e : edits) {
        Q_ASSERT(e.position >= from && e.position + e.length <= text.size());
        out.append(QStringView(text).sliced(from, e.position - from));
        out.append(e.replacement);
        from = e.position + e.length;
    }
    out.append(QStringView(text).sliced(from));
    return out;
}

void StringTarget::applyEdits(const TextEdits &edits)
{
    if (edits.isEmpty())
        return;
    m_text = applyEditsToString(m_text, edits);
    ++m_batches;
}

} // namespace convert
