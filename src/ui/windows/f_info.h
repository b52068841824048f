#pragma once
// The information window: the text about the test, read afresh from
// "vexo-Rizidevizi.rtf" in the working directory every time the window opens, and the
// grey "Fenster schließen" panel that closes it.
#include <QDialog>

#include <memory>

class QTextDocument;
class QTextEdit;
class QTimer;

namespace ui {
class Panel;
class RichTextReading;
} // namespace ui

class Tfrm_info : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* InfoFileName = "vexo-Rizidevizi.rtf";
    // A document this large is read in steps, the window answering in between.
    static constexpr std::size_t ReadAtOnceBytes = 512 * 1024;

    explicit Tfrm_info(QWidget* parent = nullptr);
    ~Tfrm_info() override;

    // A large document is still being read.
    bool Reading() const { return m_reading != nullptr; }

    void FormActivate();
    void Panel2Click() { done(1); }

protected:
    bool event(QEvent* event) override;

private:
    void ReadStep();
    void StopReading();

    std::unique_ptr<QTextDocument> m_readDocument;
    std::unique_ptr<ui::RichTextReading> m_reading;
    QTimer* m_readTimer = nullptr;
    ui::Panel* Panel1 = nullptr;
    ui::Panel* Panel3 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
};
