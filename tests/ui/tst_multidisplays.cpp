#include "device/devicesettingsdlg.h"
#include "device/displaychoicedlg.h"
#include "device/displayeditdlg.h"
#include "device/displaylistdlg.h"
#include "device/multitransferdlg.h"
#include "device/serialport.h"
#include "device/transferjournal.h"
#include "framefixture.h"
#include "ptypair.h"
#include "testbytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <array>

namespace
{

QByteArray Section(const QByteArray& name, const QString& port, const QByteArray& baud = "9600")
{
    return "[" + name + "]\nport = " + port.toUtf8() + "\nbaud = " + baud + "\n";
}

// What the window of a send to several displays shows once every display has ended.
struct Outcome {
    QString summary;
    QStringList results; // "name|result", a row each
    QString failures;
};

// Reads the window once the send has ended, then closes it.
void CloseWhenDone(Outcome& outcome)
{
    QTimer::singleShot(50, [&outcome] {
        CMultiTransferDlg* window = CMultiTransferDlg::Active();
        if (!window || window->m_pButton->text() != QStringLiteral("Закрыть"))
            return CloseWhenDone(outcome);
        outcome.summary = window->m_pSummary->text();
        for (int row = 0; row < window->m_pTable->rowCount(); ++row)
            outcome.results << window->m_pTable->item(row, 0)->text() + u'|' +
                                   window->m_pTable->item(row, 4)->text();
        outcome.failures = window->m_pFailures->toPlainText();
        window->m_pButton->click();
    });
}

QByteArray TextFrame(const QByteArray& stream)
{
    return Hex("02 00 00") + stream + Hex("0D");
}

} // namespace

class TestMultiDisplays : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendToFive();
    void cancelStopsAll();
    void deviceSettingsToMany();
    void editList_data();
    void editList();
    void check_data();
    void check();
    void unreadableListNotReplaced();
};

// Five displays, two on one pseudo-terminal and one whose far end goes away in the middle: four
// get the message whole, the window names the failure, the journal has a line for each, and the
// next send offers the same displays again.
void TestMultiDisplays::sendToFive()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    FrameFixture f;
    QVERIFY(f.Show());
    std::array<PtyPair, 4> ptys;
    const QByteArray list =
        Section("Витрина 1", ptys[0].SlaveName()) + Section("Витрина 2", ptys[1].SlaveName()) +
        Section("Касса", ptys[1].SlaveName()) + Section("Склад", ptys[2].SlaveName(), "1200") +
        Section("Зал", ptys[3].SlaveName());
    QVERIFY(!f.WriteFile(QStringLiteral("displays.ini"), list).isEmpty());
    const QByteArray message(120, 'A');
    FrameFixture::Type(&f.Edit(), QString::fromLatin1(message));
    const qsizetype journalBefore = CTransferJournal().Text().size();
    ptys[2].SuspendSlaveOutput();
    QObject scope; // a failed check returns early: the timer must not outlive the ptys
    QTimer::singleShot(400, &scope, [&] { ptys[2].CloseMaster(); });
    WhenModal<CDisplayChoiceDlg>([](CDisplayChoiceDlg* choice) {
        QVERIFY(!choice->m_pOk->isEnabled()); // nothing chosen before
        Click(choice, "allButton");
        Click(choice, "okButton");
    });
    Outcome outcome;
    CloseWhenDone(outcome);
    f.Action(C::ID_SEND_MANY)->trigger();
    const QString ok = QStringLiteral("Передача данных успешно завершена!!!");
    QCOMPARE(outcome.summary, QStringLiteral("Передано на 4 из 5 табло."));
    QCOMPARE(outcome.results, QStringList({"Витрина 1|" + ok, "Витрина 2|" + ok, "Касса|" + ok,
                                           "Склад|Передача данных не удалась.", "Зал|" + ok}));
    QVERIFY2(outcome.failures.startsWith("Склад (" + ptys[2].SlaveName() +
                                         "): Передача данных не удалась. До линии дошло "),
             qPrintable(outcome.failures));
    QCOMPARE(ptys[0].ReadAll(), TextFrame(message));
    QCOMPARE(ptys[1].ReadAll(), TextFrame(message) + TextFrame(message));
    QCOMPARE(ptys[3].ReadAll(), TextFrame(message));

    const QString added = CTransferJournal().Text().mid(journalBefore);
    for (const char* name : {"Витрина 1", "Витрина 2", "Касса", "Склад", "Зал"})
        QVERIFY2(added.contains(u'\t' + QString::fromUtf8(name) + u'\t'), name);
    QVERIFY(added.contains("\tСклад\t" + ptys[2].SlaveName() + "\t"));

    WhenModal<CDisplayChoiceDlg>([](CDisplayChoiceDlg* choice) {
        QCOMPARE(choice->Chosen().size(), 5);
        choice->reject();
    });
    f.Action(C::ID_SEND_MANY)->trigger();
    QVERIFY(!CMultiTransferDlg::Active());
}

