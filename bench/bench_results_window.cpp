// Results-window benchmark: a results file of 100 000 record versions (about 55 000 visible)
// with 600 athletes, and the real results window on the offscreen platform. Times the
// opening (reload and first paint), a navigator step, a page down in the grid and a post,
// each with the repaint it causes, and the memory the window and its model take beyond
// the table.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_results_window [versions]
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/large_blocks.h"
#include "data/packet_xml.h"
#include "evaluation/global.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "results_history.h"
#include "ui/f_werte.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

struct QuietDialogs : platform::DialogService {
    void ShowMessage(const std::string&) override {}
    platform::Answer AskYesNo(const std::string&) override { return platform::Answer::Yes; }
    platform::Answer AskYesAbort(const std::string&) override { return platform::Answer::Yes; }
    std::string AskSaveFileName(const std::string&, const std::string&) override { return {}; }
    void ShowError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
};

long ResidentKb() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024) - long(data::KeptLargeBlockBytes() / 1024);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The work a user's action sets off, until the window has painted again.
template <typename F> double TimedMs(Tfrm_Werte& window, F action) {
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::processEvents();
    window.Grid()->viewport()->repaint();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    QuietDialogs dialogs;
    platform::QtTimerFactory timers;
    platform::QtClock clock;
    platform::SetDialogs(&dialogs);
    platform::SetTimers(&timers);
    platform::SetClock(&clock);
    global::InitVO2Table();

    char folder[] = "/tmp/vexo-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    global::SportlerPath = std::string(folder) + "/sportler.xml";
    global::MultiwertPath = std::string(folder) + "/multiwert.xml";
    data::WriteFileSafely(global::SportlerPath, data::WritePacketXml(MakeAthletes(600)));
    data::WriteFileSafely(global::MultiwertPath, data::WritePacketXml(MakeResultsHistory(versions)));

    {
        TDM1 dm;
        DM1 = &dm;
        {
            Tfrm_Werte warmUp; // Qt's fonts, style and caches, which any first window sets up
            warmUp.show();
            QCoreApplication::processEvents();
        }
        const long empty = ResidentKb();
        dm.FirstActivation(); // the program's start: the table loaded once already
        const long tableKb = ResidentKb() - empty;
        const long before = ResidentKb();
        Tfrm_Werte window;
        window.resize(711, 519);
        std::vector<double> opens;
        for (int i = 0; i < 5; ++i) {
            window.hide();
            opens.push_back(TimedMs(window, [&] { window.show(); })); // "Werte": reload and paint
        }
        const int rows = window.Grid()->model()->rowCount();
        const long withWindow = ResidentKb();
        std::printf("memory: %ld kB empty, %ld kB with the table, %ld kB with the window\n", empty, before,
                    withWindow);

        std::vector<double> steps;
        for (int i = 0; i < 200; ++i)
            steps.push_back(TimedMs(window, [&] { window.Navigator()->BtnClick(nbvexoNext); }));
        std::vector<double> pages;
        for (int i = 0; i < 100; ++i)
            pages.push_back(TimedMs(window, [&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
                QApplication::sendEvent(window.Grid(), &key);
            }));
        std::vector<double> posts;
        for (int i = 0; i < 100; ++i)
            posts.push_back(TimedMs(window, [&] {
                window.Navigator()->BtnClick(nbvexoEdit);
                dm.cdsMultiwert.SetAsInteger("Level", 4 + i % 12);
                window.Navigator()->BtnClick(nbvexoPost);
            }));

        std::printf("results window over %d record versions, %d rows\n", versions, rows);
        std::printf("open (reload + paint)  median %7.1f ms, best %7.1f ms  (target <= 300 ms)\n",
                    Median(opens), *std::min_element(opens.begin(), opens.end()));
        std::printf("navigator step         median %7.2f ms, worst %6.2f ms  (target <= 5 ms)\n",
                    Median(steps), *std::max_element(steps.begin(), steps.end()));
        std::printf("page down in the grid  median %7.2f ms, worst %6.2f ms  (target <= 5 ms)\n",
                    Median(pages), *std::max_element(pages.begin(), pages.end()));
        std::printf("post with its rating   median %7.2f ms, worst %6.2f ms  (target <= 5 ms)\n",
                    Median(posts), *std::max_element(posts.begin(), posts.end()));
        std::printf("window and model       %7.1f MB beyond the table's %.1f MB (%.1f %%, target <= 10 %%)\n",
                    (withWindow - before) / 1024.0, tableKb / 1024.0,
                    100.0 * double(withWindow - before) / double(tableKb));
        DM1 = nullptr;
    }
    std::remove(global::SportlerPath.c_str());
    std::remove(global::MultiwertPath.c_str());
    std::remove((global::MultiwertPath + ".bak").c_str());
    rmdir(folder);
    return 0;
}
