#pragma once
// What the test run controller writes to the main window.
#include <string>

class RunDisplay {
public:
    virtual ~RunDisplay() = default;
    virtual void SetMenuEnabled(bool enabled) = 0;
    virtual void SetLevelText(const std::string& text) = 0;
    virtual void SetShuttleText(const std::string& text) = 0;
    virtual void SetElapsedText(const std::string& text) = 0;
};

// A display that shows nothing: the controller without a window (benchmarks, tests).
class NoRunDisplay : public RunDisplay {
public:
    void SetMenuEnabled(bool) override {}
    void SetLevelText(const std::string&) override {}
    void SetShuttleText(const std::string&) override {}
    void SetElapsedText(const std::string&) override {}
};