// One "Отмена" stops every display, the waiting one on a shared port included.
void TestMultiDisplays::cancelStopsAll()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    PtyPair held;
    PtyPair other;
    held.SuspendSlaveOutput();
    other.SuspendSlaveOutput();
    const QList<DisplayEntry> displays = {{"Первое", PortConfig{held.SlaveName(), 6, 4, 2, 1}},
                                          {"Второе", PortConfig{held.SlaveName(), 6, 4, 2, 1}},
                                          {"Третье", PortConfig{other.SlaveName(), 6, 4, 2, 1}}};
    QTimer::singleShot(300, [] {
        QVERIFY(CMultiTransferDlg::Active());
        CMultiTransferDlg::Active()->m_pButton->click();
    });
    Outcome outcome;
    CloseWhenDone(outcome);
    QCOMPARE(CMultiTransferDlg::RunAndReport(displays, {{QByteArray(2000, 'x'), 0}}, nullptr,
                                             &CDeviceSender::TextMessage,
                                             QStringLiteral("Передано на %1 из %2 табло.")),
             0);
    QCOMPARE(outcome.summary, QStringLiteral("Передано на 0 из 3 табло."));
    QCOMPARE(outcome.results, QStringList({"Первое|Передача прервана.", "Второе|Передача прервана.",
                                           "Третье|Передача прервана."}));
}

