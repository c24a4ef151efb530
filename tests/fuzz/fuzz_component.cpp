// The component records the settings file keeps, on any bytes.
//
// Reading never fails; a stream that reads, written again, reads as the same stream; a
// record that decodes, encoded again, decodes to the same record whatever the component
// held before.

#include "FuzzSupport.h"

#include "settings/ComponentRecord.h"

using fuzz::require;
using namespace settings;

namespace {

bool sameStream(const ComponentStream &a, const ComponentStream &b)
{
    if (a.className != b.className || a.name != b.name ||
        a.properties.size() != b.properties.size())
        return false;
    for (qsizetype i = 0; i < a.properties.size(); ++i) {
        if (a.properties[i].name != b.properties[i].name ||
            a.properties[i].value != b.properties[i].value)
            return false;
    }
    return true;
}

template <typename Record>
void checkRecordFrom(QByteArrayView bytes, const Record &current, const QString &componentName)
{
    const std::optional<Record> decoded = decodeComponent(bytes, componentName, current);
    if (!decoded)
        return;
    const QByteArray again = encodeComponent(componentName, *decoded);
    require(decodeComponent(again, componentName, Record{}) == decoded,
            "a decoded record encodes and decodes to itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const std::optional<ComponentStream> stream = readComponentStream(bytes);
    if (!stream)
        return 0;
    const QByteArray written = writeComponentStream(*stream);
    const std::optional<ComponentStream> reread = readComponentStream(written);
    require(reread && sameStream(*reread, *stream), "a stream read and written reads the same");

    // Whatever the record names itself, it is decoded as the component of that name.
    PaneRecord pane;
    pane.font.name = QStringLiteral("ＭＳ 明朝");
    pane.vertical = true;
    checkRecordFrom(bytes, pane, stream->name);
    ScrollStripRecord strip;
    strip.msg = QStringLiteral("秋の田の");
    strip.interval = 50;
    checkRecordFrom(bytes, strip, stream->name);
    DropTargetRecord drop;
    drop.control = QStringLiteral("RichEditNx1");
    drop.acceptDrop = false;
    checkRecordFrom(bytes, drop, stream->name);
    return 0;
}
