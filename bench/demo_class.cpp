// Writes the files of a class to look at: 30 pupils of a 7th form (12 and 13 years old) with
// three test days over a school year, as a coach would have entered them, and the group
// "Klasse 7b" of all of them, into a folder given (the program's folder, when it should open
// them):
//
//   build/bench/demo_class <folder>
#include "bench_support.h"
#include "data/DModule.h"
#include "data/date_value.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "evaluation/global.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_class <folder>\n");
        return 2;
    }
    QuietDialogs dialogs;
    platform::QtTimerFactory timers;
    platform::QtClock clock;
    platform::SetDialogs(&dialogs);
    platform::SetTimers(&timers);
    platform::SetClock(&clock);
    global::InitVO2Table();
    const std::string folder = argv[1];
    global::SportlerPath = folder + "/sportler.xml";
    global::MultiwertPath = folder + "/multiwert.xml";
    TDM1 dm;
    DM1 = &dm;
    dm.FirstActivation();
    const char* const first[30] = {"Lena",  "Jonas", "Mia",    "Elias", "Emma",  "Noah",  "Hannah", "Paul",
                                   "Lea",   "Ben",   "Sophie", "Finn",  "Marie", "Luca",  "Zoë",    "Ömer",
                                   "Clara", "Leon",  "Ida",    "Felix", "Nele",  "Anton", "Frieda", "Emil",
                                   "Greta", "Karl",  "Maja",   "Theo",  "Luisa", "Moritz"};
    const char* const last[30] = {"Schmidt",  "Müller",   "Weiß",    "Schneider",  "Fischer",  "Weber",
                                  "Meyer",    "Wagner",   "Becker",  "Schulz",     "Hoffmann", "Schäfer",
                                  "Koch",     "Bauer",    "Richter", "Öztürk",     "Klein",    "Wolf",
                                  "Schröder", "Neumann",  "Schwarz", "Zimmermann", "Braun",    "Krüger",
                                  "Hofmann",  "Hartmann", "Lange",   "Schmitt",    "Vogel",    "Jung"};
    const int days[] = {data::DaysFromCivil(2025, 9, 22), data::DaysFromCivil(2026, 1, 26),
                        data::DaysFromCivil(2026, 6, 15)};
    std::vector<std::int64_t> members;
    for (int i = 0; i < 30; ++i) {
        data::Table& athletes = dm.cdsSportler;
        athletes.Insert();
        athletes.SetAsString("Vorname", data::Utf8ToCp1252(first[i]));
        athletes.SetAsString("Name", data::Utf8ToCp1252(last[i]));
        athletes.SetAsString("Geschlecht", i % 2 ? "M" : "W");
        athletes.SetAsInteger("Geburtsjahr", i % 3 ? 2013 : 2012);
        athletes.Post();
        const auto id = athletes.AsInteger("sportlerid");
        members.push_back(id);
        for (int t = 0; t < 3; ++t) {
            if ((i + t) % 11 == 10)
                continue; // ill on that day
            data::Table& results = dm.cdsMultiwert;
            results.Insert();
            results.SetAsInteger("sportlerid", id);
            results.SetAsDate("Datum", days[t]);
            const int level = 3 + (i * 7) % 6 + t;
            results.SetAsInteger("Level", level);
            results.SetAsInteger("Runde", 1 + (i * 5 + t * 3) % 7);
            results.Post();
        }
    }
    dm.cdsSportler.SaveToFile();
    dm.cdsMultiwert.SaveToFile();
    global::GruppenPath = folder + "/gruppen.xml";
    data::GroupStore(dm).Create("Klasse 7b", members);
    DM1 = nullptr;
    std::printf("%s: 30 athletes, their results on three test days, the group \"Klasse 7b\"\n",
                folder.c_str());
    return 0;
}
