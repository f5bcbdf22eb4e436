#include "app/aboutdlg.h"
#include "app/codispalsh.h"
#include "app/commandtable.h"
#include "app/helpdlg.h"
#include "app/messageboxprompt.h"
#include "framefixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace
{

// Runs action on the modal window once it is up.
void WhenModalShows(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        action(QApplication::activeModalWidget());
    });
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splashClosesByItself();
    void splashClosesAtOnceOnKey_data();
    void splashClosesAtOnceOnKey();
    void splashShowsItsPicture();
    void aboutBox();
    void aboutBoxCloses_data();
    void aboutBoxCloses();
    void helpOpensFromF1AndMenu();
    void messageBoxesCarryTheProgramCaption();
};

void TestApp::splashClosesByItself()
{
    CoDiSpalsh splash;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(splash.exec(), int(QDialog::Rejected));
    QVERIFY2(clock.elapsed() >= CoDiSpalsh::kTimeout - 10,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(splash.m_nTimerID, 0);
}

void TestApp::splashClosesAtOnceOnKey_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("escape") << int(Qt::Key_Escape);
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter);
}

void TestApp::splashClosesAtOnceOnKey()
{
    QFETCH(int, key);
    CoDiSpalsh splash;
    WhenModalShows([key](QWidget* w) { QTest::keyClick(w, Qt::Key(key)); });
    QElapsedTimer clock;
    clock.start();
    splash.exec();
    QCOMPARE(splash.m_nTimerID, 0); // closed by the key, not by the timer
    QVERIFY(!splash.isVisible());
}

void TestApp::splashShowsItsPicture()
{
    CoDiSpalsh splash;
    QCOMPARE(splash.size(), QSize(CoDiSpalsh::kWidth, CoDiSpalsh::kHeight));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    auto* picture = splash.findChild<QLabel*>(QStringLiteral("splashPicture"));
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(500, 300));
}

void TestApp::aboutBox()
{
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("О программе Tavrix Editor"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("aboutVersion"))->text(),
             QStringLiteral("Tavrix Editor Версия 1.0"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("aboutNotice"))->text().count(u'\n'), 1);
    QVERIFY(!about.findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull());
    QCOMPARE(about.m_pOk->text(), QStringLiteral("OK"));
    QVERIFY(about.m_pOk->isDefault());
}

void TestApp::aboutBoxCloses_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("escape") << int(Qt::Key_Escape);
}

void TestApp::aboutBoxCloses()
{
    QFETCH(int, key);
    FrameFixture f;
    WhenModalShows([key](QWidget* w) {
        QVERIFY(qobject_cast<CAboutDlg*>(w));
        QTest::keyClick(w, Qt::Key(key));
    });
    f.Action(CommandTable::ID_APP_ABOUT)->trigger(); // returns once the box is closed
    QVERIFY(!QApplication::activeModalWidget());
}

void TestApp::helpOpensFromF1AndMenu()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClick(&f.Edit(), Qt::Key_F1);
    auto* help = f.frame->findChild<CHelpDlg*>();
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    const QString page = help->m_pBrowser->toPlainText();
    QVERIFY(page.contains(QStringLiteral("Передать текст через порт")));
    QVERIFY(page.contains(QStringLiteral("f0")));
    help->close();
    f.Action(CommandTable::ID_HELP_FINDER)->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(f.frame->findChildren<CHelpDlg*>().size(), 1);
}

void TestApp::messageBoxesCarryTheProgramCaption()
{
    CMessageBoxPrompt prompt;
    QString caption, text;
    WhenModalShows([&](QWidget* w) {
        caption = w->windowTitle();
        text = static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
    });
    QCOMPARE(prompt.AskYesNo(QStringLiteral("Вопрос?")), false);
    QCOMPARE(caption, QStringLiteral("Tavrix Editor"));
    QCOMPARE(text, QStringLiteral("Вопрос?"));

    WhenModalShows(
        [](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Cancel)->click(); });
    QCOMPARE(prompt.AskSaveChanges(QStringLiteral("Сохранить?")), ISaveQuestion::Cancel);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
