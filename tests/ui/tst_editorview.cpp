#include "device/portsetdialog.h"
#include "device/transferstatusdlg.h"
#include "fonts/editorsettingsdlg.h"
#include "framefixture.h"
#include "ptypair.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>

namespace
{

const QString kSucceeded = QStringLiteral("Передача данных успешно завершена!!!");

// Records, with every text, whether a transfer status window still existed when it was shown.
class StatusAwarePrompt : public FakePrompt
{
public:
    void Inform(const QString& text) override
    {
        bool statusShown = false;
        for (QWidget* widget : QApplication::topLevelWidgets())
            statusShown = statusShown || qobject_cast<CTransferStatusDlg*>(widget);
        statusSeen << statusShown;
        FakePrompt::Inform(text);
    }
    QList<bool> statusSeen;
};

// Counts the windows titled "Состояние" that come up, however briefly.
struct StatusWindowWatch : QObject {
    StatusWindowWatch() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        shown += event->type() == QEvent::Show && watched->isWidgetType() &&
                 static_cast<QWidget*>(watched)->windowTitle() == u"Состояние";
        return false;
    }
    int shown = 0;
};

} // namespace

class TestEditorView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listChoiceInsertsCode_data();
    void listChoiceInsertsCode();
    void listChoiceInLowerPaneChangesNothing_data();
    void listChoiceInLowerPaneChangesNothing();
    void newDocumentShowsTheSelections();
    void clipboardCommands();
    void openedMessageAboveDefaultLimitIsKeptWhole();
    void commandEnabling();
    void sendPutsFrameOnTheLine_data();
    void sendPutsFrameOnTheLine();
    void sendToUnavailablePortThenAvailable();
    void sendThatTimesOutReportsFailure();
    void sendOfTooLongMessageAsksFirst_data();
    void sendOfTooLongMessageAsksFirst();
    void progressWindowAndCancel();
    void closingDuringTransferAsks_data();
    void closingDuringTransferAsks();
    void statusBarShowsPortInUse();
    void editorSettingsKeepTheTypedText_data();
    void editorSettingsKeepTheTypedText();
    void editorSettingsEncodeIntoTheNewSize_data();
    void editorSettingsEncodeIntoTheNewSize();
};

void TestEditorView::listChoiceInsertsCode_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("font 3 at caret")
        << 102 << 3 << 1 << 1 << QByteArray("Af3BC") << Hex("41 00 03 42 43");
    QTest::newRow("i7 at caret") << 103 << 7 << 3 << 3 << QByteArray("ABCi7")
                                 << Hex("41 42 43 01 07");
    QTest::newRow("v2 at start") << 104 << 1 << 0 << 0 << QByteArray("v2ABC")
                                 << Hex("03 02 41 42 43");
    QTest::newRow("font 3 replaces selection")
        << 102 << 3 << 1 << 2 << QByteArray("Af3C") << Hex("41 00 03 43");
    QTest::newRow("i7 replaces all") << 103 << 7 << 0 << 3 << QByteArray("i7") << Hex("01 07");
}

void TestEditorView::listChoiceInsertsCode()
{
    QFETCH(int, list);
    QFETCH(int, index);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stream);
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("ABC"));
    f.doc->SetModifiedFlag(false);
    f.Edit().SetSel(selStart, selEnd);
    FrameFixture::Choose(f.List(list), index);

    QCOMPARE(f.Edit().GetText(), text);
    QVERIFY(f.doc->IsModified());
    QCOMPARE(f.Edit().GetCharColor(selStart), CMessageCodec::kControlColor);
    QCOMPARE(f.Edit().GetCharColor(selStart + 1), CMessageCodec::kControlColor);
    f.View().EncodeText();
    QCOMPARE(Stream(*f.doc), stream);
}

void TestEditorView::listChoiceInLowerPaneChangesNothing_data()
{
    QTest::addColumn<QString>("how"); // the pane is made the active one
    QTest::newRow("focus moved to it") << "focus";
    QTest::newRow("click below the dot strips") << "below";
    QTest::newRow("click on the bar's background") << "bar";
    QTest::newRow("click on Пуск") << "play";
}