// "На несколько табло…" sends the two frames to each display ticked and keeps the edits.
void TestMultiDisplays::deviceSettingsToMany()
{
    FrameFixture f;
    std::array<PtyPair, 2> ptys;
    const QString path =
        f.WriteFile(QStringLiteral("displays.ini"),
                    Section("Север", ptys[0].SlaveName()) + Section("Юг", ptys[1].SlaveName()));
    DeviceServiceSettings device;
    device.m_nPictureCount = 1;
    device.m_pPictures = {PictureEntry{1, QStringLiteral("Герб"), 7, 5}};
    CDeviceSettingsDlg::SetWaitFunction([](int) {});
    CDeviceSettingsDlg dialog(device, f.settings->m_port, f.prompt);
    dialog.SetDisplayListPath(path);
    dialog.m_pGreeting->setChecked(true);
    Outcome outcome;
    CloseWhenDone(outcome);
    QTimer::singleShot(0, &dialog, [&dialog] {
        WhenModal<CDisplayChoiceDlg>([](CDisplayChoiceDlg* choice) {
            Click(choice, "allButton");
            Click(choice, "okButton");
        });
        Click(&dialog, "sendManyButton");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    CDeviceSettingsDlg::SetWaitFunction({});
    QCOMPARE(outcome.summary, QStringLiteral("Настройки переданы на 2 из 2 табло."));
    for (PtyPair& pty : ptys)
        QCOMPARE(pty.ReadAll(), Hex("00 01 01 05 07 00"));
    DeviceServiceSettings stored = device;
    dialog.StoreInto(stored);
    QVERIFY(stored.m_bGreeting);
}

// Each row: the list file, one action on it, what the display window is given, the message shown
// (empty: none) and the list after OK ("name|port|baud", then "!name" for a broken entry).
void TestMultiDisplays::editList_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("action"); // add, edit, copy, remove
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after");
    const QByteArray hall = Section("Зал", QStringLiteral("ttyS0"));
    const QByteArray broken = "[Склад]\nport = ttyS1\nbaud = 1234\n";
    QTest::newRow("add") << QByteArray() << "add" << -1 << "Витрина"
                         << "ttyUSB0" << QString() << QStringList{"Витрина|ttyUSB0|1200"};
    QTest::newRow("empty name") << QByteArray() << "add" << -1 << " "
                                << "ttyUSB0"
                                << "Пустое имя табло." << QStringList{};
    QTest::newRow("name taken in another case")
        << hall << "add" << -1 << "ЗАЛ"
        << "ttyS3"
        << "Табло «ЗАЛ» уже есть в списке." << QStringList{"Зал|ttyS0|9600"};
    QTest::newRow("malformed server word")
        << hall << "add" << -1 << "Сеть"
        << "tcp://host"
        << "«tcp://host» — не адрес" << QStringList{"Зал|ttyS0|9600"};
    QTest::newRow("blank in the port")
        << hall << "edit" << 0 << "Зал"
        << "tty S1"
        << "Неверное имя порта «tty S1»" << QStringList{"Зал|ttyS0|9600"};
    QTest::newRow("edit keeps its own name")
        << hall << "edit" << 0 << "Зал"
        << "ttyS1" << QString() << QStringList{"Зал|ttyS1|9600"};
    QTest::newRow("copy") << hall << "copy" << 0 << "Зал 2"
                          << "ttyS2" << QString()
                          << QStringList{"Зал|ttyS0|9600", "Зал 2|ttyS2|9600"};
    QTest::newRow("broken entry kept")
        << hall + broken << "add" << -1 << "Касса"
        << "ttyS4" << QString() << QStringList{"Зал|ttyS0|9600", "Касса|ttyS4|1200", "!Склад"};
    QTest::newRow("broken entry mended")
        << hall + "[зал]\nport = ttyS2\n"
        << "edit" << 1 << "Зал 2"
        << "ttyS2"
        << "Ошибка в записи (строка 4): Табло «зал» уже есть в списке."
        << QStringList{"Зал|ttyS0|9600", "Зал 2|ttyS2|1200"};
    QTest::newRow("broken entry removed")
        << hall + broken << "remove" << 1 << QString() << QString() << QString()
        << QStringList{"Зал|ttyS0|9600"};
}

void TestMultiDisplays::editList()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, action);
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, port);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("displays.ini"));
    if (!file.isEmpty())
        QVERIFY(WriteFileBytes(path, file));
    FakePrompt prompt;
    CDisplayListDlg dialog(path, prompt);
    dialog.m_pTable->selectRow(row);
    if (action != u"remove") {
        WhenModal<CDisplayEditDlg>([&](CDisplayEditDlg* edit) {
            if (action == u"copy") { // selected: typing replaces it
                QCOMPARE(edit->m_pName->selectedText(), QStringLiteral("Зал (копия)"));
                QTest::keyClicks(edit->m_pName, QStringLiteral("x"));
                QCOMPARE(edit->m_pName->text(), QStringLiteral("x"));
            }
            if (edit->m_pProblem->isVisible()) // a broken entry, opened to be mended
                prompt.texts << edit->m_pProblem->text();
            edit->m_pName->setText(name);
            edit->m_pPort->setEditText(port);
            edit->accept();
            if (edit->isVisible())
                edit->reject(); // refused: the operator gives up
        });
    }
    Click(&dialog, qPrintable(action + QStringLiteral("Button")));
    // A row that held a broken entry before shows a good one whole, with its button.
    for (int good = 0; good < dialog.List().Entries().size(); ++good) {
        QCOMPARE(dialog.m_pTable->columnSpan(good, 1), 1);
        QVERIFY(dialog.CheckButton(good));
    }
    QCOMPARE(prompt.texts.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(prompt.texts[0].startsWith(message), qPrintable(prompt.texts[0]));
    dialog.accept();
    CDisplayList saved;
    QVERIFY(saved.Load(path));
    QStringList after;
    for (const DisplayEntry& entry : saved.Entries())
        after << QStringLiteral("%1|%2|%3")
                     .arg(entry.name, entry.config.portName)
                     .arg(CSerialPort::BaudRates().value(entry.config.baudIndex));
    for (const CDisplayList::Problem& problem : saved.Problems())
        after << u'!' + problem.name;
    QTEST(after, "after");
}

