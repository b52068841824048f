// The file operations of a table: open from its bound file, load from a path, save.
#include "data_file.h"
#include "packet_xml.h"
#include "table.h"
#include "table_errors.h"

namespace data {

void Table::Open() {
    if (Active())
        return;
    if (m_fileName.empty() || !FileExists(m_fileName) || FileSizeOf(m_fileName) == 0)
        throw vexo::Error("Fehlender Daten-Provider oder Datenpaket");
    const std::string bytes = ReadOwnFile(m_fileName);
    OpenFromImage(ReadOwnPacket(m_fileName, bytes));
}

void Table::LoadFromFile(const std::string& path) {
    Close();
    const std::string bytes = ReadOwnFile(path);
    if (bytes.empty())
        throw vexo::Error("Fehlender Daten-Provider oder Datenpaket");
    OpenFromImage(ReadOwnPacket(path, bytes));
}

void Table::SaveToFile(const std::string& path) {
    if (!Active())
        return;
    if (Editing())
        Post(); // the pending record goes in with its checks, or the save stops here
    WriteTo(path.empty() ? m_fileName : path);
}

void Table::WriteTo(const std::string& path) {
    WriteFileSafely(path, WritePacketXml(m_store->Image()));
}

std::string ReadOwnFile(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const vexo::Error& e) {
        throw UnreadableFile(e.what(), path);
    }
}

TableImage ReadOwnPacket(const std::string& path, const std::string& bytes) {
    try {
        return ReadPacketXml(bytes);
    } catch (const vexo::Error& e) {
        throw UnreadableFile(e.what(), path);
    }
}

} // namespace data
