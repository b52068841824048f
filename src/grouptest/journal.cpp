#include "journal.h"

#include "data/data_file.h"
#include "platform/errors.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

namespace grouptest {
namespace {

const char* const FirstLine = "VEXO-GRUPPENTEST 2";
const char* const EndKey = "ende\t";

// CRC-32 (the polynomial of zip and PNG), bitwise: journals are a few kilobytes.
std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

[[noreturn]] void Damaged(const std::string& what) {
    throw vexo::Error("Das Protokoll des Gruppentests ist beschädigt (" + what + ").");
}

// A name in one field: no tab and no line break in it.
std::string Field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
        if (tab == std::string::npos)
            return fields;
        from = tab + 1;
    }
}

std::int64_t Number(const std::string& text) {
    std::size_t used = 0;
    std::int64_t value = 0;
    try {
        value = std::stoll(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || text[0] == '+' || text[0] == ' ')
        Damaged("\"" + text.substr(0, 20) + "\" ist keine Zahl");
    return value;
}

} // namespace

std::string JournalText(const GroupRun& run) {
    std::ostringstream out;
    out << FirstLine << "\n";
    out << "gruppe\t" << run.GroupId() << "\t" << Field(run.GroupName()) << "\n";
    out << "start\t" << run.StartTime() << "\n";
    out << "beendet\t" << (run.Finished() ? 1 : 0) << "\n";
    out << "stand\t" << run.LastCompleted().first << "\t" << run.LastCompleted().second << "\n";
    for (const Runner& r : run.Runners())
        out << "laeufer\t" << r.athleteId << "\t" << static_cast<int>(r.state) << "\t" << r.level << "\t"
            << r.shuttle << "\t" << Field(r.firstName) << "\t" << Field(r.name) << "\n";
    if (!run.TakenOver().empty()) {
        out << "uebernahme";
        for (std::int64_t id : run.TakenOver())
            out << "\t" << id;
        out << "\n";
    }
    std::string text = out.str();
    return text + EndKey + Hex8(Crc32(text)) + "\n";
}

GroupRun ParseJournal(const std::string& text) {
    if (text.rfind(std::string(FirstLine).substr(0, 17), 0) != 0)
        throw vexo::Error("Die Datei ist kein Protokoll eines Gruppentests.");
    // The end mark with the checksum of all before it, on the last line: a journal cut short
    // has none, a changed byte gives another sum.
    const std::size_t endLine = text.rfind(std::string("\n") + EndKey);
    if (endLine == std::string::npos || text.back() != '\n')
        Damaged("unvollständig");
    const std::string body = text.substr(0, endLine + 1);
    const std::string sum = text.substr(endLine + 1 + std::strlen(EndKey));
    if (sum != Hex8(Crc32(body)) + "\n")
        Damaged("Prüfsumme stimmt nicht");
    std::istringstream in(body);
    std::string line;
    if (!std::getline(in, line) || line != FirstLine)
        throw vexo::Error(
            "Das Protokoll stammt von einer anderen Programmversion und kann nicht gelesen werden.");
    std::int64_t groupId = 0, start = 0;
    std::string groupName;
    bool finished = false, haveGroup = false, haveStart = false;
    std::vector<Runner> runners;
    std::vector<std::int64_t> takenOver;
    std::pair<int, int> lastCompleted{0, 0};
    while (std::getline(in, line)) {
        const auto f = SplitTabs(line);
        if (f[0] == "gruppe" && f.size() == 3 && !haveGroup) {
            groupId = Number(f[1]);
            groupName = f[2];
            haveGroup = true;
        } else if (f[0] == "start" && f.size() == 2 && !haveStart) {
            start = Number(f[1]);
            haveStart = true;
        } else if (f[0] == "beendet" && f.size() == 2) {
            finished = Number(f[1]) != 0;
        } else if (f[0] == "stand" && f.size() == 3) {
            lastCompleted = {static_cast<int>(Number(f[1])), static_cast<int>(Number(f[2]))};
        } else if (f[0] == "laeufer" && f.size() == 7) {
            Runner r;
            r.athleteId = Number(f[1]);
            const std::int64_t state = Number(f[2]);
            if (state < 0 || state > 2)
                Damaged("Zustand " + f[2]);
            r.state = static_cast<RunnerState>(state);
            r.level = static_cast<int>(Number(f[3]));
            r.shuttle = static_cast<int>(Number(f[4]));
            r.firstName = f[5];
            r.name = f[6];
            runners.push_back(std::move(r));
        } else if (f[0] == "uebernahme" && f.size() >= 2) {
            for (std::size_t i = 1; i < f.size(); ++i)
                takenOver.push_back(Number(f[i]));
        } else {
            Damaged("Zeile \"" + line.substr(0, 40) + "\"");
        }
    }
    if (!haveGroup || !haveStart)
        Damaged("Gruppe oder Start fehlt");
    GroupRun run = GroupRun::Restored(groupId, std::move(groupName), start, finished, std::move(runners));
    run.SetTakenOver(std::move(takenOver));
    run.NoteCompleted(lastCompleted);
    return run;
}

void WriteJournal(const std::string& path, const GroupRun& run) {
    data::WriteFileSafely(path, JournalText(run));
}

std::optional<GroupRun> ReadJournal(const std::string& path) {
    if (!data::FileExists(path))
        return std::nullopt;
    return ParseJournal(data::ReadWholeFile(path));
}

void RemoveJournal(const std::string& path) {
    std::remove(path.c_str());
}

} // namespace grouptest
