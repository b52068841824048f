// Evaluation-window benchmark: a results file of 100 000 record versions with 600 athletes
// (and one test day of 35 athletes), the real window on the offscreen platform. Times the
// opening (reload, lists, first paint), switching the athlete and the day (with the
// repaint), the CSV of all results and the PDF report of the 35-athlete day.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_evaluation_window [versions]
#include "bench_program.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "data/packet_xml.h"
#include "evaluation/global.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "results_history.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    const BenchProgram program(versions);
    {
        TDM1 dm;
        DM1 = &dm;
        dm.FirstActivation();
        // One day of a class of 35, as the report's case.
        const int day = data::DaysFromCivil(2027, 6, 1);
        for (int i = 0; i < 35; ++i) {
            dm.cdsMultiwert.Insert();
            dm.cdsMultiwert.SetAsInteger("sportlerid", 1 + i * 17);
            dm.cdsMultiwert.SetAsDate("Datum", day);
            dm.cdsMultiwert.SetAsInteger("Level", 4 + i % 12);
            dm.cdsMultiwert.SetAsInteger("Runde", 1 + i % 9);
            dm.cdsMultiwert.Post();
        }
        dm.cdsMultiwert.SaveToFile();

        ui::EvaluationWindow window(dm);
        window.resize(980, 660);
        std::vector<double> opens;
        for (int i = 0; i < 5; ++i) {
            window.hide();
            opens.push_back(ActionMs([&] { window.show(); }));
        }
        QListWidget* athletes = window.AthleteList();
        std::vector<double> athleteSwitches;
        for (int i = 0; i < 50; ++i)
            athleteSwitches.push_back(
                ActionMs([&] { athletes->setCurrentRow((i * 37) % athletes->count()); }));
        window.Pages()->setCurrentIndex(1);
        QListWidget* days = window.DayList();
        std::vector<double> daySwitches;
        for (int i = 0; i < 50; ++i)
            daySwitches.push_back(ActionMs([&] { days->setCurrentRow((i * 13) % days->count()); }));
        std::vector<double> csvs;
        std::size_t csvBytes = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer c;
            c.start();
            csvBytes = window.AllResultsCsv().size();
            csvs.push_back(double(c.nsecsElapsed()) / 1e6);
        }
        days->setCurrentRow(0); // the newest day: the 35
        std::vector<double> pdfs;
        std::size_t pdfBytes = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer c;
            c.start();
            pdfBytes = static_cast<std::size_t>(window.ReportPdf().size());
            pdfs.push_back(double(c.nsecsElapsed()) / 1e6);
        }

        std::printf("evaluation window over %d record versions, %zu results, %zu athletes, %d test days\n",
                    versions, window.Data().results.size(), window.Data().athletes.size(), days->count());
        std::printf("open (reload, lists, paint)  median %7.1f ms  (target <= 300 ms)\n", Median(opens));
        std::printf("switch athlete               median %7.1f ms, worst %6.1f ms  (target <= 30 ms)\n",
                    Median(athleteSwitches),
                    *std::max_element(athleteSwitches.begin(), athleteSwitches.end()));
        std::printf("switch day                   median %7.1f ms, worst %6.1f ms  (target <= 30 ms)\n",
                    Median(daySwitches), *std::max_element(daySwitches.begin(), daySwitches.end()));
        std::printf("CSV of all results           median %7.1f ms, %.1f MB  (target <= 200 ms)\n",
                    Median(csvs), csvBytes / 1e6);
        std::printf("PDF of the 35-athlete day    median %7.1f ms, %zu kB  (target <= 1000 ms)\n",
                    Median(pdfs), pdfBytes / 1024);
        DM1 = nullptr;
    }
    return 0;
}
