#pragma once
// The About box: the program's picture, name and version, a few lines on the test, the
// credits, and the contact address that opens the user's mail program.
#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QTextEdit;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `versionText` gives the version line (empty when the executable has no version record).
    explicit TAboutBox(std::function<std::string()> versionText, QWidget* parent = nullptr);

    void FormCreate();
    void Label5Click(QLabel* sender);

    QLabel* VersionLabel() const { return Version; }
    int VersionRightEdge() const { return m_versionRight; }

private:
    std::function<std::string()> m_versionText;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Version = nullptr;
    QTextEdit* Memo1 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* OKButton = nullptr;
    int m_versionRight = 0;
};

// The program's picture: 320 x 240 in 256 colours, drawn by the program itself.
QImage MakeProgramPicture();
