#include "evaluation_data.h"

#include "data/date_value.h"
#include "data/table.h"
#include "data/text_encoding.h"

#include <algorithm>

namespace ui {
namespace {

using data::FloatOf;
using data::IntegerOf;

std::string Utf8Of(const data::Value& v) {
    return data::Cp1252ToUtf8(data::BytesOf(v));
}

// The stored records of a table as they stand: a record being inserted is none yet, and
// one being edited counts with its stored values until the edit is posted.
template <typename F> void ForEachStoredRecord(const data::Table& table, F f) {
    for (int record = 0; record < table.RecordCount(); ++record)
        f(record);
}

} // namespace

EvaluationData EvaluationData::Read(const data::Table& athletes, const data::Table& results) {
    EvaluationData d;
    if (athletes.Active()) {
        const int id = athletes.FindField("sportlerid"), first = athletes.FindField("Vorname"),
                  name = athletes.FindField("Name"), sex = athletes.FindField("Geschlecht"),
                  born = athletes.FindField("Geburtsjahr");
        std::vector<std::pair<std::string, int>> order;
        ForEachStoredRecord(athletes, [&](int row) {
            evaluation::Athlete a;
            a.id = static_cast<int>(IntegerOf(athletes.RecordValueAt(row, id)));
            a.firstName = Utf8Of(athletes.RecordValueAt(row, first));
            a.name = Utf8Of(athletes.RecordValueAt(row, name));
            a.sex = Utf8Of(athletes.RecordValueAt(row, sex));
            a.birthYear = static_cast<int>(IntegerOf(athletes.RecordValueAt(row, born)));
            order.emplace_back(evaluation::SearchKey(a.name + " " + a.firstName), a.id);
            d.athletes.emplace(a.id, std::move(a));
        });
        std::stable_sort(order.begin(), order.end());
        for (const auto& [key, id2] : order)
            d.athleteOrder.push_back(id2);
    }
    if (results.Active()) {
        const int id = results.FindField("werteid"), athlete = results.FindField("sportlerid"),
                  date = results.FindField("Datum"), level = results.FindField("Level"),
                  shuttle = results.FindField("Runde"), vo2 = results.FindField("VO2-wert"),
                  notes = results.FindField("Infoswerte"), rating = results.FindField("Bewertung");
        d.results.reserve(static_cast<std::size_t>(results.RecordCount()));
        ForEachStoredRecord(results, [&](int row) {
            evaluation::Result r;
            r.id = static_cast<int>(IntegerOf(results.RecordValueAt(row, id)));
            r.athleteId = static_cast<int>(IntegerOf(results.RecordValueAt(row, athlete)));
            r.date = static_cast<int>(IntegerOf(results.RecordValueAt(row, date)));
            r.year = data::CivilFromDays(r.date).year;
            r.level = static_cast<int>(IntegerOf(results.RecordValueAt(row, level)));
            r.shuttle = static_cast<int>(IntegerOf(results.RecordValueAt(row, shuttle)));
            r.vo2max = FloatOf(results.RecordValueAt(row, vo2));
            r.notes = Utf8Of(results.RecordValueAt(row, notes));
            r.storedRating = Utf8Of(results.RecordValueAt(row, rating));
            d.byAthlete[r.athleteId].push_back(d.results.size());
            d.byDate[r.date].push_back(d.results.size());
            d.results.push_back(std::move(r));
        });
    }
    return d;
}

std::vector<evaluation::Result> EvaluationData::Select(const Index& index, int key) const {
    std::vector<evaluation::Result> list;
    if (const auto found = index.find(key); found != index.end())
        for (std::size_t i : found->second)
            list.push_back(results[i]);
    return list;
}

std::vector<evaluation::Result> EvaluationData::ResultsOf(int athleteId) const {
    return Select(byAthlete, athleteId);
}

std::vector<evaluation::Result> EvaluationData::ResultsOn(int date) const {
    return Select(byDate, date);
}

} // namespace ui
