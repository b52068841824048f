// The information window and the About box as a user meets them.
#include "app/My_std.h"
#include "app/vexo_application.h"
#include "fake_dialogs.h"
#include "ui/windows/About.h"
#include "ui/windows/f_info.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

void WriteInfoFile(const QByteArray& content) {
    QFile f(QString::fromLatin1(Tfrm_info::InfoFileName));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// Opens the window as the program does (without a modal loop) and lets it load.
QString OpenAndRead(Tfrm_info& window) {
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"))->toPlainText();
}

} // namespace

class MailCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestInfoWindows : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QDir::setCurrent(m_dir.path()); // the information file is looked up here
    }

    void readAfreshAtEveryOpening() {
        FakeDialogs dialogs;
        Tfrm_info window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Informationen zum Rizidevizi Fitness-Test"));
        WriteInfoFile("{\\rtf1 Erste {\\b Fassung}}");
        QCOMPARE(OpenAndRead(window), QStringLiteral("Erste Fassung"));
        window.hide();
        WriteInfoFile("{\\rtf1 Zweite Fassung mit \\'dcmlaut}");
        QCOMPARE(OpenAndRead(window), QString::fromUtf8("Zweite Fassung mit Ümlaut"));
        QVERIFY(dialogs.Shown().empty());
        window.hide();
    }

    // A large document is read a step at a time: the window answers meanwhile, shows that
    // it is reading, and shows the whole text when done.
    void largeDocumentInSteps() {
        FakeDialogs dialogs;
        Tfrm_info window;
        QByteArray rtf = "{\\rtf1 ";
        while (rtf.size() < qsizetype(3 * Tfrm_info::ReadAtOnceBytes))
            rtf += "\\pard Ein Absatz mit {\\b fetten} W\\'f6rtern.\\par\n";
        rtf += "\\pard Das Ende.\\par}";
        WriteInfoFile(rtf);
        window.show();
        QCoreApplication::processEvents();
        auto* viewer = window.findChild<QTextEdit*>(QStringLiteral("RichEdit1"));
        QVERIFY(window.Reading());
        QVERIFY(viewer->toPlainText().startsWith(QStringLiteral("Der Text wird gelesen")));
        int turns = 0;
        while (window.Reading() && turns < 100000) {
            QCoreApplication::processEvents(); // the window's own events come in between
            ++turns;
        }
        QVERIFY(turns > 1);
        QVERIFY(viewer->toPlainText().contains(QString::fromUtf8("Ein Absatz mit fetten Wörtern.")));
        QVERIFY(viewer->toPlainText().trimmed().endsWith(QStringLiteral("Das Ende.")));
        QVERIFY(dialogs.Shown().empty());
        window.hide();
        window.show(); // reading again, and closed before it is done: it stops
        QCoreApplication::processEvents();
        QVERIFY(window.Reading());
        window.hide();
        QVERIFY(!window.Reading());
    }

    // A missing file: the error reaches the default error display, and the window opens
    // all the same with what it showed before.
    void missingFile() {
        FakeDialogs dialogs;
        Tfrm_info window;
        WriteInfoFile("{\\rtf1 Vorher}");
        QCOMPARE(OpenAndRead(window), QStringLiteral("Vorher"));
        window.hide();
        QFile::remove(QString::fromLatin1(Tfrm_info::InfoFileName));
        QCOMPARE(OpenAndRead(window), QStringLiteral("Vorher"));
        QVERIFY(window.isVisible());
        const QString path =
            QDir(m_dir.path()).absoluteFilePath(QString::fromLatin1(Tfrm_info::InfoFileName));
        QCOMPARE(dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(dialogs.Shown()[0].kind, ShownBox::Error);
        const QString text = QString::fromStdString(dialogs.Shown()[0].text);
        QVERIFY2(text.startsWith(QStringLiteral("Datei %1 kann nicht geöffnet werden. ").arg(path)),
                 qPrintable(text));
        QVERIFY(text.size() > QStringLiteral("Datei %1 kann nicht geöffnet werden. ").arg(path).size());
        window.hide();
    }

    void binaryFile() {
        FakeDialogs dialogs;
        Tfrm_info window;
        WriteInfoFile(QByteArray("\0\1\2\3", 4));
        OpenAndRead(window);
        QVERIFY(window.isVisible());
        QCOMPARE(dialogs.Texts(), std::vector<std::string>{"Stream konnte nicht geladen werden"});
        window.hide();
    }

    void closePanel() {
        FakeDialogs dialogs;
        Tfrm_info window;
        WriteInfoFile("Text");
        OpenAndRead(window);
        auto* panel = window.findChild<QWidget*>(QStringLiteral("Panel3"));
        QCOMPARE(panel->height(), 41);
        QTest::mouseClick(panel, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), 1);
    }

    void versionLabel() {
        TAboutBox box(&GetVersionText);
        QCOMPARE(box.windowTitle(), QStringLiteral("Infos"));
        QCOMPARE(box.size(), QSize(413, 470));
        QCOMPARE(box.VersionLabel()->text(), QStringLiteral(VEXO_VERSION_TEXT));
        // The label grew to the left: its right edge is where the design put it.
        QCOMPARE(box.VersionLabel()->geometry().right(), box.VersionRightEdge());
        QVERIFY(box.VersionLabel()->x() < 321);
    }

    void versionText_data() {
        QTest::addColumn<unsigned>("ms");
        QTest::addColumn<unsigned>("ls");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.7.0.117") << 0x00000007u << 0x00000075u << "Version: 0.7.0    Build: 117";
        QTest::newRow("no leading zeros") << 0x000A0000u << 0x00030000u << "Version: 10.0.3    Build: 0";
    }
    void versionText() {
        QFETCH(unsigned, ms);
        QFETCH(unsigned, ls);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatVersionText(ms, ls)), text);
    }

    void noVersionRecordGivesEmptyText() {
        TAboutBox box([] { return std::string(); });
        QCOMPARE(box.VersionLabel()->text(), QString());
    }

    void mailLinkAndTempDir() {
        FakeDialogs dialogs;
        MailCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        TAboutBox box(&GetVersionText);
        auto* link = box.findChild<QLabel*>(QStringLiteral("Label5"));
        QVERIFY(link && link->text().contains(u'@'));
        box.show();
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("mailto:") + link->text())});
        QVERIFY(dialogs.Shown().empty());
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        const std::string temp = GetTempDir();
        QVERIFY(!temp.empty() && temp.back() == '/' && QDir(QString::fromStdString(temp)).exists());
    }

private:
    QTemporaryDir m_dir;
};

int main(int argc, char** argv) {
    VexoApplication app(argc, argv); // with the program's default error display
    TestInfoWindows test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_info_windows.moc"
