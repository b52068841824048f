// Reading a data packet: the document's character set, then the metadata, the rows and the
// end, in the order they must come; each part in a file of its own.
#include "packet_reading.h"
#include "packet_xml.h"

namespace data {

TableImage ReadPacketXml(std::string_view bytes) {
    const PacketText packet = TextOfPacket(bytes);
    const std::string_view text = packet.text;

    PacketScanner scanner(text, packet.start);
    TableImage image;
    PacketTag* tag = &scanner.Expect();
    bool inPacket = false;
    if (tag->name == "DATAPACKET" && tag->kind == PacketTag::Start) {
        inPacket = true;
        tag = &scanner.Expect();
    }
    if (tag->name == "ROWDATA" && tag->kind != PacketTag::End)
        throw PacketError("Datapacket contains no meta data.");
    if (tag->name != "METADATA" || tag->kind != PacketTag::Start)
        Mismatch();
    tag = &scanner.Expect();
    if (tag->name != "FIELDS" || tag->kind != PacketTag::Start)
        Mismatch();
    for (;;) {
        tag = &scanner.Expect();
        if (tag->kind == PacketTag::End && tag->name == "FIELDS")
            break;
        if (tag->name != "FIELD" || tag->kind == PacketTag::End)
            Mismatch();
        if (image.columns.size() >= MaxPacketColumns)
            throw PacketError(TooLargeMessage);
        Column column = ReadField(*tag);
        // Rows name their values by the attribute name: two columns of one name cannot be told apart.
        for (const Column& other : image.columns)
            if (other.attrName == column.attrName)
                throw PacketError("Zwei Felder heißen \"" + column.attrName + "\".");
        image.columns.push_back(std::move(column));
        if (tag->kind == PacketTag::Start)
            scanner.SkipContent("FIELD");
    }
    if (image.columns.empty())
        Mismatch();
    tag = &scanner.Expect();
    if (tag->name == "PARAMS" && tag->kind != PacketTag::End) {
        ReadParams(*tag, image);
        if (tag->kind == PacketTag::Start)
            scanner.SkipContent("PARAMS");
        tag = &scanner.Expect();
    }
    if (tag->kind != PacketTag::End || tag->name != "METADATA")
        Mismatch();
    tag = &scanner.Expect();
    if (tag->name != "ROWDATA" || tag->kind == PacketTag::End)
        Mismatch();
    std::int64_t highestId = 0;
    if (tag->kind == PacketTag::Start)
        highestId = ReadRows(scanner, text, image);
    if (inPacket) {
        tag = &scanner.Expect();
        if (tag->kind != PacketTag::End || tag->name != "DATAPACKET")
            Mismatch();
    }
    // The counter never hands out an id that a row holds: a file without one, or with one
    // at or below the highest id of its rows (0, negative, or simply wrong), starts above
    // that id.
    if (image.AutoIncColumn() >= 0 && (!image.autoIncValue || *image.autoIncValue <= highestId))
        image.autoIncValue = highestId + 1;
    return image;
}

} // namespace data
