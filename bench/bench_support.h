#pragma once
// What the benchmarks share: message boxes that show nothing and answer Yes, the median, the
// timing of a user's action until the event loop has painted what it changed, and the
// resident memory.
#include "data/large_blocks.h"
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

struct QuietDialogs : platform::DialogService {
    void ShowMessage(const std::string&) override {}
    platform::Answer AskYesNo(const std::string&) override { return platform::Answer::Yes; }
    platform::Answer AskYesNoDefaultNo(const std::string&) override { return platform::Answer::Yes; }
    platform::Answer AskYesNoCancel(const std::string&) override { return platform::Answer::Yes; }
    std::optional<std::size_t> AskChoice(const std::string&, const std::string&,
                                         const std::vector<std::string>&) override {
        return std::nullopt;
    }
    platform::Answer AskYesAbort(const std::string&) override { return platform::Answer::Yes; }
    void ShowError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
    std::string AskSaveFileName(const std::string&, const std::string&) override { return {}; }
    std::string AskOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the action until the event loop has done what it set off (painting the
// parts marked for it among it).
template <typename F> double ActionMs(F action) {
    QElapsedTimer clock;
    clock.start();
    action();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Resident memory in kB, after handing freed heap pages back, so that buffers that were only
// passing through are not counted; blocks kept for the next load are no part of it either.
inline long ResidentKb() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024) - long(data::KeptLargeBlockBytes() / 1024);
}