void TestMultiDisplays::check_data()
{
    QTest::addColumn<bool>("present");    // the port is a pseudo-terminal, else a missing device
    QTest::addColumn<bool>("send");       // sent to from the window of several, else checked
    QTest::addColumn<QString>("message"); // %1: the port word
    const QString noDevice = "Устройства %1 нет в системе. Проверьте, подключен ли адаптер, и "
                             "выберите порт табло «Зал»: «Изменить…» в окне «Список табло».";
    QTest::newRow("check: port opens") << true << false << "Порт %1 открывается.";
    QTest::newRow("check: no such device")
        << false << false << "Не удается открыть порт %1 табло «Зал».\n\n" + noDevice;
    QTest::newRow("send: no such device")
        << false << true << "Зал (%1): Не удается открыть последовательный порт. " + noDevice;
}

// "Проверить" opens and closes the display's port and says how it went, the reason in the box;
// a port that will not open is mended in the display's own window, wherever it fails.
void TestMultiDisplays::check()
{
    QFETCH(bool, present);
    QFETCH(bool, send);
    QFETCH(QString, message);
    QTemporaryDir dir;
    PtyPair pty;
    const QString port =
        present ? pty.SlaveName() : dir.filePath(QStringLiteral("нет-такого-порта"));
    const QString path = dir.filePath(QStringLiteral("displays.ini"));
    QVERIFY(WriteFileBytes(path, Section("Вход", pty.SlaveName()) + Section("Зал", port)));
    FakePrompt prompt;
    CDisplayListDlg dialog(path, prompt);
    QString shown;
    if (send) {
        const qsizetype journalBefore = CTransferJournal().Text().size();
        Outcome outcome;
        CloseWhenDone(outcome);
        CMultiTransferDlg::RunAndReport({dialog.List().Entries().value(1)}, {{"x", 0}}, nullptr,
                                        &CDeviceSender::TextMessage,
                                        QStringLiteral("Передано на %1 из %2 табло."));
        shown = outcome.failures;
        const QString added = CTransferJournal().Text().mid(journalBefore);
        QVERIFY2(added.contains(u"выберите порт табло «Зал»: «Изменить…» в окне «Список табло»."),
                 qPrintable(added));
    } else {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.m_pTable->setFocus();
        QTest::keyClick(dialog.m_pTable, Qt::Key_Tab); // out of the table to the row's button
        QCOMPARE(QApplication::focusWidget(), dialog.CheckButton(0));
        Click(&dialog, "checkButton1");
        QCOMPARE(dialog.m_pTable->currentRow(), 1); // its row is selected
        shown = prompt.texts.join(u'|');
        QCOMPARE(prompt.successes, present ? prompt.texts : QStringList());
    }
    QVERIFY2(shown.startsWith(message.arg(port)) && !shown.contains(u'|'), qPrintable(shown));
}

// A list that cannot be read is not written over with an empty one.
void TestMultiDisplays::unreadableListNotReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("displays.ini"));
    QVERIFY(QDir().mkpath(path)); // a folder where the file should be: it cannot be read
    FakePrompt prompt;
    CDisplayListDlg dialog(path, prompt);
    QCOMPARE(prompt.texts.size(), 1);
    QVERIFY2(prompt.texts[0].startsWith(u"Не удается прочитать список табло"),
             qPrintable(prompt.texts[0]));
    dialog.accept();
    QCOMPARE(prompt.texts.size(), 2);
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_MAIN(TestMultiDisplays)
#include "tst_multidisplays.moc"
