#include "class_import.h"

#include "data/DModule.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "evaluation/global.h"
#include "platform/errors.h"
#include "take_out.h"

namespace grouptest {

std::vector<PlannedRow> PlanImport(TDM1& dataModule, const std::vector<ClassListRow>& rows) {
    data::Table& athletes = dataModule.cdsSportler;
    const int idField = athletes.FindField("sportlerid"), firstField = athletes.FindField("Vorname"),
              nameField = athletes.FindField("Name"), yearField = athletes.FindField("Geburtsjahr");
    std::vector<PlannedRow> plan;
    for (const ClassListRow& row : rows) {
        PlannedRow planned;
        if (!row.problem.empty()) {
            planned.reason = row.problem;
        } else {
            const std::string first = data::Utf8ToCp1252(row.firstName), name = data::Utf8ToCp1252(row.name);
            for (int r = 0; r < athletes.RecordCount() && !planned.athleteId; ++r)
                if (data::BytesOf(athletes.RecordValueAt(r, firstField)) == first &&
                    data::BytesOf(athletes.RecordValueAt(r, nameField)) == name &&
                    data::IntegerOf(athletes.RecordValueAt(r, yearField)) == row.birthYear)
                    planned.athleteId = data::IntegerOf(athletes.RecordValueAt(r, idField));
            if (planned.athleteId)
                planned.fate = RowFate::Known;
            else if (row.sex.empty())
                planned.reason = "Geschlecht \"" + row.sexAsWritten + "\": bitte W oder M wählen";
            else
                planned.fate = RowFate::New;
        }
        plan.push_back(std::move(planned));
    }
    return plan;
}

ImportOutcome ImportClassList(TDM1& dataModule, const std::string& groupName,
                              const std::vector<ClassListRow>& rows) {
    data::GroupStore groups(dataModule);
    groups.CheckName(groupName);
    const std::vector<PlannedRow> plan = PlanImport(dataModule, rows);
    data::Table& athletes = dataModule.cdsSportler;
    if (athletes.Editing())
        throw vexo::Error(
            "Im Fenster „Sportler“ wird gerade ein Sportler bearbeitet. Bitte dort erst speichern "
            "oder abbrechen.");
    ImportOutcome outcome;
    std::vector<std::int64_t> members, created;
    try {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (plan[i].fate == RowFate::Known) {
                members.push_back(plan[i].athleteId);
                ++outcome.known;
            } else if (plan[i].fate == RowFate::New) {
                athletes.Insert();
                athletes.SetAsString("Vorname", data::Utf8ToCp1252(rows[i].firstName));
                athletes.SetAsString("Name", data::Utf8ToCp1252(rows[i].name));
                athletes.SetAsString("Geschlecht", rows[i].sex);
                athletes.SetAsInteger("Geburtsjahr", rows[i].birthYear);
                athletes.Post();
                created.push_back(athletes.AsInteger("sportlerid"));
                members.push_back(created.back());
            }
        }
        if (members.empty())
            throw vexo::Error("Keine Zeile der Liste kann übernommen werden.");
        outcome.groupId = groups.Create(groupName, members);
    } catch (...) {
        TakeOutAgain(athletes, "sportlerid", created); // all or nothing
        throw;
    }
    outcome.created = static_cast<int>(created.size());
    athletes.SaveToFile(global::SportlerPath);
    return outcome;
}

} // namespace grouptest
