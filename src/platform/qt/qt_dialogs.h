#pragma once
// Message boxes with the German standard texts, shown modally over the active window.
#include "platform/dialogs.h"

namespace platform {

class QtDialogs : public DialogService {
public:
    void ShowMessage(const std::string& text) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoDefaultNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    Answer AskYesAbort(const std::string& text) override;
    void ShowError(const std::string& text) override;
    std::string AskSaveFileName(const std::string& suggestedName, const std::string& filter) override;
    std::string AskOpenFileName(const std::string& title, const std::string& filter) override;
    std::optional<std::size_t> AskChoice(const std::string& title, const std::string& label,
                                         const std::vector<std::string>& items) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
};

} // namespace platform
