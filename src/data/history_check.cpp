#include "history_check.h"

#include <algorithm>
#include <string>
#include <vector>

namespace data {
namespace {

[[noreturn]] void Contradiction(const std::string& what) {
    throw DamagedHistory("Die Zeilen der Datei passen nicht zu ihrem Änderungsprotokoll: " + what);
}

std::string EntryText(std::size_t index, const LogEntry& e) {
    return "Eintrag " + std::to_string(index + 1) + " (" + std::to_string(e.record) + " " +
           std::to_string(e.predecessor) + " " + std::to_string(e.action) + ")";
}

// No two visible versions share an id. Ids lie between 1 and the counter, so a table of
// marks does it in one pass; ids outside that range (a damaged counter) are sorted instead.
void CheckVisibleIdsUnique(const TableImage& image, std::size_t column) {
    const std::int64_t limit = image.autoIncValue.value_or(0);
    const bool marks = limit > 0 && static_cast<std::uint64_t>(limit) <= 16 * image.versions.size() + 1024;
    std::vector<bool> seen(marks ? static_cast<std::size_t>(limit) + 1 : 0);
    std::vector<std::int64_t> others;
    auto twice = [](std::int64_t id) {
        Contradiction("zwei gültige Datensätze haben die Nummer " + std::to_string(id) + ".");
    };
    for (const Version& v : image.versions) {
        if (v.state & (RowSuperseded | RowDeleted))
            continue;
        const auto* id = std::get_if<std::int64_t>(&v.values[column]);
        if (!id)
            continue;
        if (marks && *id >= 0 && *id <= limit) {
            if (seen[static_cast<std::size_t>(*id)])
                twice(*id);
            seen[static_cast<std::size_t>(*id)] = true;
        } else {
            others.push_back(*id);
        }
    }
    std::sort(others.begin(), others.end());
    if (const auto at = std::adjacent_find(others.begin(), others.end()); at != others.end())
        twice(*at);
}

} // namespace

void CheckHistory(const TableImage& image) {
    const std::size_t rows = image.versions.size();
    auto exists = [&](std::uint32_t record) { return record >= 1 && record <= rows; };
    // The states the log gives every row; rows it never made came without history (0).
    std::vector<std::uint8_t> state(rows + 1, 0);
    std::vector<bool> made(rows + 1, false);
    const int autoInc = image.AutoIncColumn();
    for (std::size_t i = 0; i < image.changeLog.size(); ++i) {
        const LogEntry& e = image.changeLog[i];
        switch (e.action) {
        case ActionInsert:
        case ActionModify:
            if (!exists(e.record))
                Contradiction(EntryText(i, e) + " nennt eine Zeile, die es nicht gibt.");
            if (made[e.record])
                Contradiction(EntryText(i, e) + " legt eine Zeile ein zweites Mal an.");
            made[e.record] = true;
            if (e.action == ActionInsert) {
                if (e.predecessor != 0)
                    Contradiction(EntryText(i, e) + " nennt beim Einfügen einen Vorgänger.");
                state[e.record] = RowInserted;
                break;
            }
            if (!exists(e.predecessor) || e.predecessor >= e.record)
                Contradiction(EntryText(i, e) + " nennt keinen gültigen Vorgänger.");
            if (state[e.predecessor] & (RowSuperseded | RowDeleted))
                Contradiction(EntryText(i, e) + " ändert eine Zeile, die nicht mehr gilt.");
            state[e.record] = RowModified | (state[e.predecessor] & RowInserted);
            state[e.predecessor] |= RowSuperseded;
            break;
        case ActionDelete:
            if (!exists(e.record) || e.predecessor != 0)
                Contradiction(EntryText(i, e) + " nennt eine Zeile, die es nicht gibt.");
            if (state[e.record] & (RowSuperseded | RowDeleted))
                Contradiction(EntryText(i, e) + " löscht eine Zeile, die nicht mehr gilt.");
            state[e.record] |= RowDeleted;
            break;
        default:
            Contradiction(EntryText(i, e) + " hat eine unbekannte Aktion.");
        }
    }
    for (std::uint32_t r = 1; r <= rows; ++r)
        if (image.versions[r - 1].state != state[r])
            Contradiction("Zeile " + std::to_string(r) + " hat den Zeilenstatus " +
                          std::to_string(image.versions[r - 1].state) + ", das Protokoll ergibt " +
                          std::to_string(state[r]) + ".");
    if (autoInc >= 0)
        CheckVisibleIdsUnique(image, static_cast<std::size_t>(autoInc));
}

} // namespace data
