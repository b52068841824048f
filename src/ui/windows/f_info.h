#pragma once
// The information window: the text about the test, read afresh from
// "vexo-Rizidevizi.rtf" in the working directory every time the window opens, and the
// grey "Fenster schließen" panel that closes it.
#include <QDialog>

class QTextEdit;

namespace ui {
class Panel;
}

class Tfrm_info : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* InfoFileName = "vexo-Rizidevizi.rtf";

    explicit Tfrm_info(QWidget* parent = nullptr);

    void FormActivate();
    void Panel2Click() { done(1); }

protected:
    bool event(QEvent* event) override;

private:
    ui::Panel* Panel1 = nullptr;
    ui::Panel* Panel3 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
};
