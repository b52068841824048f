// Evaluation-window benchmark: a results file of 100 000 record versions with 600 athletes
// (and one test day of 35 athletes), the real window. Times the click on "Auswertung" until
// the window is painted, switching the athlete and the day until the change is painted
// (median of 10 each, and the worst of 50), the CSV and the spreadsheet of all results and
// the PDF report of the 35-athlete day. Run on a real X server (Xvfb with a window manager)
// for what a user sees, or offscreen:
//
//   build/bench/bench_evaluation_window [versions]                         # on $DISPLAY
//   QT_QPA_PLATFORM=offscreen build/bench/bench_evaluation_window [versions]
#include "bench_paint.h"
#include "bench_program.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "data/packet_xml.h"
#include "evaluation/global.h"
#include "evaluation/xlsx_export.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_timer.h"
#include "results_history.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
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

        // The main window's button, clicked: its handler opens the evaluation window.
        QWidget host;
        auto* button = new QPushButton(QStringLiteral("Auswertung"), &host);
        host.resize(200, 80);
        host.show();
        ui::EvaluationWindow window(dm);
        QObject::connect(button, &QPushButton::clicked, &window, [&] { window.show(); });
        QCoreApplication::processEvents();
        auto click = [&] {
            const QPointF centre(button->rect().center());
            QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(button, &press);
            QApplication::sendEvent(button, &release);
        };
        std::vector<double> opens;
        for (int i = 0; i < 11; ++i) {
            window.hide();
            QCoreApplication::processEvents();
            const double ms = PaintedMs(&window, click);
            if (i > 0) // the first opening sets up fonts and styles once per program
                opens.push_back(ms);
        }
        QListWidget* athletes = window.AthleteList();
        std::vector<double> athleteSwitches;
        for (int i = 0; i < 50; ++i)
            athleteSwitches.push_back(
                PaintedMs(&window, [&] { athletes->setCurrentRow((1 + i * 37) % athletes->count()); }));
        window.Pages()->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QListWidget* days = window.DayList();
        std::vector<double> daySwitches;
        for (int i = 0; i < 50; ++i)
            daySwitches.push_back(
                PaintedMs(&window, [&] { days->setCurrentRow((1 + i * 13) % days->count()); }));
        auto firstTen = [](const std::vector<double>& all) {
            return std::vector<double>(all.begin(), all.begin() + 10);
        };
        std::vector<double> csvs;
        std::size_t csvBytes = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer c;
            c.start();
            csvBytes = window.AllResultsCsv().size();
            csvs.push_back(double(c.nsecsElapsed()) / 1e6);
        }
        days->setCurrentRow(0); // the newest day: the 35
        std::vector<double> sheets;
        std::size_t sheetBytes = 0;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer c;
            c.start();
            sheetBytes = evaluation::XlsxBytes(window.AllResults()).size();
            sheets.push_back(double(c.nsecsElapsed()) / 1e6);
        }
        std::vector<double> pdfs;
        std::size_t pdfBytes = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer c;
            c.start();
            pdfBytes = static_cast<std::size_t>(window.ReportPdf().size());
            pdfs.push_back(double(c.nsecsElapsed()) / 1e6);
        }

        std::printf(
            "evaluation window over %d record versions, %zu results, %zu athletes, %d test days, on %s\n",
            versions, window.Data().results.size(), window.Data().athletes.size(), days->count(),
            qPrintable(QGuiApplication::platformName()));
        std::printf(
            "click to painted window      median %7.1f ms of 10, worst %6.1f ms  (target <= 150 ms)\n",
            Median(opens), *std::max_element(opens.begin(), opens.end()));
        std::printf(
            "switch athlete, painted      median %7.1f ms of 10, worst of 50 %6.1f ms  (target <= 50 ms)\n",
            Median(firstTen(athleteSwitches)),
            *std::max_element(athleteSwitches.begin(), athleteSwitches.end()));
        std::printf(
            "switch day, painted          median %7.1f ms of 10, worst of 50 %6.1f ms  (target <= 50 ms)\n",
            Median(firstTen(daySwitches)), *std::max_element(daySwitches.begin(), daySwitches.end()));
        std::printf("CSV of all results           median %7.1f ms, %.1f MB  (target <= 200 ms)\n",
                    Median(csvs), csvBytes / 1e6);
        std::printf("spreadsheet of all results   median %7.1f ms, %.1f MB\n", Median(sheets),
                    sheetBytes / 1e6);
        std::printf("PDF of the 35-athlete day    median %7.1f ms, %zu kB  (target <= 1000 ms)\n",
                    Median(pdfs), pdfBytes / 1024);
        DM1 = nullptr;
    }
    return 0;
}