void TestEditorView::listChoiceInLowerPaneChangesNothing()
{
    QFETCH(QString, how);
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    f.doc->SetModifiedFlag(false);
    CTavrixView* pane = f.frame->LowerView();
    auto* play = pane->findChild<QToolButton*>(QStringLiteral("previewPlay"));
    QWidget* viewport = pane->findChild<QScrollArea*>()->viewport();
    QVERIFY(viewport->height() > pane->findChild<QWidget*>("previewPanel")->height() + 10);
    if (how == u"focus")
        pane->setFocus();
    else if (how == u"below")
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(4, viewport->height() - 4));
    else if (how == u"bar")
        QTest::mouseClick(play->parentWidget(), Qt::LeftButton, {},
                          QPoint(play->parentWidget()->width() - 4, 4));
    else
        QTest::mouseClick(play, Qt::LeftButton);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(pane));
    FrameFixture::Choose(f.frame->m_wndFontCombo, 3);
    FrameFixture::Choose(f.frame->m_wndICombo, 7);
    QCOMPARE(f.Edit().GetText(), QByteArray("AB"));
    QVERIFY(!f.doc->IsModified());

    // Back in the editor (F6) the same choice works again.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));
    FrameFixture::Choose(f.frame->m_wndVCombo, 1);
    QCOMPARE(f.Edit().GetText(), QByteArray("ABv2"));
}

void TestEditorView::newDocumentShowsTheSelections()
{
    FrameFixture f;
    f.settings->m_nCurI = 4;
    f.settings->m_nCurFont = 2;
    f.frame->NewDocument();
    QCOMPARE(f.frame->m_wndICombo->currentIndex(), 4);
    QCOMPARE(f.frame->m_wndFontCombo->currentIndex(), 2);
}

void TestEditorView::clipboardCommands()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QVERIFY(f.frame->LoadFile(f.WriteFile(QStringLiteral("cut.tvd"), Hex("41 42 00 03 43"))));
    QVERIFY(!f.doc->IsModified());
    f.Edit().SetSel(5, 5);
    QVERIFY(!f.Enabled(C::ID_EDIT_COPY));
    QVERIFY(!f.Enabled(C::ID_EDIT_CUT));
    QApplication::clipboard()->clear();
    QVERIFY(!f.Enabled(C::ID_EDIT_PASTE));

    f.Edit().SetSel(0, 1);
    QVERIFY(f.Enabled(C::ID_EDIT_COPY));
    QVERIFY(f.Enabled(C::ID_EDIT_CUT));
    f.Action(C::ID_EDIT_CUT)->trigger();
    QCOMPARE(f.Edit().GetText(), QByteArray("Bf3C"));
    QVERIFY(f.doc->IsModified());

    // The control code copied through the clipboard stays a control code.
    f.Edit().SetSel(0, 3);
    f.Action(C::ID_EDIT_COPY)->trigger();
    QVERIFY(f.Enabled(C::ID_EDIT_PASTE));
    f.Edit().SetSel(4, 4);
    f.Action(C::ID_EDIT_PASTE)->trigger();
    f.View().EncodeText();
    QCOMPARE(Stream(*f.doc), Hex("42 00 03 43 42 00 03"));
}

void TestEditorView::openedMessageAboveDefaultLimitIsKeptWhole()
{
    // MAXSYM above the control's default limit: opening must not cut the message.
    FrameFixture f(50000);
    QByteArray bytes;
    while (bytes.size() < 40000)
        bytes += QByteArray("Text\x00\x02 line\n", 12);
    QVERIFY(f.frame->LoadFile(f.WriteFile(QStringLiteral("long.tvd"), bytes)));
    const QString copy = f.dir.filePath(QStringLiteral("copy.tvd"));
    QVERIFY(f.frame->SaveFile(copy));
    QCOMPARE(FrameFixture::ReadFile(copy), bytes);
}

