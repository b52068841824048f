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
