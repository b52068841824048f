#include "groups.h"

#include "DModule.h"
#include "evaluation/global.h"
#include "platform/errors.h"
#include "text_encoding.h"

#include <algorithm>
#include <charconv>

namespace data {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void Normalise(std::vector<std::int64_t>& members) {
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string MembersText(const std::vector<std::int64_t>& members) {
    std::string text;
    for (std::int64_t id : members) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(id);
    }
    return text;
}

std::vector<std::int64_t> ParseMembers(const std::string& text) {
    std::vector<std::int64_t> members;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        while (p < end && (*p < '0' || *p > '9'))
            ++p;
        std::int64_t id = 0;
        const auto [next, error] = std::from_chars(p, end, id);
        if (error == std::errc() && id > 0)
            members.push_back(id);
        p = next == p ? p + 1 : next;
    }
    Normalise(members);
    return members;
}

GroupStore::GroupStore(TDM1& dataModule) : m_dataModule(dataModule) {
    m_dataModule.OpenOrCreateGruppen();
}

std::vector<Group> GroupStore::All() const {
    Table& table = m_dataModule.cdsGruppen;
    std::vector<Group> groups;
    for (int record = 0; record < table.RecordCount(); ++record) {
        Group g;
        g.id = IntegerOf(table.RecordValueAt(record, table.FindField("gruppenid")));
        g.name = Cp1252ToUtf8(BytesOf(table.RecordValueAt(record, table.FindField("Name"))));
        g.members = ParseMembers(BytesOf(table.RecordValueAt(record, table.FindField("Mitglieder"))));
        groups.push_back(std::move(g));
    }
    return groups;
}

Group GroupStore::Get(std::int64_t id) const {
    for (Group& g : All())
        if (g.id == id)
            return std::move(g);
    throw vexo::Error("Die Gruppe gibt es nicht mehr.");
}

void GroupStore::CheckName(const std::string& name, std::int64_t exceptGroup) const {
    const std::string trimmed = Trimmed(name);
    if (trimmed.empty())
        throw vexo::Error("Bitte einen Namen für die Gruppe eingeben.");
    if (Cp1252ToUtf8(Utf8ToCp1252(trimmed)) != trimmed)
        throw vexo::Error("Der Name \"" + trimmed +
                          "\" enthält Zeichen, die die Datei nicht speichern kann.");
    if (Utf8ToCp1252(trimmed).size() > 40)
        throw vexo::Error("Der Name einer Gruppe darf höchstens 40 Zeichen lang sein.");
    for (const Group& g : All())
        if (g.id != exceptGroup && Lower(Utf8ToCp1252(g.name)) == Lower(Utf8ToCp1252(trimmed)))
            throw vexo::Error("Eine Gruppe \"" + g.name + "\" gibt es schon.");
}

void GroupStore::MoveTo(std::int64_t id) const {
    if (!m_dataModule.cdsGruppen.LocateInteger("gruppenid", id))
        throw vexo::Error("Die Gruppe gibt es nicht mehr.");
}

void GroupStore::Save() {
    m_dataModule.cdsGruppen.SaveToFile(global::GruppenPath);
}

std::int64_t GroupStore::Create(const std::string& name, const std::vector<std::int64_t>& members) {
    CheckName(name);
    Table& table = m_dataModule.cdsGruppen;
    std::vector<std::int64_t> sorted = members;
    Normalise(sorted);
    table.Insert();
    try {
        table.SetAsString("Name", Utf8ToCp1252(Trimmed(name)));
        table.SetAsString("Mitglieder", MembersText(sorted));
        table.Post();
    } catch (...) {
        table.Cancel();
        throw;
    }
    const std::int64_t id = table.AsInteger("gruppenid");
    Save();
    return id;
}

void GroupStore::Rename(std::int64_t id, const std::string& name) {
    CheckName(name, id);
    MoveTo(id);
    Table& table = m_dataModule.cdsGruppen;
    table.Edit();
    table.SetAsString("Name", Utf8ToCp1252(Trimmed(name)));
    table.Post();
    Save();
}

void GroupStore::Delete(std::int64_t id) {
    MoveTo(id);
    m_dataModule.cdsGruppen.Delete();
    Save();
}

void GroupStore::SetMembers(std::int64_t id, std::vector<std::int64_t> members) {
    Normalise(members);
    MoveTo(id);
    Table& table = m_dataModule.cdsGruppen;
    table.Edit();
    table.SetAsString("Mitglieder", MembersText(members));
    table.Post();
    Save();
}

void GroupStore::ForgetAthletes(const std::vector<std::int64_t>& athletes) {
    for (const Group& g : All()) {
        std::vector<std::int64_t> kept;
        std::copy_if(g.members.begin(), g.members.end(), std::back_inserter(kept), [&](std::int64_t id) {
            return std::find(athletes.begin(), athletes.end(), id) == athletes.end();
        });
        if (kept.size() != g.members.size())
            SetMembers(g.id, kept);
    }
}

} // namespace data
