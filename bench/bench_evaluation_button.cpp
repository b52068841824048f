// Opening the evaluation through the main window's own "Auswertung" button, as a user does:
// the real program's windows over a results file of 100 000 record versions (600 athletes),
// on a real X server. The click is a real pointer click sent to the X server (XTest); the
// time runs from the click until the evaluation window has been painted. The first opening
// after start is reported on its own, then the median and worst of ten more.
//
//   build/bench/bench_evaluation_button [versions]        # on $DISPLAY (Xvfb + openbox)
#include "app/program.h"
#include "app/vexo_multistage_form.h"
#include "bench_program.h"
#include "data/DModule.h"
#include "data/date_value.h"
#include "evaluation/global.h"
#include "platform/sound.h"
#include "ui/evaluation/evaluation_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <dlfcn.h>
#include <vector>

namespace {

struct SilentSound : platform::SoundPlayer {
    void PlayAt(const std::string&, std::int64_t) override {}
    void CancelPlanned() override {}
    bool HasOutput() override { return true; }
};

// A pointer click through the X server's test extension, loaded at run time so that the
// benchmark needs no development package of it.
class XTestClicker {
public:
    XTestClicker() {
        void* x11 = dlopen("libX11.so.6", RTLD_NOW);
        void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
        if (!x11 || !xtst)
            return;
        m_open = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
        m_flush = reinterpret_cast<Flush>(dlsym(x11, "XFlush"));
        m_motion = reinterpret_cast<Motion>(dlsym(xtst, "XTestFakeMotionEvent"));
        m_button = reinterpret_cast<Button>(dlsym(xtst, "XTestFakeButtonEvent"));
        if (m_open && m_flush && m_motion && m_button)
            m_display = m_open(nullptr);
    }
    bool Usable() const { return m_display != nullptr; }
    void MoveTo(QPoint global) {
        m_motion(m_display, -1, global.x(), global.y(), 0);
        m_flush(m_display);
    }
    void Click() {
        m_button(m_display, 1, 1, 0);
        m_button(m_display, 1, 0, 0);
        m_flush(m_display);
    }

private:
    using OpenDisplay = void* (*)(const char*);
    using Flush = int (*)(void*);
    using Motion = int (*)(void*, int, int, int, unsigned long);
    using Button = int (*)(void*, unsigned, int, unsigned long);
    OpenDisplay m_open = nullptr;
    Flush m_flush = nullptr;
    Motion m_motion = nullptr;
    Button m_button = nullptr;
    void* m_display = nullptr;
};

// Watches for the first paint of a widget of the evaluation window after each click.
struct PaintWatch : QObject {
    QWidget* window = nullptr;
    QElapsedTimer sinceClick;
    bool waiting = false;
    std::vector<double> openings;
    std::function<void()> painted;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (waiting && event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window() == window) {
            waiting = false;
            openings.push_back(double(sinceClick.nsecsElapsed()) / 1e6);
            painted();
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int versions = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs a real X server ($DISPLAY, e.g. Xvfb with openbox)\n");
        return 2;
    }
    XTestClicker clicker;
    if (!clicker.Usable()) {
        std::fprintf(stderr, "the X server's test extension (libXtst.so.6) is not available\n");
        return 2;
    }
    const BenchProgram files(versions);
    SilentSound sound;
    platform::SetSound(&sound);
    double preparedMs = 0;
    {
        Program program(files.folder + "/");
        program.MainWindow().showMaximized();
        QPushButton* button = program.MainWindow().findChild<QPushButton*>(QStringLiteral("Button4"));
        ui::EvaluationWindow& evaluation = program.Evaluation();

        PaintWatch watch;
        watch.window = &evaluation;
        // Eleven openings as they are, then six each after a result was posted two seconds
        // before the click (as after typing it in "Werte"), then six with the result posted
        // just before the click (the reading then happens at the opening).
        constexpr int Unchanged = 11, PostedBefore = 17, Openings = 23;
        auto postResult = [&] {
            data::Table& results = program.DataModule().cdsMultiwert;
            results.Insert();
            results.SetAsInteger("sportlerid", 17);
            results.SetAsDate("Datum", data::DaysFromCivil(2027, 6, 2));
            results.SetAsInteger("Level", 7);
            results.SetAsInteger("Runde", 3);
            results.Post();
        };
        auto clickButton = [&] {
            const std::size_t opening = watch.openings.size();
            if (opening >= Unchanged)
                postResult();
            clicker.MoveTo(button->mapToGlobal(button->rect().center()));
            QTimer::singleShot(opening >= Unchanged && opening < PostedBefore ? 2000 : 100, [&] {
                watch.waiting = true;
                watch.sinceClick.start();
                clicker.Click();
            });
        };
        watch.painted = [&] {
            // Closed again once the opening has settled; the next click a moment later.
            QTimer::singleShot(300, &evaluation, [&] {
                evaluation.reject();
                if (watch.openings.size() < Openings)
                    QTimer::singleShot(300, clickButton);
                else
                    QCoreApplication::exit(0);
            });
        };
        app.installEventFilter(&watch);
        // As the program starts: the evaluation prepared once the start's questions are done,
        // the first click a moment later.
        QTimer::singleShot(300, [&] {
            QElapsedTimer preparing;
            preparing.start();
            program.PrepareEvaluation();
            preparedMs = double(preparing.nsecsElapsed()) / 1e6;
            QTimer::singleShot(1500, clickButton);
        });
        QTimer::singleShot(120000, [] { QCoreApplication::exit(1); });
        if (app.exec() != 0) {
            std::fprintf(stderr, "the evaluation window was not painted after a click\n");
            return 1;
        }
        app.removeEventFilter(&watch);
        std::vector<double> later(watch.openings.begin() + 1, watch.openings.begin() + Unchanged);
        std::vector<double> postedBefore(watch.openings.begin() + Unchanged,
                                         watch.openings.begin() + PostedBefore);
        std::vector<double> postedJustBefore(watch.openings.begin() + PostedBefore, watch.openings.end());
        std::printf("evaluation through the main window's button, %d record versions, %zu results, on %s\n",
                    versions, evaluation.Data().results.size(), qPrintable(QGuiApplication::platformName()));
        std::printf("evaluation prepared after start     %7.1f ms  (the event loop busy once)\n", preparedMs);
        std::printf("first opening, click to painted     %7.1f ms  (target <= 150 ms)\n",
                    watch.openings.front());
        std::printf("later openings, click to painted    median %7.1f ms of %zu, worst %7.1f ms  (target <= "
                    "150 ms)\n",
                    Median(later), later.size(), *std::max_element(later.begin(), later.end()));
        auto line = [](const char* what, const std::vector<double>& ms) {
            std::printf("%-36s median %7.1f ms of %zu, worst %7.1f ms  (target <= 150 ms)\n", what,
                        Median(ms), ms.size(), *std::max_element(ms.begin(), ms.end()));
        };
        line("result posted 2 s before the click", postedBefore);
        line("result posted just before the click", postedJustBefore);
        program.End(true);
    }
    return 0;
}
