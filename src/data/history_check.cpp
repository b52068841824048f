#include "history_check.h"

#include <string>
#include <unordered_set>
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

} // namespace

void CheckHistory(const TableImage& image) {
    const std::size_t rows = image.versions.size();
    auto exists = [&](std::uint32_t record) { return record >= 1 && record <= rows; };
    // The states the log gives every row; rows it never made came without history (0).
    std::vector<std::uint8_t> state(rows + 1, 0);
    std::vector<bool> made(rows + 1, false);
    const int autoInc = image.AutoIncColumn();
    auto idOf = [&](std::uint32_t record) -> const Value& {
        return image.versions[record - 1].values[static_cast<std::size_t>(autoInc)];
    };
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
            if (autoInc >= 0 && !(idOf(e.record) == idOf(e.predecessor)))
                Contradiction(EntryText(i, e) + " ändert die Nummer des Datensatzes.");
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
    std::unordered_set<std::int64_t> visibleIds;
    if (autoInc >= 0)
        visibleIds.reserve(rows);
    for (std::uint32_t r = 1; r <= rows; ++r) {
        const Version& v = image.versions[r - 1];
        if (v.state != state[r])
            Contradiction("Zeile " + std::to_string(r) + " hat den Zeilenstatus " + std::to_string(v.state) +
                          ", das Protokoll ergibt " + std::to_string(state[r]) + ".");
        if (autoInc < 0 || (v.state & (RowSuperseded | RowDeleted)))
            continue;
        if (const auto* id = std::get_if<std::int64_t>(&idOf(r)); id && !visibleIds.insert(*id).second)
            Contradiction("zwei gültige Datensätze haben die Nummer " + std::to_string(*id) + ".");
    }
}

} // namespace data