void TestEditorView::commandEnabling()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QVERIFY(!f.Enabled(C::ID_SEND_TEXT));
    QTest::keyClicks(&f.Edit(), QStringLiteral("A"));
    QVERIFY(f.Enabled(C::ID_SEND_TEXT));
    QTest::keyClick(&f.Edit(), Qt::Key_Backspace);
    QVERIFY(!f.Enabled(C::ID_SEND_TEXT));

    // Undo stays off: its keys change nothing.
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    QTest::keyClick(&f.Edit(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&f.Edit(), Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(f.Edit().GetText(), QByteArray("AB"));
    QVERIFY(!f.Enabled(C::ID_EDIT_UNDO));
    QVERIFY(!f.Edit().isUndoRedoEnabled());

    // The insert commands need the caret below the text limit.
    f.Edit().SetLimitText(4);
    QTest::keyClicks(&f.Edit(), QStringLiteral("CD"));
    f.frame->UpdateCommandUI();
    QVERIFY(!f.Enabled(C::ID_INSERT_SYMBOL));
    QVERIFY(!f.Enabled(C::ID_EFFECTS));
    f.Edit().SetSel(3, 3);
    QVERIFY(f.Enabled(C::ID_INSERT_SYMBOL));
    QVERIFY(f.Enabled(C::ID_EFFECTS));
}

void TestEditorView::sendPutsFrameOnTheLine_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("font");
    QTest::addColumn<QString>("typedAfter");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("AB f3 C") << "AB" << 3 << "C" << Hex("02 00 00 41 42 00 03 43 0D");
    QTest::newRow("one letter") << "A" << -1 << "" << Hex("02 00 00 41 0D");
    QTest::newRow("two lines") << "AB\nC" << -1 << "" << Hex("02 00 00 41 42 0A 43 0D");
}

void TestEditorView::sendPutsFrameOnTheLine()
{
    QFETCH(QString, typed);
    QFETCH(int, font);
    QFETCH(QString, typedAfter);
    QFETCH(QByteArray, expected);
    StatusAwarePrompt prompt;
    FrameFixture f(0, &prompt);
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    f.UsePort(pty.SlaveName());

    FrameFixture::Type(&f.Edit(), typed);
    if (font >= 0)
        FrameFixture::Choose(f.frame->m_wndFontCombo, font);
    QTest::keyClicks(&f.Edit(), typedAfter);
    f.Action(C::ID_SEND_TEXT)->trigger();

    QCOMPARE(pty.ReadAll(), expected);
    QCOMPARE(prompt.texts, QStringList{kSucceeded});
    QCOMPARE(prompt.statusSeen, QList<bool>{false});
    QVERIFY(f.PortFree());
    QCOMPARE(f.doc->m_nLength, expected.size() - 4); // the stream stays as the send encoded it
}

void TestEditorView::sendToUnavailablePortThenAvailable()
{
#ifdef _WIN32
    QSKIP("a device reached through a symbolic link is a Unix one");
#endif
    FrameFixture f;
    QVERIFY(f.Show());
    const QString link = f.dir.filePath(QStringLiteral("ttyDisplay"));
    f.UsePort(link);
    QTest::keyClicks(&f.Edit(), QStringLiteral("Hi"));
    StatusWindowWatch watch;
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(watch.shown, 0); // the message box alone
    QCOMPARE(f.prompt.texts, QStringList{"Не удается открыть последовательный порт."});
    QCOMPARE(f.prompt.details.size(), 1);
    QVERIFY2(f.prompt.details[0].startsWith(
                 QStringLiteral("Устройства %1 нет в системе. Проверьте, подключен ли адаптер, "
                                "и выберите порт в окне «Настройки COM порта».")
                     .arg(link)),
             qPrintable(f.prompt.details[0]));

    PtyPair pty;
    QVERIFY(pty.IsValid());
    QVERIFY(QFile::link(pty.SlaveName(), link));
    f.prompt.texts.clear();
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(pty.ReadAll(), Hex("02 00 00 48 69 0D"));
    QCOMPARE(f.prompt.texts, QStringList{kSucceeded});
    QVERIFY(f.PortFree());
}

void TestEditorView::sendThatTimesOutReportsFailure()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    StatusAwarePrompt prompt;
    FrameFixture f(0, &prompt);
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    f.UsePort(pty.SlaveName());
    pty.SuspendSlaveOutput(); // the display takes nothing in
    QTest::keyClicks(&f.Edit(), QStringLiteral("Hi"));
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(prompt.texts, QStringList{"Передача данных не удалась."});
    QCOMPARE(prompt.statusSeen, QList<bool>{false});
    QVERIFY(f.PortFree());
}

