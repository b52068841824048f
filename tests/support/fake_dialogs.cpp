#include "fake_dialogs.h"

std::vector<std::string> FakeDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_shown)
        texts.push_back(box.text);
    return texts;
}

platform::Answer FakeDialogs::AskYesNo(const std::string& text) {
    m_shown.push_back({ShownBox::YesNo, text});
    return Next(platform::Answer::No);
}

platform::Answer FakeDialogs::AskYesNoDefaultNo(const std::string& text) {
    m_shown.push_back({ShownBox::YesNoDefaultNo, text});
    return Next(platform::Answer::No);
}

platform::Answer FakeDialogs::AskYesNoCancel(const std::string& text) {
    m_shown.push_back({ShownBox::YesNoCancel, text});
    return Next(platform::Answer::Abort);
}

platform::Answer FakeDialogs::AskYesAbort(const std::string& text) {
    m_shown.push_back({ShownBox::YesAbort, text});
    return Next(platform::Answer::Abort);
}

platform::Answer FakeDialogs::Next(platform::Answer fallback) {
    if (m_script.empty())
        return fallback;
    const auto answer = m_script.front();
    m_script.pop_front();
    return answer;
}

std::string FakeDialogs::AskOpenFileName(const std::string& title, const std::string&) {
    m_shown.push_back({ShownBox::OpenFile, title});
    if (m_files.empty())
        return {};
    std::string path = m_files.front();
    m_files.pop_front();
    return path;
}

std::optional<std::string> FakeDialogs::AskText(const std::string& title, const std::string&,
                                                const std::string& initial) {
    m_shown.push_back({ShownBox::Text, title + ": " + initial});
    if (m_texts.empty())
        return std::nullopt;
    auto text = m_texts.front();
    m_texts.pop_front();
    return text;
}

std::optional<std::size_t> FakeDialogs::AskChoice(const std::string& title, const std::string&,
                                                  const std::vector<std::string>& items) {
    m_shown.push_back({ShownBox::Choice, title});
    m_lastChoices = items;
    if (m_choices.empty())
        return std::nullopt;
    auto choice = m_choices.front();
    m_choices.pop_front();
    return choice;
}

std::string FakeDialogs::AskSaveFileName(const std::string& suggestedName, const std::string&) {
    m_shown.push_back({ShownBox::SaveFile, suggestedName});
    if (m_files.empty())
        return {};
    std::string path = m_files.front();
    m_files.pop_front();
    return path;
}
