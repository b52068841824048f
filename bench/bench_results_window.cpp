// Results-window benchmark: a results file of 100 000 record versions (about 55 000 visible)
// with 600 athletes, and the real results window on the offscreen platform. Times the
// opening (reload and first paint), a navigator step, a page down in the grid and a post,
// each with the repaint it causes, and the memory the window and its model take beyond
// the table.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_results_window [versions]
#include "bench_program.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/large_blocks.h"
#include "data/packet_xml.h"
#include "evaluation/global.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "results_history.h"
#include "ui/windows/f_werte.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    const BenchProgram program(versions);

    {
        TDM1 dm;
        DM1 = &dm;
        {
            // Qt's fonts, style and caches, which any first window sets up. The data module
            // is not active yet, so this window reports its missing table once ("error: ...").
            Tfrm_Werte warmUp(dm);
            warmUp.show();
            QCoreApplication::processEvents();
        }
        const long empty = ResidentKb();
        dm.FirstActivation(); // the program's start: the table loaded once already
        const long tableKb = ResidentKb() - empty;
        const long before = ResidentKb();
        Tfrm_Werte window(dm);
        window.resize(711, 519);
        std::vector<double> opens;
        for (int i = 0; i < 5; ++i) {
            window.hide();
            opens.push_back(ActionMs([&] { window.show(); })); // "Werte": reload and paint
        }
        const int rows = window.Grid()->model()->rowCount();
        const long withWindow = ResidentKb();
        std::printf("memory: %ld kB empty, %ld kB with the table, %ld kB with the window\n", empty, before,
                    withWindow);

        std::vector<double> steps;
        for (int i = 0; i < 200; ++i)
            steps.push_back(ActionMs([&] { window.Navigator()->BtnClick(nbvexoNext); }));
        std::vector<double> pages;
        for (int i = 0; i < 100; ++i)
            pages.push_back(ActionMs([&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
                QApplication::sendEvent(window.Grid(), &key);
            }));
        std::vector<double> posts;
        for (int i = 0; i < 100; ++i)
            posts.push_back(ActionMs([&] {
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
    return 0;
}
