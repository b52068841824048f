#pragma once
// The message boxes the program shows. Real boxes in the program, a scripted fake in tests.
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class Answer { Ok, Yes, No, Abort };

class DialogService {
public:
    virtual ~DialogService() = default;
    // A plain information box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A question (title "Bestätigen") with "Ja" and "Nein"; anything but "Ja" answers No.
    virtual Answer AskYesNo(const std::string& text) = 0;
    // The same question with "Nein" as its default button (Enter): for an action that would
    // throw recorded work away, so that one press too many keeps it.
    virtual Answer AskYesNoDefaultNo(const std::string& text) = 0;
    // A question with "Ja", "Nein" and "Abbrechen": Escape, the box's close button and
    // "Abbrechen" answer Abort (back to where the user was), never No.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // A question with "Ja" and "Abbrechen"; anything but "Ja" answers Abort.
    virtual Answer AskYesAbort(const std::string& text) = 0;
    // The application's default error display: a box with the failure's message.
    virtual void ShowError(const std::string& text) = 0;
    // "Speichern unter": the path the user chose for a file offered as `suggestedName`, of
    // the kind `filter` names ("CSV-Dateien (*.csv)"); empty when the user cancelled.
    virtual std::string AskSaveFileName(const std::string& suggestedName, const std::string& filter) = 0;
    // "Öffnen": the path of a file the user chose, of the kind `filter` names; empty when
    // the user cancelled.
    virtual std::string AskOpenFileName(const std::string& title, const std::string& filter) = 0;
    // A line of text (a group's name), offered as `initial`; none when the user cancelled.
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                               const std::string& initial) = 0;
    // One of `items` (a latecomer among the athletes): its index; none when the user cancelled.
    virtual std::optional<std::size_t> AskChoice(const std::string& title, const std::string& label,
                                                 const std::vector<std::string>& items) = 0;
};

DialogService& Dialogs();
void SetDialogs(DialogService* dialogs);

// The application's default error display for a caught failure: its message in a box
// (ShowError); the silent abort shows nothing, whoever aborted has told the user already.
// Never fails itself.
void ShowFailure(std::exception_ptr failure);

} // namespace platform