void TestEditorView::sendOfTooLongMessageAsksFirst_data()
{
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("typed, no: nothing sent") << false << false << QByteArray();
    QTest::newRow("typed, yes: what fits")
        << false << true << Hex("02 00 00 41 42 43 44 45 46 47 0D");
    // The file's last two bytes were never read: the question counts them too.
    QTest::newRow("opened file, no: nothing sent") << true << false << QByteArray();
    QTest::newRow("opened file, yes: what fits")
        << true << true << Hex("02 00 00 41 42 43 44 45 46 47 0D");
}

void TestEditorView::sendOfTooLongMessageAsksFirst()
{
    QFETCH(bool, opened);
    QFETCH(bool, answer);
    QFETCH(QByteArray, expected);
    FrameFixture f(8); // room for 7 stream bytes
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    f.UsePort(pty.SlaveName());
    if (opened)
        QVERIFY(f.frame->LoadFile(f.WriteFile(QStringLiteral("long.tvd"), "ABCDEFGHIJ")));
    else
        QTest::keyClicks(&f.Edit(), QStringLiteral("ABCDEFGHIJ"));
    f.prompt.texts.clear();
    f.prompt.answers = {answer};
    f.Action(C::ID_SEND_TEXT)->trigger();
    QVERIFY(!f.prompt.texts.isEmpty());
    QCOMPARE(f.prompt.texts.first(),
             QStringLiteral("Сообщение не помещается в память устройства: будет передано только "
                            "7 байт из 10.\nПередать сокращенное сообщение?"));
    QCOMPARE(pty.ReadAll(answer ? 1000 : 100), expected);
    QCOMPARE(f.prompt.texts.size(), answer ? 2 : 1);
}

void TestEditorView::progressWindowAndCancel()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    StatusAwarePrompt prompt;
    FrameFixture f(0, &prompt);
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    f.UsePort(pty.SlaveName());
    pty.SuspendSlaveOutput();                  // the display takes nothing in until cancelled
    f.Edit().setPlainText(QString(200, u'x')); // a budget of 4 s
    QStringList seen;
    QObject scope; // a timer still pending when the test ends must not touch its dead locals
    QTimer::singleShot(300, &scope, [&] {
        CTransferStatusDlg* status = CTransferStatusDlg::Active();
        QVERIFY(status);
        seen << status->windowTitle() << status->findChild<QLabel*>("statusText")->text()
             << status->m_pCancel->text() << status->m_pTimeLeft->text().left(10);
        // Nothing else takes input meanwhile; the port is held.
        QCOMPARE(QApplication::activeModalWidget(), status);
        CSerialPort other;
        other.SetConfig(f.settings->m_port);
        QVERIFY(!other.Open());
        QTest::mouseClick(status->m_pCancel, Qt::LeftButton);
    });
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(seen, QStringList({"Состояние", "Идет передача данных через последовательный порт ...",
                                "Отмена", "Осталось: "}));
    QCOMPARE(prompt.texts, QStringList{"Передача прервана."});
    QCOMPARE(prompt.statusSeen, QList<bool>{false});
    QVERIFY(f.PortFree());
    pty.ResumeSlaveOutput();
    QCOMPARE(pty.ReadAll(100), QByteArray());
}

void TestEditorView::closingDuringTransferAsks_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("result");
    QTest::newRow("no: the transfer goes on") << false << "Передача данных успешно завершена!!!";
    QTest::newRow("yes: stopped, then closed") << true << "Передача прервана.";
}

void TestEditorView::closingDuringTransferAsks()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    QFETCH(bool, stop);
    QFETCH(QString, result);
    FrameFixture f;
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    f.UsePort(pty.SlaveName());
    pty.SuspendSlaveOutput();
    f.Edit().setPlainText(QString(200, u'x'));
    f.prompt.answers = {stop};
    // A stopped transfer ends before the line resumes: the timer must die with the test.
    QObject scope;
    QTimer::singleShot(100, &scope, [&] { f.frame->close(); });
    QTimer::singleShot(400, &scope, [&] { pty.ResumeSlaveOutput(); });
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(f.prompt.texts,
             QStringList({"Идет передача данных в устройство. Прервать передачу и закрыть "
                          "программу?",
                          result}));
    if (stop)
        QTRY_VERIFY(!f.frame->isVisible());
    else
        QVERIFY(f.frame->isVisible());
}

