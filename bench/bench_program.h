#pragma once
// The set-up the window benchmarks share: Qt's timers and clock and quiet message boxes as
// the seams, and a temporary folder holding an athlete file of 600 and a results file of
// `versions` record versions, which global's paths name; removed again at the end.
#include "bench_support.h"
#include "data/data_file.h"
#include "data/packet_xml.h"
#include "evaluation/global.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "results_history.h"

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

struct BenchProgram {
    QuietDialogs dialogs;
    platform::QtTimerFactory timers;
    platform::QtClock clock;
    std::string folder;

    explicit BenchProgram(int versions) {
        platform::SetDialogs(&dialogs);
        platform::SetTimers(&timers);
        platform::SetClock(&clock);
        global::InitVO2Table();
        char name[] = "/tmp/vexo-bench-XXXXXX";
        if (!mkdtemp(name))
            throw std::runtime_error("no temporary folder");
        folder = name;
        global::SportlerPath = folder + "/sportler.xml";
        global::MultiwertPath = folder + "/multiwert.xml";
        global::GruppenPath = folder + "/gruppen.xml";
        global::GruppentestPath = folder + "/gruppentest.journal";
        data::WriteFileSafely(global::SportlerPath, data::WritePacketXml(MakeAthletes(600)));
        data::WriteFileSafely(global::MultiwertPath, data::WritePacketXml(MakeResultsHistory(versions)));
    }
    ~BenchProgram() {
        for (const std::string& f :
             {global::SportlerPath, global::MultiwertPath, global::SportlerPath + ".bak",
              global::MultiwertPath + ".bak", global::GruppentestPath, global::GruppentestPath + ".bak"})
            std::remove(f.c_str());
        rmdir(folder.c_str());
    }
};
