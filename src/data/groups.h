#pragma once
// The groups of athletes ("Klasse 7b", "U16 Mädchen") as the program uses them: each a name
// and its members' athlete ids, kept in the groups table of the data module (the file
// "gruppen.xml", written after every change with the guarantees of every data file). An
// athlete may be in several groups. Names in UTF-8; a name is refused (vexo::Error with a
// German message) when it is empty, taken by another group, too long for the file or holds
// characters the file cannot store.
#include <cstdint>
#include <string>
#include <vector>

class TDM1;

namespace data {

struct Group {
    std::int64_t id = 0;
    std::string name;
    std::vector<std::int64_t> members; // athlete ids, ascending, each once
};

class GroupStore {
public:
    // Opens the groups table at its first use (a missing file is created).
    explicit GroupStore(TDM1& dataModule);

    std::vector<Group> All() const;   // in the table's order (by name)
    Group Get(std::int64_t id) const; // fails when the group is gone

    std::int64_t Create(const std::string& name, const std::vector<std::int64_t>& members = {});
    void Rename(std::int64_t id, const std::string& name);
    void Delete(std::int64_t id);
    void SetMembers(std::int64_t id, std::vector<std::int64_t> members);
    // Members of every group whose athlete is gone are left out.
    void ForgetAthletes(const std::vector<std::int64_t>& athletes);

    // The checks of a name, without changing anything (for a dialog that asks again).
    void CheckName(const std::string& name, std::int64_t exceptGroup = 0) const;

private:
    void MoveTo(std::int64_t id) const;
    void Save();

    TDM1& m_dataModule;
};

// The members' text as the file holds it ("3 17 42") and back; anything else is skipped.
std::string MembersText(const std::vector<std::int64_t>& members);
std::vector<std::int64_t> ParseMembers(const std::string& text);

} // namespace data
