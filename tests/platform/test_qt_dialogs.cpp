// The real message boxes: their titles, icons, German answers and default buttons, and
// what Escape or closing a box answers. Each box is answered from inside its own modal
// loop by a timer, the way a user would answer it.
#include "platform/qt/qt_dialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Runs `show` and, once its box is up, records it and lets `answer` act on it.
SeenBox Answer(const std::function<void()>& show, const std::function<void(QMessageBox&)>& answer) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        seen.buttons.sort();
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text();
        answer(*box);
    });
    show();
    return seen;
}

void PressKey(QMessageBox& box, Qt::Key key) {
    QTest::keyClick(&box, key);
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void questions_data() {
        QTest::addColumn<bool>("yesAbort");
        QTest::addColumn<QString>("how"); // "yes", "no", "escape", "enter", "close"
        QTest::addColumn<bool>("yes");
        // clang-format off
        QTest::newRow("Ja") << false << "yes" << true;
        QTest::newRow("Nein") << false << "no" << false;
        QTest::newRow("Escape counts as Nein") << false << "escape" << false;
        QTest::newRow("closing counts as Nein") << false << "close" << false;
        QTest::newRow("Enter takes the default, Ja") << false << "enter" << true;
        QTest::newRow("Abbrechen") << true << "no" << false;
        QTest::newRow("Escape counts as Abbrechen") << true << "escape" << false;
        QTest::newRow("Ja of Ja/Abbrechen") << true << "yes" << true;
        // clang-format on
    }
    void questions() {
        QFETCH(bool, yesAbort);
        QFETCH(QString, how);
        QFETCH(bool, yes);
        platform::QtDialogs dialogs;
        platform::Answer answer = platform::Answer::Ok;
        const SeenBox seen = Answer(
            [&] {
                answer = yesAbort ? dialogs.AskYesAbort("Datensatz wirklich löschen")
                                  : dialogs.AskYesNo("Programm beenden?");
            },
            [&](QMessageBox& box) {
                if (how == "yes")
                    box.button(QMessageBox::Yes)->click();
                else if (how == "no")
                    (yesAbort ? box.button(QMessageBox::Abort) : box.button(QMessageBox::No))->click();
                else if (how == "escape")
                    PressKey(box, Qt::Key_Escape);
                else if (how == "enter")
                    PressKey(box, Qt::Key_Return);
                else
                    box.close();
            });
        QCOMPARE(seen.title, QStringLiteral("Bestätigen"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, yesAbort ? QStringList({"&Abbrechen", "&Ja"}) : QStringList({"&Ja", "&Nein"}));
        QCOMPARE(seen.defaultButton, QStringLiteral("&Ja"));
        const platform::Answer no = yesAbort ? platform::Answer::Abort : platform::Answer::No;
        QCOMPARE(answer, yes ? platform::Answer::Yes : no);
    }

    // A plain message has no icon and one "OK"; the error display shows its error icon.
    void plainMessageAndError() {
        platform::QtDialogs dialogs;
        auto ok = [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); };
        const SeenBox message = Answer([&] { dialogs.ShowMessage("Werte nicht definiert"); }, ok);
        QCOMPARE(message.text, QStringLiteral("Werte nicht definiert"));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, QStringList{"OK"});
        const SeenBox error = Answer([&] { dialogs.ShowError("Datei fehlt"); }, ok);
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(error.buttons, QStringList{"OK"});
    }
};

QTEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
