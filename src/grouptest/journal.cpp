#include "journal.h"

#include "data/data_file.h"
#include "platform/errors.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace grouptest {
namespace {

const char* const FirstLine = "VEXO-GRUPPENTEST 1";

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
    if (used == 0 || used != text.size())
        throw vexo::Error("Das Protokoll des Gruppentests ist beschädigt (\"" + text + "\" ist keine Zahl).");
    return value;
}

} // namespace

std::string JournalText(const GroupRun& run) {
    std::ostringstream out;
    out << FirstLine << "\n";
    out << "gruppe\t" << run.GroupId() << "\t" << Field(run.GroupName()) << "\n";
    out << "start\t" << run.StartTime() << "\n";
    out << "beendet\t" << (run.Finished() ? 1 : 0) << "\n";
    for (const Runner& r : run.Runners())
        out << "laeufer\t" << r.athleteId << "\t" << static_cast<int>(r.state) << "\t" << r.level << "\t"
            << r.shuttle << "\t" << Field(r.firstName) << "\t" << Field(r.name) << "\n";
    return out.str();
}

GroupRun ParseJournal(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != FirstLine)
        throw vexo::Error("Die Datei ist kein Protokoll eines Gruppentests.");
    std::int64_t groupId = 0, start = 0;
    std::string groupName;
    bool finished = false;
    std::vector<Runner> runners;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const auto f = SplitTabs(line);
        if (f[0] == "gruppe" && f.size() == 3) {
            groupId = Number(f[1]);
            groupName = f[2];
        } else if (f[0] == "start" && f.size() == 2) {
            start = Number(f[1]);
        } else if (f[0] == "beendet" && f.size() == 2) {
            finished = Number(f[1]) != 0;
        } else if (f[0] == "laeufer" && f.size() == 7) {
            Runner r;
            r.athleteId = Number(f[1]);
            const std::int64_t state = Number(f[2]);
            if (state < 0 || state > 2)
                throw vexo::Error("Das Protokoll des Gruppentests ist beschädigt (Zustand " + f[2] + ").");
            r.state = static_cast<RunnerState>(state);
            r.level = static_cast<int>(Number(f[3]));
            r.shuttle = static_cast<int>(Number(f[4]));
            r.firstName = f[5];
            r.name = f[6];
            runners.push_back(std::move(r));
        } else {
            throw vexo::Error("Das Protokoll des Gruppentests ist beschädigt (Zeile \"" + line.substr(0, 40) +
                              "\").");
        }
    }
    return GroupRun::Restored(groupId, std::move(groupName), start, finished, std::move(runners));
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
