#include "results_history.h"

#include "data/DModule.h"
#include "data/date_value.h"
#include "data/record_store.h"
#include "evaluation/global.h"

#include <random>

namespace {
const char* const Words[] = {"sehr schlecht",
                             "schlecht",
                             "ok",
                             "gut",
                             "sehr gut",
                             "\xfc"
                             "berragend"};
const char* const Notes[] = {"",
                             "",
                             "",
                             "Halle nass",
                             "nach Krankheit",
                             "Knie links bandagiert",
                             "Test abgebrochen, Seitenstechen",
                             "sehr motiviert & ehrgeizig"};
} // namespace

// A results table with `count` record versions: six in ten inserts, three modifications,
// one deletion, in a random order as a year of use would produce them.
data::TableImage MakeResultsHistory(int count) {
    data::TableImage image;
    for (const auto& def : MultiwertFields)
        image.columns.push_back(data::MakeColumn(def));
    image.columns[0].readOnly = true;
    image.autoIncValue = 1;
    data::RecordStore store(image);
    std::mt19937 random(42);
    global::InitVO2Table();
    auto values = [&] {
        const int level = 4 + int(random() % 12);
        data::Values v(8);
        v[1] = std::int64_t(1 + random() % 600);
        v[2] = std::int64_t(data::DaysFromCivil(2020, 1, 1) + int(random() % 2500));
        v[3] = std::int64_t(level);
        v[4] = std::int64_t(1 + random() % 9);
        v[5] = global::VO2Table[std::size_t((level - 1) * 18 + std::get<std::int64_t>(v[4]) - 1)];
        v[6] = std::string(Words[random() % 6]);
        const char* note = Notes[random() % 8];
        if (*note)
            v[7] = std::string(note);
        return v;
    };
    std::vector<std::uint32_t> visible;
    while (int(store.Count()) < count) {
        const unsigned what = random() % 10;
        if (what < 6 || visible.size() < 100) {
            visible.push_back(store.Insert(values()));
        } else if (what < 9) {
            const std::size_t at = random() % visible.size();
            data::Values v = store.At(visible[at]).values;
            v[4] = std::int64_t(1 + random() % 9);
            visible[at] = store.Modify(visible[at], v);
        } else {
            const std::size_t at = random() % visible.size();
            store.Delete(visible[at]);
            visible[at] = visible.back();
            visible.pop_back();
        }
    }
    return store.Image();
}

data::TableImage MakeAthletes(int count) {
    data::TableImage image;
    for (const auto& def : SportlerFields)
        image.columns.push_back(data::MakeColumn(def));
    image.columns[0].readOnly = true;
    image.autoIncValue = 1;
    data::RecordStore store(image);
    const char* const first[] = {"Anna",  "Ben",   "Clara",  "David", "Emma",
                                 "Felix", "Greta", "Hannes", "Ida",   "Jonas"};
    const char* const last[] = {"Meier", "Schulz", "Becker", "Wolf", "Koch", "Richter", "Klein", "Neumann"};
    std::mt19937 random(600);
    for (int i = 0; i < count; ++i) {
        data::Values v(6);
        v[1] = std::string(first[random() % 10]);
        v[2] = std::string(last[random() % 8]) + std::to_string(i);
        v[3] = std::string(random() % 2 ? "W" : "M");
        v[4] = std::int64_t(1950 + random() % 60);
        store.Insert(v);
    }
    return store.Image();
}
