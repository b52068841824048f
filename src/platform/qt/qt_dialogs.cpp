#include "qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace platform {
namespace {

// Where files are offered: the user's documents folder, or the home folder when there is
// none (a folder that is not there would stand in the name field).
QString DocumentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).exists() ? folder : QDir::homePath();
}

const char* const ProgramTitle = "Vexo-Rizidevizi";

// The button texts are set here rather than left to a translation file, so a machine
// without German Qt translations still shows German boxes.
QMessageBox::StandardButton Run(QMessageBox::Icon icon, const char* title, const std::string& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, QString::fromUtf8(title), QString::fromStdString(text), buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    if (auto* b = box.button(QMessageBox::Ok))
        b->setText(QStringLiteral("OK"));
    if (auto* b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Ja"));
    if (auto* b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("&Nein"));
    if (auto* b = box.button(QMessageBox::Abort))
        b->setText(QStringLiteral("&Abbrechen"));
    if (auto* b = box.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("Abbrechen"));
    box.exec();
    auto* clicked = box.clickedButton();
    return clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
}

} // namespace

void QtDialogs::ShowMessage(const std::string& text) {
    Run(QMessageBox::NoIcon, ProgramTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

Answer QtDialogs::AskYesNo(const std::string& text) {
    return Run(QMessageBox::Question, "Bestätigen", text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer QtDialogs::AskYesNoDefaultNo(const std::string& text) {
    return Run(QMessageBox::Question, "Bestätigen", text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer QtDialogs::AskYesNoCancel(const std::string& text) {
    switch (Run(QMessageBox::Question, "Bestätigen", text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Abort; // "Abbrechen", Escape, or the box closed
    }
}

Answer QtDialogs::AskYesAbort(const std::string& text) {
    return Run(QMessageBox::Question, "Bestätigen", text, QMessageBox::Yes | QMessageBox::Abort,
               QMessageBox::Yes) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::Abort;
}

std::string QtDialogs::AskSaveFileName(const std::string& suggestedName, const std::string& filter) {
    // Offered in the user's documents folder; the dialog asks before it replaces a file.
    const QString folder = DocumentsFolder();
    const QString chosen = QFileDialog::getSaveFileName(
        QApplication::activeWindow(), QStringLiteral("Speichern unter"),
        QDir(folder).filePath(QString::fromStdString(suggestedName)), QString::fromStdString(filter));
    return chosen.toStdString();
}

std::string QtDialogs::AskOpenFileName(const std::string& title, const std::string& filter) {
    const QString folder = DocumentsFolder();
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString::fromStdString(title), folder,
                                        QString::fromStdString(filter))
        .toStdString();
}

std::optional<std::string> QtDialogs::AskText(const std::string& title, const std::string& label,
                                              const std::string& initial) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(label));
    dialog.setTextValue(QString::fromStdString(initial));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::size_t> QtDialogs::AskChoice(const std::string& title, const std::string& label,
                                                const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items)
        list << QString::fromStdString(item);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(label));
    dialog.setComboBoxItems(list);
    dialog.setComboBoxEditable(false);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (list.isEmpty() || dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const qsizetype chosen = list.indexOf(dialog.textValue());
    return chosen < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(chosen));
}

void QtDialogs::ShowError(const std::string& text) {
    Run(QMessageBox::Critical, ProgramTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace platform
