// The file operations of a table: open from its bound file, load from a path, save.
#include "data_file.h"
#include "history_check.h"
#include "notices.h"
#include "packet_xml.h"
#include "table.h"
#include "table_errors.h"

#include <new>

namespace data {

namespace {
const char* const NoPacket = "Fehlender Daten-Provider oder Datenpaket";
const char* const OutOfMemory = "Nicht genügend Arbeitsspeicher, um die Datei zu lesen.";
} // namespace

void Table::Open() {
    if (Active())
        return;
    // A missing or empty file is a failure of this table's file, named for it alone: a table
    // that opens this one for its look-ups must not take it for its own.
    if (m_fileName.empty() || !FileExists(m_fileName) || FileSizeOf(m_fileName) == 0)
        throw UnreadableFile(NoPacket, m_fileName);
    OpenFromFile(m_fileName, ReadOwnFile(m_fileName).View());
}

void Table::LoadFromFile(const std::string& path) {
    Close();
    const FileBytes bytes = ReadOwnFile(path);
    if (bytes.size == 0)
        throw UnreadableFile(NoPacket, path);
    OpenFromFile(path, bytes.View());
}

// Every reason this table's own file cannot become the table (a damaged packet, another
// layout, too little memory) is a failure of that file; a failure to open a lookup table
// belongs to the lookup table's file and passes on as it is.
void Table::OpenFromFile(const std::string& path, std::string_view bytes) {
    OpenLookupTables();
    try {
        TableImage image = ReadPacketXml(bytes);
        CheckHistory(image);
        OpenFromImage(std::move(image));
    } catch (const UnreadableFile&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw UnreadableFile(OutOfMemory, path);
    } catch (const std::exception& e) {
        throw UnreadableFile(e.what(), path);
    }
}

void Table::SaveToFile(const std::string& path) {
    if (!Active())
        return;
    if (State() == TableState::Insert && !Modified())
        Cancel(); // a record inserted and never typed into is nothing to store
    else if (Editing())
        Post(); // the pending record goes in with its checks, or the save stops here
    WriteTo(path.empty() ? m_fileName : path);
}

void Table::WriteTo(const std::string& path) {
    // The table's own file, when this save changes its bytes, is kept as "<name>.bak";
    // saving the same content again leaves that backup as it is.
    const Backup backup = path == m_fileName ? Backup::WhenChanged : Backup::None;
    // In LargeBlocks memory: a fresh buffer of the file's size would arrive page by page.
    LargeString bytes;
    WritePacketXml(m_store->Image(), bytes);
    const SaveOutcome outcome = WriteFileSafely(path, bytes, backup);
    if (!outcome.backupProblem.empty())
        ReportNotice(outcome.backupProblem);
}

FileBytes ReadOwnFile(const std::string& path) {
    try {
        return ReadFileBytes(path);
    } catch (const std::bad_alloc&) {
        throw UnreadableFile(OutOfMemory, path);
    } catch (const vexo::Error& e) {
        throw UnreadableFile(e.what(), path);
    }
}

} // namespace data
