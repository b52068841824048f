#pragma once
// Records every box the program would show and answers questions from a script, so a
// test never blocks on a modal box. An unscripted question answers No (or Abort).
#include "platform/dialogs.h"

#include <deque>
#include <string>
#include <vector>

struct ShownBox {
    enum Kind { Message, YesNo, YesAbort, Error, SaveFile } kind;
    std::string text;
};

class FakeDialogs : public platform::DialogService {
public:
    FakeDialogs() { platform::SetDialogs(this); }
    ~FakeDialogs() override { platform::SetDialogs(nullptr); }

    void ScriptAnswer(platform::Answer answer) { m_script.push_back(answer); }
    // The path the next "Speichern unter" returns (empty: cancelled).
    void ScriptFileName(std::string path) { m_files.push_back(std::move(path)); }
    const std::vector<ShownBox>& Shown() const { return m_shown; }
    std::vector<std::string> Texts() const;
    void Clear() { m_shown.clear(); }

    void ShowMessage(const std::string& text) override { m_shown.push_back({ShownBox::Message, text}); }
    platform::Answer AskYesNo(const std::string& text) override;
    platform::Answer AskYesAbort(const std::string& text) override;
    void ShowError(const std::string& text) override { m_shown.push_back({ShownBox::Error, text}); }
    // Records the suggested name as the box's text.
    std::string AskSaveFileName(const std::string& suggestedName, const std::string& filter) override;

private:
    platform::Answer Next(platform::Answer fallback);

    std::deque<platform::Answer> m_script;
    std::deque<std::string> m_files;
    std::vector<ShownBox> m_shown;
};
