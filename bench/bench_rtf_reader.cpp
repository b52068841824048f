// The RTF reader on documents made to be hard: a row of 20 000 cells, a table of 100 000
// rows, 4 000 tables, a paragraph of 100 000 formatting runs, and a 20 MB document. Each
// is read in a process of its own, so that its peak memory is its own: seconds of reading
// and peak resident memory (MB) for each.
//
//   build/bench/bench_rtf_reader            all cases
//   build/bench/bench_rtf_reader <case>     one case, in this process
#include "ui/rtf/rtf_reader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Make(const std::string& name) {
    std::string rtf = "{\\rtf1\\ansi ";
    if (name == "wide-row") {
        rtf += "\\trowd";
        for (int c = 1; c <= 20000; ++c)
            rtf += "\\cellx" + std::to_string(c * 10);
        rtf += "\\pard\\intbl ";
        for (int c = 1; c <= 20000; ++c)
            rtf += "z\\cell ";
        rtf += "\\row";
    } else if (name == "rows") {
        for (int r = 1; r <= 100000; ++r)
            rtf +=
                "\\trowd\\cellx1000\\cellx2000\\pard\\intbl r" + std::to_string(r) + "\\cell x\\cell\\row\n";
    } else if (name == "tables") {
        for (int t = 1; t <= 4000; ++t)
            rtf += "\\pard Tabelle " + std::to_string(t) +
                   "\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                   "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\n";
    } else if (name == "runs") {
        for (int r = 0; r < 100000; ++r)
            rtf += r % 2 ? "{\\b fett }" : "{\\i kursiv }";
        rtf += "\\par";
    } else if (name == "large") {
        while (rtf.size() < 20u << 20)
            rtf += "\\pard\\sa120 Ein Absatz mit {\\b fetten} und {\\i schr\\'e4gen} W\\'f6rtern, "
                   "wie ihn ein Handbuch hat.\\par\n";
    }
    return rtf + "}";
}

int RunOne(int argc, char** argv, const std::string& name) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string rtf = Make(name);
    QTextDocument document;
    QElapsedTimer clock;
    clock.start();
    ui::LoadRichText(rtf, document);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("%-9s %8.1f kB   %7.2f s   ", name.c_str(), double(rtf.size()) / 1024.0, seconds);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1)
        return RunOne(argc, argv, argv[1]);
    std::printf("case      document     reading   peak memory\n");
    for (const char* name : {"wide-row", "rows", "tables", "runs", "large"}) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            execl("/proc/self/exe", argv[0], name, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        std::printf("%7.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    }
    return 0;
}
