#include "device/portsetdialog.h"
#include "framefixture.h"
#include "settings/uilanguage.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// The editor in English: the frame's menus, a dialog and Qt's own buttons, and the choice of
// language kept for the next start.
class TestLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UiLanguage::Install(UiLanguage::Id::English); }
    void windowsSpeakEnglish();
    void choiceIsKeptForTheNextStart();
};

namespace
{

QMenu* LanguageMenu(CMainFrame& frame)
{
    return frame.findChild<QMenu*>(QStringLiteral("languageMenu"));
}

} // namespace

void TestLanguage::windowsSpeakEnglish()
{
    FrameFixture f;
    QStringList menus;
    for (QAction* top : f.frame->menuBar()->actions())
        menus << top->text();
    QCOMPARE(menus.join(u'|'), QStringLiteral("File|&Edit|&View|Actions|Settings|Help"));
    QCOMPARE(f.Action(C::ID_SEND_TEXT)->statusTip(),
             QStringLiteral("Send the data through the computer's serial port."));
    QCOMPARE(LanguageMenu(*f.frame)->title(), QStringLiteral("Language (Язык)"));

    QString caption;
    WhenModal<QDialog>([&](QDialog* dialog) {
        caption = dialog->windowTitle();
        dialog->reject();
    });
    f.Action(C::ID_PORT_SETTINGS)->trigger();
    QCOMPARE(caption, QStringLiteral("COM Port Settings"));

    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("No"));
}

void TestLanguage::choiceIsKeptForTheNextStart()
{
    FrameFixture f;
    QStringList names;
    QAction* english = nullptr;
    for (QAction* action : LanguageMenu(*f.frame)->actions()) {
        names << action->text() + (action->isChecked() ? QStringLiteral("*") : QString());
        if (action->text() == QStringLiteral("English"))
            english = action;
    }
    QCOMPARE(names.join(u'|'), QStringLiteral("Русский*|English"));
    english->trigger();
    QCOMPARE(UiLanguage::Stored(), UiLanguage::Id::English);
    QCOMPARE(f.prompt.texts,
             QStringList{QStringLiteral("The language changes at the next start.")});
    english->trigger();
    QCOMPARE(f.prompt.texts.size(), 1);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