void TestEditorView::statusBarShowsPortInUse()
{
    FrameFixture f;
    QVERIFY(f.Show());
    auto* pane = f.frame->findChild<QLabel*>("portPane");
    QVERIFY(pane);
    QCOMPARE(pane->text(), QStringLiteral("COM1 · 1200"));
    QVERIFY(pane->x() > f.frame->m_pIdleText->x());
    QVERIFY(pane->x() < f.frame->m_indicators.first()->x());
    WhenModal<CPortSetDialog>([](CPortSetDialog* dlg) {
        dlg->m_pOther->click();
        dlg->m_pOtherList->setEditText(QStringLiteral("ttyUSB0"));
        Click(dlg, "okButton");
    });
    f.Action(C::ID_PORT_SETTINGS)->trigger();
    QCOMPARE(pane->text(), QStringLiteral("ttyUSB0 · 1200"));
}

void TestEditorView::editorSettingsKeepTheTypedText_data()
{
    QTest::addColumn<QString>("maxChars");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("limit");
    QTest::newRow("same size") << "2048" << QByteArray("ABf3CDEFGH") << QStringList() << 2048;
    QTest::newRow("smaller: cut on an item")
        << "6" << QByteArray("ABf3C")
        << QStringList{"Сообщение не помещается в новый размер: сохранено только 5 байт из 10."}
        << 6;
    QTest::newRow("code not split")
        << "4" << QByteArray("AB")
        << QStringList{"Сообщение не помещается в новый размер: сохранено только 2 байт из 10."}
        << 4;
}

void TestEditorView::editorSettingsEncodeIntoTheNewSize_data()
{
    QTest::addColumn<QString>("maxChars");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("raised: all kept") << "10000" << 3000 << QStringList();
    QTest::newRow("unchanged: cut to the size")
        << "2048" << 2047
        << QStringList{"Сообщение не помещается в размер: сохранено только 2047 байт из 3000."};
    QTest::newRow("lowered: cut to the new size")
        << "1000" << 999
        << QStringList{
               "Сообщение не помещается в новый размер: сохранено только 999 байт из 3000."};
}

// The control takes far more than the message holds until the size is first confirmed.
void TestEditorView::editorSettingsEncodeIntoTheNewSize()
{
    QFETCH(QString, maxChars);
    QFETCH(int, kept);
    FrameFixture f;
    QVERIFY(f.Show());
    f.Edit().insertPlainText(QString(3000, u'a'));
    QCOMPARE(f.Edit().GetTextLength(), 3000);
    WhenModal<CEditorSettingsDlg>([maxChars](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(maxChars);
        dlg->accept();
    });
    f.Action(C::ID_EDITOR_SETTINGS)->trigger();
    QCOMPARE(f.Edit().GetText(), QByteArray(kept, 'a'));
    QTEST(f.prompt.texts, "messages");
}

void TestEditorView::editorSettingsKeepTheTypedText()
{
    QFETCH(QString, maxChars);
    QFETCH(QByteArray, text);
    QFETCH(QStringList, messages);
    QFETCH(int, limit);
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    FrameFixture::Choose(f.frame->m_wndFontCombo, 3);
    QTest::keyClicks(&f.Edit(), QStringLiteral("CDEFGH"));
    WhenModal<CEditorSettingsDlg>([maxChars](CEditorSettingsDlg* dlg) {
        dlg->m_pMaxChars->setText(maxChars);
        dlg->accept();
    });
    f.Action(C::ID_EDITOR_SETTINGS)->trigger();

    QCOMPARE(f.Edit().GetText(), text);
    QCOMPARE(f.prompt.texts, messages);
    QVERIFY(f.doc->IsModified()); // what was typed is still not saved
    QCOMPARE(f.Edit().GetLimitText(), limit);
    QCOMPARE(f.frame->m_wndFontCombo->currentIndex(), 0); // the reload starts the lists anew
}

QTEST_MAIN(TestEditorView)
#include "tst_editorview.moc"
