// The end of a class test: taking the run of 30 pupils over into a results file of 100 000
// record versions (posted, noted in the journal, the file saved, the journal removed), then
// the class's handout of that day (the class page and 30 pupil pages, with the comparison to
// the class's two earlier test days) and its spreadsheet. Median of 5 each.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_class_report [versions]
#include "bench_program.h"
#include "data/DModule.h"
#include "data/date_value.h"
#include "data/groups.h"
#include "evaluation/xlsx_export.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    const BenchProgram files(versions);
    TDM1 dm;
    DM1 = &dm;
    dm.FirstActivation();
    // A class of 30 with two earlier test days.
    data::Table& athletes = dm.cdsSportler;
    std::vector<std::int64_t> pupils;
    for (int i = 0; i < 30; ++i) {
        athletes.Insert();
        athletes.SetAsString("Vorname", "Kind" + std::to_string(i + 1));
        athletes.SetAsString("Name", "Klasse");
        athletes.SetAsString("Geschlecht", i % 2 ? "M" : "W");
        athletes.SetAsInteger("Geburtsjahr", 2013);
        athletes.Post();
        pupils.push_back(athletes.AsInteger("sportlerid"));
    }
    for (int day : {data::DaysFromCivil(2026, 3, 2), data::DaysFromCivil(2026, 6, 3)})
        for (std::size_t i = 0; i < pupils.size(); ++i) {
            dm.cdsMultiwert.Insert();
            dm.cdsMultiwert.SetAsInteger("sportlerid", pupils[i]);
            dm.cdsMultiwert.SetAsDate("Datum", day);
            dm.cdsMultiwert.SetAsInteger("Level", 3 + int(i % 6));
            dm.cdsMultiwert.SetAsInteger("Runde", 1 + int(i % 7));
            dm.cdsMultiwert.Post();
        }
    dm.cdsMultiwert.SaveToFile();
    const std::int64_t group = data::GroupStore(dm).Create("Klasse 7b", pupils);

    std::vector<double> posts;
    for (int round = 0; round < 5; ++round) {
        std::vector<grouptest::Runner> runners;
        for (std::size_t i = 0; i < pupils.size(); ++i)
            runners.push_back({pupils[i], "Kind" + std::to_string(i + 1), "Klasse",
                               grouptest::RunnerState::Out, 4 + int(i % 6), 1 + int(i % 7)});
        const grouptest::GroupRun run = grouptest::GroupRun::Restored(
            group, "Klasse 7b", platform::Clock().Now() - 3600 * 1000, true, std::move(runners));
        grouptest::WriteJournal(global::GruppentestPath, run);
        QElapsedTimer clock;
        clock.start();
        grouptest::TakeOverRun(dm, run, grouptest::ReviewRows(run), global::GruppentestPath);
        posts.push_back(double(clock.nsecsElapsed()) / 1e6);
    }

    ui::EvaluationWindow window(dm);
    window.FormActivate();
    window.GroupFilter()->setCurrentIndex(window.GroupFilter()->findText(QStringLiteral("Klasse 7b")));
    window.GroupChosen();
    window.DayList()->setCurrentRow(0); // today's
    std::vector<double> pdfs, sheets;
    std::size_t pdfBytes = 0, sheetBytes = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        pdfBytes = static_cast<std::size_t>(window.ClassReportPdf().size());
        pdfs.push_back(double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        sheetBytes = evaluation::XlsxBytes(window.ClassTable()).size();
        sheets.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("class of 30 over a results file of %d record versions (%d results), on %s\n", versions,
                dm.cdsMultiwert.RecordCount(), qPrintable(QGuiApplication::platformName()));
    std::printf("take-over of 30 results, file saved   median %7.1f ms of 5, worst %7.1f ms\n", Median(posts),
                *std::max_element(posts.begin(), posts.end()));
    std::printf("class handout PDF (1+30 pages)        median %7.1f ms of 5, %zu kB\n", Median(pdfs),
                pdfBytes / 1024);
    std::printf("class table spreadsheet               median %7.1f ms of 5, %zu kB\n", Median(sheets),
                sheetBytes / 1024);
    DM1 = nullptr;
    return 0;
}
