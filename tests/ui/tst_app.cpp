#include "app/aboutdlg.h"
#include "app/codispalsh.h"
#include "app/helpdlg.h"
#include "app/messageboxprompt.h"
#include "framefixture.h"

#include "app/tavrixeditorapp.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTranslator>

class TestApp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splashCloses_data();
    void splashCloses();
    void splashShowsItsPicture();
    void aboutBox_data();
    void aboutBox();
    void helpOpensFromF1AndMenu();
    void messageBoxesCarryTheProgramCaption();
    void standardTextsAreRussian();
    void detailsStayApartFromTheText();
};

void TestApp::splashCloses_data()
{
    QTest::addColumn<int>("key"); // 0: none, the timer closes it
    QTest::newRow("by itself") << 0;
    QTest::newRow("escape") << int(Qt::Key_Escape);
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter);
}

void TestApp::splashCloses()
{
    QFETCH(int, key);
    CoDiSpalsh splash;
    if (key != 0)
        WhenModal<CoDiSpalsh>([key](CoDiSpalsh* w) { QTest::keyClick(w, Qt::Key(key)); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(splash.exec(), int(QDialog::Rejected));
    const QString elapsed = QString::number(clock.elapsed());
    if (key == 0)
        QVERIFY2(clock.elapsed() >= 1500 - 10, qPrintable(elapsed));
    else
        QVERIFY2(clock.elapsed() < 1500, qPrintable(elapsed));
    QCOMPARE(splash.m_nTimerID, 0);
}

void TestApp::splashShowsItsPicture()
{
    CoDiSpalsh splash;
    QCOMPARE(splash.size(), QSize(500, 300));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    auto* picture = splash.findChild<QLabel*>(QStringLiteral("splashPicture"));
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(500, 300));
}

void TestApp::aboutBox_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("escape") << int(Qt::Key_Escape);
}

void TestApp::aboutBox()
{
    QFETCH(int, key);
    FrameFixture f;
    const QString files = QDir::toNativeSeparators(
        QStringLiteral("Файл настроек: %1/Tavrix Editor.ini\nПапка шрифтов: %1/Fonts")
            .arg(f.dir.path()));
    WhenModal<CAboutDlg>([key, files](CAboutDlg* about) {
        QCOMPARE(about->windowTitle(), QStringLiteral("О программе Tavrix Editor"));
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("aboutVersion"))->text(),
                 QStringLiteral("Tavrix Editor Версия 1.0"));
        const QString notice = about->findChild<QLabel*>(QStringLiteral("aboutNotice"))->text();
        QCOMPARE(notice.count(u'\n'), 1);
        QCOMPARE(notice.section(u'\n', 1), QStringLiteral("Лицензия GNU GPL версии 3 или более "
                                                          "поздней; Qt используется по лицензии "
                                                          "GNU LGPL."));
        QVERIFY(!about->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull());
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("aboutFiles"))->text(), files);
        QCOMPARE(about->m_pOk->text(), QStringLiteral("OK"));
        QVERIFY(about->m_pOk->isDefault());
        QTest::keyClick(about, Qt::Key(key));
    });
    f.Action(C::ID_APP_ABOUT)->trigger(); // returns once the box is closed
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
    QCOMPARE(help->m_pFiles->text(),
             QDir::toNativeSeparators(
                 QStringLiteral("Файл настроек: %1/Tavrix Editor.ini\nПапка шрифтов: %1/Fonts")
                     .arg(f.dir.path())));
    help->close();
    // A fonts folder chosen during the run is the one named the next time.
    f.settings->m_strFontDir = QStringLiteral("/srv/fonts");
    f.Action(C::ID_HELP_FINDER)->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(f.frame->findChildren<CHelpDlg*>().size(), 1);
    QVERIFY(
        help->m_pFiles->text().endsWith(QStringLiteral("\nПапка шрифтов: ") +
                                        QDir::toNativeSeparators(QStringLiteral("/srv/fonts"))));
}

void TestApp::detailsStayApartFromTheText()
{
    CMessageBoxPrompt prompt;
    QString text, details;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        details = box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    prompt.InformDetails(QStringLiteral("Не удается открыть порт."),
                         QStringLiteral("Порт занят другой программой."));
    QCOMPARE(text, QStringLiteral("Не удается открыть порт."));
    QCOMPARE(details, QStringLiteral("Порт занят другой программой."));
}

void TestApp::messageBoxesCarryTheProgramCaption()
{
    CMessageBoxPrompt prompt;
    QString caption, text;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(prompt.AskYesNo(QStringLiteral("Вопрос?")), false);
    QCOMPARE(caption, QStringLiteral("Tavrix Editor"));
    QCOMPARE(text, QStringLiteral("Вопрос?"));

    WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
    QCOMPARE(prompt.AskSaveChanges(QStringLiteral("Сохранить?")), ISaveQuestion::Cancel);
}

// Qt's own buttons and dialogs speak the program's language once its translation is loaded.
void TestApp::standardTextsAreRussian()
{
    QTranslator translator;
    QVERIFY(CTavrixEditorApp::InstallQtTranslation(translator));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tavrix Editor"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    QVERIFY2(labels.contains(QStringLiteral("Перейти к:")), qPrintable(labels.join(u'|')));
    QVERIFY2(!labels.contains(QStringLiteral("Look in:")), qPrintable(labels.join(u'|')));
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
