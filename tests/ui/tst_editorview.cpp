#include "app/commandtable.h"
#include "device/transferstatusdlg.h"
#include "fonts/editorsettingsdlg.h"
#include "framefixture.h"
#include "ptypair.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace
{

using C = CommandTable;

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

void UsePort(FrameFixture& f, const QString& name)
{
    PortConfig config = f.settings->m_port.GetConfig();
    config.portName = name;
    f.settings->m_port.SetConfig(config);
}

} // namespace

class TestEditorView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listChoiceInsertsCode_data();
    void listChoiceInsertsCode();
    void listChoiceInLowerPaneChangesNothing();
    void listsShowTheSettings();
    void copyAndCutFollowTheSelection();
    void cutOfOpenedDocumentMarksModified();
    void openedMessageAboveDefaultLimitIsKeptWhole();
    void undoDoesNothing();
    void sendDisabledOnEmptyEditor();
    void sendPutsFrameOnTheLine_data();
    void sendPutsFrameOnTheLine();
    void sendToUnavailablePortThenAvailable();
    void sendOfTooLongMessageAsksFirst_data();
    void sendOfTooLongMessageAsksFirst();
    void insertCommandsStopAtTheTextLimit();
    void editorSettingsKeepTheTypedText_data();
    void editorSettingsKeepTheTypedText();
};

void TestEditorView::listChoiceInsertsCode_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stream");

    const QByteArray f3("\x00\x03", 2), i7("\x01\x07", 2), v2("\x03\x02", 2);
    QTest::newRow("font 3 at caret")
        << 102 << 3 << 1 << 1 << QByteArray("Af3BC") << QByteArray("A") + f3 + "BC";
    QTest::newRow("i7 at caret") << 103 << 7 << 3 << 3 << QByteArray("ABCi7")
                                 << QByteArray("ABC") + i7;
    QTest::newRow("v2 at start") << 104 << 1 << 0 << 0 << QByteArray("v2ABC") << v2 + "ABC";
    QTest::newRow("font 3 replaces selection")
        << 102 << 3 << 1 << 2 << QByteArray("Af3C") << QByteArray("A") + f3 + "C";
    QTest::newRow("i7 replaces all") << 103 << 7 << 0 << 3 << QByteArray("i7") << i7;
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
    auto* combo = f.frame->findChild<QComboBox*>(QStringLiteral("list%1").arg(list));
    QVERIFY(combo);
    FrameFixture::Choose(combo, index);

    QCOMPARE(f.Edit().GetText(), text);
    QVERIFY(f.doc->IsModified());
    QCOMPARE(f.Edit().GetCharColor(selStart), CMessageCodec::kControlColor);
    QCOMPARE(f.Edit().GetCharColor(selStart + 1), CMessageCodec::kControlColor);
    f.View().EncodeText();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.doc->m_pData.get()), f.doc->m_nLength),
             stream);
}

void TestEditorView::listChoiceInLowerPaneChangesNothing()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    f.doc->SetModifiedFlag(false);
    f.frame->LowerView()->setFocus();
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->LowerView()));

    FrameFixture::Choose(f.frame->m_wndFontCombo, 3);
    FrameFixture::Choose(f.frame->m_wndICombo, 7);
    QCOMPARE(f.Edit().GetText(), QByteArray("AB"));
    QVERIFY(!f.doc->IsModified());

    // Back in the editor (F6) the same choice works again.
    QTest::keyClick(f.frame->LowerView(), Qt::Key_F6);
    QTRY_COMPARE(f.frame->ActivePane(), static_cast<QWidget*>(f.frame->EditorView()));
    FrameFixture::Choose(f.frame->m_wndVCombo, 1);
    QCOMPARE(f.Edit().GetText(), QByteArray("ABv2"));
}

void TestEditorView::listsShowTheSettings()
{
    FrameFixture f;
    QCOMPARE(f.frame->m_wndFontCombo->count(), f.settings->m_nFontCount);
    QCOMPARE(f.frame->m_wndFontCombo->count(), 9);
    QCOMPARE(f.frame->m_wndICombo->count(), 10);
    QCOMPARE(f.frame->m_wndICombo->itemText(0), QStringLiteral("i0"));
    QCOMPARE(f.frame->m_wndICombo->itemText(9), QStringLiteral("i9"));
    QCOMPARE(f.frame->m_wndVCombo->count(), 5);
    QCOMPARE(f.frame->m_wndVCombo->itemText(0), QStringLiteral("v1"));
    QCOMPARE(f.frame->m_wndScaleCombo->itemText(4), QStringLiteral("500%"));

    // A new document shows the selections the settings hold now.
    f.settings->m_nCurI = 4;
    f.settings->m_nCurFont = 2;
    f.frame->NewDocument();
    QCOMPARE(f.frame->m_wndICombo->currentIndex(), 4);
    QCOMPARE(f.frame->m_wndFontCombo->currentIndex(), 2);
}

