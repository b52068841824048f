#pragma once
// Records every box the program would show and answers questions from a script, so a
// test never blocks on a modal box. An unscripted question answers No (or Abort).
#include "platform/dialogs.h"

#include <deque>
#include <string>
#include <vector>

struct ShownBox {
    enum Kind {
        Message,
        YesNo,
        YesNoDefaultNo,
        YesNoCancel,
        YesAbort,
        Error,
        SaveFile,
        OpenFile,
        Text,
        Choice
    } kind;
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
    platform::Answer AskYesNoDefaultNo(const std::string& text) override;
    // Unscripted: Escape, back.
    platform::Answer AskYesNoCancel(const std::string& text) override;
    platform::Answer AskYesAbort(const std::string& text) override;
    void ShowError(const std::string& text) override { m_shown.push_back({ShownBox::Error, text}); }
    // Records the suggested name as the box's text.
    std::string AskSaveFileName(const std::string& suggestedName, const std::string& filter) override;
    std::string AskOpenFileName(const std::string& title, const std::string& filter) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    std::optional<std::size_t> AskChoice(const std::string& title, const std::string& label,
                                         const std::vector<std::string>& items) override;
    // The answers of the next choices (none: cancelled); the items offered last.
    void ScriptChoice(std::optional<std::size_t> index) { m_choices.push_back(index); }
    const std::vector<std::string>& LastChoices() const { return m_lastChoices; }
    // The answers of the next text questions (none: cancelled).
    void ScriptText(std::optional<std::string> text) { m_texts.push_back(std::move(text)); }

private:
    platform::Answer Next(platform::Answer fallback);

    std::deque<platform::Answer> m_script;
    std::deque<std::string> m_files;
    std::deque<std::optional<std::string>> m_texts;
    std::deque<std::optional<std::size_t>> m_choices;
    std::vector<std::string> m_lastChoices;
    std::vector<ShownBox> m_shown;
};