void TestEditorView::copyAndCutFollowTheSelection()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("Hello"));
    f.Edit().SetSel(5, 5);
    QVERIFY(!f.Action(C::ID_EDIT_COPY)->isEnabled());
    QVERIFY(!f.Action(C::ID_EDIT_CUT)->isEnabled());
    f.Edit().SetSel(1, 3);
    QVERIFY(f.Action(C::ID_EDIT_COPY)->isEnabled());
    QVERIFY(f.Action(C::ID_EDIT_CUT)->isEnabled());

    f.Action(C::ID_EDIT_COPY)->trigger();
    QVERIFY(f.Action(C::ID_EDIT_PASTE)->isEnabled());
    f.Edit().SetSel(5, 5);
    f.Action(C::ID_EDIT_PASTE)->trigger();
    QCOMPARE(f.Edit().GetText(), QByteArray("Helloel"));
}

void TestEditorView::cutOfOpenedDocumentMarksModified()
{
    FrameFixture f;
    QVERIFY(f.Show());
    const QString path = f.WriteFile(QStringLiteral("cut.tvd"), QByteArray("AB\x00\x03"
                                                                           "C",
                                                                           5));
    QVERIFY(f.frame->LoadFile(path));
    QVERIFY(!f.doc->IsModified());
    f.Edit().SetSel(0, 1);
    f.Action(C::ID_EDIT_CUT)->trigger();
    QCOMPARE(f.Edit().GetText(), QByteArray("Bf3C"));
    QVERIFY(f.doc->IsModified());
}

void TestEditorView::openedMessageAboveDefaultLimitIsKeptWhole()
{
    // MAXSYM above the control's default limit: opening must not cut the message.
    FrameFixture f(50000);
    QByteArray bytes;
    while (bytes.size() < 40000)
        bytes += QByteArray("Text\x00\x02 line\n", 12);
    const QString path = f.WriteFile(QStringLiteral("long.tvd"), bytes);
    QVERIFY(f.frame->LoadFile(path));
    const QString copy = f.dir.filePath(QStringLiteral("copy.tvd"));
    QVERIFY(f.frame->SaveFile(copy));
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), bytes);
}

void TestEditorView::undoDoesNothing()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QTest::keyClicks(&f.Edit(), QStringLiteral("AB"));
    QVERIFY(!f.Action(C::ID_EDIT_UNDO)->isEnabled());
    QTest::keyClick(&f.Edit(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&f.Edit(), Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(f.Edit().GetText(), QByteArray("AB"));
    QVERIFY(!f.Action(C::ID_EDIT_UNDO)->isEnabled());
}

void TestEditorView::sendDisabledOnEmptyEditor()
{
    FrameFixture f;
    QVERIFY(f.Show());
    QAction* send = f.Action(C::ID_SEND_TEXT);
    QVERIFY(!send->isEnabled());
    QTest::keyClicks(&f.Edit(), QStringLiteral("A"));
    QVERIFY(send->isEnabled());
    QTest::keyClick(&f.Edit(), Qt::Key_Backspace);
    QVERIFY(!send->isEnabled());
}

void TestEditorView::sendPutsFrameOnTheLine_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("font");
    QTest::addColumn<QString>("typedAfter");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("AB f3 C") << "AB" << 3 << "C"
                             << QByteArray("\x02\x00\x00"
                                           "AB\x00\x03"
                                           "C\x0D",
                                           9);
    QTest::newRow("one letter") << "A" << -1 << ""
                                << QByteArray("\x02\x00\x00"
                                              "A\x0D",
                                              5);
    QTest::newRow("two lines") << "AB\nC" << -1 << ""
                               << QByteArray("\x02\x00\x00"
                                             "AB\x0A"
                                             "C\x0D",
                                             8);
}

void TestEditorView::sendPutsFrameOnTheLine()
{
    QFETCH(QString, typed);
    QFETCH(int, font);
    QFETCH(QString, typedAfter);
    QFETCH(QByteArray, expected);

    FrameFixture f;
    StatusAwarePrompt prompt;
    // The view reports through the fixture's prompt; swap in one that watches the status window.
    auto doc = std::make_unique<CTavrixEditorDoc>(*f.settings, prompt);
    CMainFrame frame(*f.settings, prompt, f.question, *doc);
    frame.NewDocument();
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    PtyPair pty;
    QVERIFY(pty.IsValid());
    UsePort(f, pty.SlaveName());

    CInteractiveEditCtrl& edit = frame.EditorView()->Edit();
    FrameFixture::Type(&edit, typed);
    if (font >= 0)
        FrameFixture::Choose(frame.m_wndFontCombo, font);
    QTest::keyClicks(&edit, typedAfter);
    frame.Action(C::ID_SEND_TEXT)->trigger();

    QCOMPARE(pty.ReadAll(), expected);
    QCOMPARE(prompt.texts, QStringList{CTavrixEditorView::kSendSucceeded});
    QCOMPARE(prompt.statusSeen, QList<bool>{false});
    QVERIFY(!f.settings->m_port.IsOpen());
    // The stream stays as the send encoded it.
    QCOMPARE(doc->m_nLength, expected.size() - 4);
}

void TestEditorView::sendToUnavailablePortThenAvailable()
{
    FrameFixture f;
    QVERIFY(f.Show());
    const QString link = f.dir.filePath(QStringLiteral("ttyDisplay"));
    UsePort(f, link);
    QTest::keyClicks(&f.Edit(), QStringLiteral("Hi"));

    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(f.prompt.texts, QStringList{CTavrixEditorView::kCannotOpenPort});
    QVERIFY(!f.settings->m_port.IsOpen());

    PtyPair pty;
    QVERIFY(pty.IsValid());
    QVERIFY(QFile::link(pty.SlaveName(), link));
    f.prompt.texts.clear();
    f.Action(C::ID_SEND_TEXT)->trigger();
    QCOMPARE(pty.ReadAll(), QByteArray("\x02\x00\x00"
                                       "Hi\x0D",
                                       6));
    QCOMPARE(f.prompt.texts, QStringList{CTavrixEditorView::kSendSucceeded});
}

void TestEditorView::sendOfTooLongMessageAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no: nothing sent") << false << QByteArray();
    QTest::newRow("yes: what fits") << true
                                    << QByteArray("\x02\x00\x00"
                                                  "ABCDEFG\x0D",
                                                  11);
}

void TestEditorView::sendOfTooLongMessageAsksFirst()
{
    QFETCH(bool, answer);
    QFETCH(QByteArray, expected);

    FrameFixture f(8); // room for 7 stream bytes
    QVERIFY(f.Show());
    PtyPair pty;
    QVERIFY(pty.IsValid());
    UsePort(f, pty.SlaveName());
    QTest::keyClicks(&f.Edit(), QStringLiteral("ABCDEFGHIJ"));
    f.prompt.answers = {answer};

    f.Action(C::ID_SEND_TEXT)->trigger();
    QVERIFY(!f.prompt.texts.isEmpty());
    QCOMPARE(f.prompt.texts.first(), CTavrixEditorView::SendShortenedQuestion(7, 10));
    QCOMPARE(pty.ReadAll(answer ? 1000 : 100), expected);
    QCOMPARE(f.prompt.texts.size(), answer ? 2 : 1);
}

void TestEditorView::insertCommandsStopAtTheTextLimit()
{
    FrameFixture f;
    QVERIFY(f.Show());
    f.Edit().SetLimitText(4);
    QTest::keyClicks(&f.Edit(), QStringLiteral("ABCD"));
    f.frame->UpdateCommandUI();
    QVERIFY(!f.Action(C::ID_INSERT_SYMBOL)->isEnabled());
    QVERIFY(!f.Action(C::ID_EFFECTS)->isEnabled());
    f.Edit().SetSel(3, 3);
    QVERIFY(f.Action(C::ID_INSERT_SYMBOL)->isEnabled());
    QVERIFY(f.Action(C::ID_EFFECTS)->isEnabled());
}

void TestEditorView::editorSettingsKeepTheTypedText_data()
{
    QTest::addColumn<QString>("maxChars");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("limit");

    QTest::newRow("same size") << "2048" << QByteArray("ABf3CDEFGH") << QStringList() << 2048;
    QTest::newRow("smaller: cut on an item")
        << "6" << QByteArray("ABf3C") << QStringList{CTavrixEditorView::CapacityCutText(5, 10)}
        << 6;
    QTest::newRow("code not split")
        << "4" << QByteArray("AB") << QStringList{CTavrixEditorView::CapacityCutText(2, 10)} << 4;
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
    QTimer::singleShot(0, [maxChars] {
        auto* dialog = qobject_cast<CEditorSettingsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->m_pMaxChars->setText(maxChars);
        dialog->accept();
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
