#include "device/devicesettingsdlg.h"
#include "device/serialport.h"
#include "editorfixture.h"
#include "ptypair.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace
{

const QString kBadOrder = QStringLiteral("Недопустимое значение порядкового номера изображения");

struct Picture {
    bool shown;
    int number;
    int duration;
};

const QList<Picture> kSixPictures = {{true, 0, 5}, {true, 1, 6}, {false, 2, 7},
                                     {true, 3, 8}, {true, 4, 9}, {false, 5, 10}};

// name:shown:number:duration of every picture.
QString Describe(const std::vector<PictureEntry>& pictures)
{
    QStringList parts;
    for (const PictureEntry& p : pictures)
        parts << QString::asprintf("%s:%d:%d:%d", qPrintable(p.strName), int(p.bShown), p.nNumber,
                                   p.nDuration);
    return parts.join(u' ');
}

QString RowText(QTableWidget* list, int row)
{
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column)
        cells << list->item(row, column)->text();
    return cells.join(u'|');
}

void Edit(CDeviceSettingsDlg* dlg, int row, const QString& use, const QString& order,
          const QString& duration)
{
    dlg->m_pList->setCurrentCell(row, 0);
    dlg->m_pUse->setCurrentText(use);
    dlg->m_pOrder->setText(order);
    dlg->m_pDuration->setText(duration);
    dlg->m_pApplyChanges->click();
}

// Six pictures, the second hidden; the waits recorded instead of waited.
struct DeviceFixture : EditorFixture {
    DeviceFixture()
    {
        CDeviceSettingsDlg::SetWaitFunction([this](int ms) {
            waits << ms;
            if (pty)
                wire += pty->ReadAll();
        });
        SetPictures(kSixPictures);
    }
    ~DeviceFixture() { CDeviceSettingsDlg::SetWaitFunction({}); }

    void SetPictures(const QList<Picture>& pictures)
    {
        DeviceServiceSettings& device = settings.m_device;
        device.m_pPictures.clear();
        for (const Picture& p : pictures) {
            PictureEntry entry;
            entry.Set(p.shown, QStringLiteral("P%1").arg(device.m_pPictures.size() + 1), p.number,
                      p.duration);
            device.m_pPictures.push_back(entry);
        }
        device.m_nPictureCount = int(device.m_pPictures.size());
        device.m_bGreeting = device.m_bDemoPictures = device.m_bDemoString = false;
        settings.BuildPictureLists();
    }

    void UsePort(const QString& name) { settings.m_port.portName = name; }

    // No transfer left the configured port held: another holder can open it now.
    bool PortFree() const
    {
        CSerialPort other;
        other.SetConfig(settings.m_port);
        const bool opened = other.Open();
        other.Close();
        return opened;
    }

    // Through a pseudo-terminal: while a frame's wait runs, the device side takes in what
    // arrived, as the next write purges whatever is still pending.
    bool UsePty()
    {
        pty = std::make_unique<PtyPair>();
        UsePort(pty->SlaveName());
        return pty->IsValid();
    }

    QString Stored() const { return Describe(settings.m_device.m_pPictures); }
    void Run() { CDeviceSettingsDlg::OnDeviceSettings(nullptr, settings, prompt); }

    QList<int> waits;
    std::unique_ptr<PtyPair> pty;
    QByteArray wire;
};

} // namespace

class TestDeviceSettingsDlg : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listShowsThePictures();
    void emptyListShowsNoPicture();
    void orderNumberSwaps();
    void refusesEdit_data();
    void refusesEdit();
    void clickBelowRowsKeepsCurrent();
    void transferSendsFramesAndStores_data();
    void transferSendsFramesAndStores();
    void failedTransferStoresNothing_data();
    void failedTransferStoresNothing();
    void tooManyShownSendsNothing();
};

void TestDeviceSettingsDlg::listShowsThePictures()
{
    DeviceFixture f;
    f.settings.m_device.m_bDemoString = true;
    CDeviceSettingsDlg dlg(f.settings.m_device, f.settings.m_port, f.prompt);
    QTableWidget* list = dlg.m_pList;
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Название изображения"));
    QCOMPARE(list->horizontalHeaderItem(3)->text(), QStringLiteral("Время"));
    QCOMPARE(list->width(), 440);
    QCOMPARE(list->columnWidth(0), 220);
    for (int column = 1; column < 4; ++column)
        QCOMPARE(list->columnWidth(column), 72);
    QCOMPARE(list->rowCount(), 6);
    QCOMPARE(RowText(list, 2), QStringLiteral("P3|Нет|3|7"));
    QVERIFY(list->showGrid());
    QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 0);
    const auto fields = [&dlg] {
        return QStringList{dlg.m_pName->text(), dlg.m_pUse->currentText(), dlg.m_pOrder->text(),
                           dlg.m_pDuration->text()};
    };
    QCOMPARE(fields(), QStringList({"P1", "Да", "1", "5"}));
    QVERIFY(dlg.m_pDemoString->isChecked());
    QVERIFY(!dlg.m_pGreeting->isChecked());
    QVERIFY(dlg.m_pApplyChanges->isDefault());
    dlg.m_pList->setCurrentCell(4, 0);
    QCOMPARE(dlg.m_nCurrent, 4);
    QCOMPARE(fields(), QStringList({"P5", "Да", "5", "9"}));
}

void TestDeviceSettingsDlg::emptyListShowsNoPicture()
{
    DeviceFixture f;
    f.SetPictures({});
    CDeviceSettingsDlg dlg(f.settings.m_device, f.settings.m_port, f.prompt);
    QCOMPARE(dlg.m_pList->rowCount(), 0);
    QCOMPARE(dlg.m_pUse->currentIndex(), -1);
    QCOMPARE(dlg.m_pUse->currentText(), QString());
    QCOMPARE(dlg.m_pName->text(), QString());
    QCOMPARE(dlg.m_pOrder->text(), QString());
    QCOMPARE(dlg.m_pDuration->text(), QString());
    // Choosing from the list stays possible; it still names no picture to change.
    QCOMPARE(dlg.m_pUse->count(), 2);
    QCOMPARE(dlg.m_pUse->itemText(0), QStringLiteral("Да"));
}

void TestDeviceSettingsDlg::orderNumberSwaps()
{
    DeviceFixture f;
    CDeviceSettingsDlg dlg(f.settings.m_device, f.settings.m_port, f.prompt);
    Edit(&dlg, 3, "Нет", "1", "42");
    QVERIFY(f.prompt.texts.isEmpty());
    QCOMPARE(Describe(dlg.m_pPictures),
             QStringLiteral("P4:0:3:42 P2:1:1:6 P3:0:2:7 P1:1:0:5 P5:1:4:9 P6:0:5:10"));
    QCOMPARE(dlg.m_nCurrent, 0);
    QCOMPARE(RowText(dlg.m_pList, 0), QStringLiteral("P4|Нет|1|42"));
    QCOMPARE(RowText(dlg.m_pList, 3), QStringLiteral("P1|Да|4|5"));
    QCOMPARE(f.settings.m_device.m_pPictures[0].strName, QStringLiteral("P1")); // not yet stored
}

void TestDeviceSettingsDlg::refusesEdit_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("message");
    const QString duration =
        QStringLiteral("Недопустимое значение длительности показа изображения");
    QTest::newRow("order 0") << 6 << "0" << QString("9") << kBadOrder;
    QTest::newRow("order 7 of 6") << 6 << "7" << QString("9") << kBadOrder;
    QTest::newRow("order text") << 6 << "abc" << QString("9") << kBadOrder;
    QTest::newRow("order empty") << 6 << "" << QString("9") << kBadOrder;
    QTest::newRow("order and bad duration") << 6 << "0" << QString("999") << kBadOrder;
    QTest::newRow("empty list, order 1") << 0 << "1" << QString("5") << kBadOrder;
    QTest::newRow("duration 256") << 6 << "2" << QString("256") << duration;
    QTest::newRow("duration negative") << 6 << "2" << QString("-1") << duration;
    QTest::newRow("duration text") << 6 << "2" << QString("five") << duration;
    QTest::newRow("duration empty") << 6 << "2" << QString("") << duration;
}

void TestDeviceSettingsDlg::refusesEdit()
{
    QFETCH(int, pictures);
    QFETCH(QString, order);
    QFETCH(QString, duration);
    QFETCH(QString, message);
    DeviceFixture f;
    if (pictures == 0)
        f.SetPictures({});
    CDeviceSettingsDlg dlg(f.settings.m_device, f.settings.m_port, f.prompt);
    QCOMPARE(dlg.m_pName->text().isEmpty(), pictures == 0);
    const QString before = Describe(dlg.m_pPictures);
    Edit(&dlg, 1, "Нет", order, duration);
    QCOMPARE(f.prompt.texts, QStringList{message});
    QCOMPARE(Describe(dlg.m_pPictures), before);
    if (pictures > 0) {
        QCOMPARE(dlg.m_nCurrent, 1);
        QCOMPARE(dlg.m_pList->item(1, 1)->text(), QStringLiteral("Да"));
    }
}

void TestDeviceSettingsDlg::clickBelowRowsKeepsCurrent()
{
    DeviceFixture f;
    CDeviceSettingsDlg dlg(f.settings.m_device, f.settings.m_port, f.prompt);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QWidget* viewport = dlg.m_pList->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {},
                      dlg.m_pList->visualItemRect(dlg.m_pList->item(2, 0)).center());
    QCOMPARE(dlg.m_nCurrent, 2);
    const QRect last = dlg.m_pList->visualItemRect(dlg.m_pList->item(5, 0));
    QVERIFY(last.bottom() + 10 < viewport->height());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 10));
    QCOMPARE(dlg.m_nCurrent, 2);
    QCOMPARE(dlg.m_pName->text(), QStringLiteral("P3"));
}

void TestDeviceSettingsDlg::transferSendsFramesAndStores_data()
{
    QTest::addColumn<QList<Picture>>("pictures");
    QTest::addColumn<QList<bool>>("checks"); // greeting, demo string, demo pictures
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("two shown around a hidden one")
        << QList<Picture>{{true, 3, 5}, {false, 7, 8}, {true, 1, 10}}
        << QList<bool>{true, false, true} << Hex("00 05 01 05 03 0A 01 00");
    QTest::newRow("none shown") << QList<Picture>{{false, 3, 5}, {false, 1, 10}}
                                << QList<bool>{false, true, false} << Hex("00 02 01 00");
    QTest::newRow("empty list, all flags")
        << QList<Picture>{} << QList<bool>{true, true, true} << Hex("00 07 01 00");
    QTest::newRow("stored duration 300 goes as its low byte")
        << QList<Picture>{{true, 2, 300}} << QList<bool>{false, false, false}
        << Hex("00 00 01 2C 02 00");
}

void TestDeviceSettingsDlg::transferSendsFramesAndStores()
{
    QFETCH(QList<Picture>, pictures);
    QFETCH(QList<bool>, checks);
    QFETCH(QByteArray, wire);
    DeviceFixture f;
    QVERIFY(f.UsePty());
    f.SetPictures(pictures);
    WhenModal<CDeviceSettingsDlg>([checks](CDeviceSettingsDlg* dlg) {
        dlg->m_pGreeting->setChecked(checks[0]);
        dlg->m_pDemoString->setChecked(checks[1]);
        dlg->m_pDemoPictures->setChecked(checks[2]);
        Click(dlg, "okButton");
    });
    f.Run();
    QCOMPARE(f.wire, wire);
    QCOMPARE(f.waits, QList<int>({3000, 1000}));
    QCOMPARE(f.prompt.texts, QStringList{"Настройки успешно переданы в устройство!"});
    const DeviceServiceSettings& device = f.settings.m_device;
    QCOMPARE(QList<bool>({device.m_bGreeting, device.m_bDemoString, device.m_bDemoPictures}),
             checks);
    QCOMPARE(device.m_strGreeting, checks[0] ? QStringLiteral("Да") : QStringLiteral("Нет"));
    QVERIFY(f.PortFree());
}

void TestDeviceSettingsDlg::failedTransferStoresNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("stalled"); // the device takes nothing in: the write times out
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<int>>("waits");
    QTest::newRow("port missing") << "okButton" << false
                                  << QStringList{"Не удается открыть порт. Проверьте настройки "
                                                 "последовательного порта."}
                                  << QList<int>();
    QTest::newRow("flags frame not written")
        << "okButton" << true << QStringList{"Не удается передать настройки в устройство."}
        << QList<int>{3000};
    QTest::newRow("cancel") << "cancelButton" << false << QStringList() << QList<int>();
}

void TestDeviceSettingsDlg::failedTransferStoresNothing()
{
    if (!PtyPair::kCanHoldOutput)
        QSKIP("the line cannot be held here");
    QFETCH(QString, button);
    QFETCH(bool, stalled);
    QFETCH(QStringList, messages);
    QFETCH(QList<int>, waits);
    DeviceFixture f;
    if (stalled) {
        QVERIFY(f.UsePty());
        f.pty->SuspendSlaveOutput();
    } else {
        f.UsePort(f.dir.filePath(QStringLiteral("no-such-port")));
    }
    const QString before = f.Stored();
    const QString times = f.settings.m_device.m_strTimes;
    WhenModal<CDeviceSettingsDlg>([button](CDeviceSettingsDlg* dlg) {
        Edit(dlg, 3, "Нет", "1", "42");
        dlg->m_pGreeting->setChecked(true);
        Click(dlg, qPrintable(button));
    });
    f.Run();
    QCOMPARE(f.prompt.texts, messages);
    // Only a port that would not open says why, in the box's details.
    QCOMPARE(f.prompt.details.size(), stalled || button == "cancelButton" ? 0 : 1);
    QCOMPARE(f.waits, waits);
    QCOMPARE(f.Stored(), before);
    QCOMPARE(f.settings.m_device.m_strTimes, times);
    QVERIFY(!f.settings.m_device.m_bGreeting);
}

void TestDeviceSettingsDlg::tooManyShownSendsNothing()
{
    DeviceFixture f;
    QVERIFY(f.UsePty());
    f.SetPictures(QList<Picture>(128, Picture{true, 1, 1}));
    bool stayedOpen = false;
    WhenModal<CDeviceSettingsDlg>([&stayedOpen](CDeviceSettingsDlg* dlg) {
        Click(dlg, "okButton");
        stayedOpen = dlg->isVisible();
        // One picture fewer fits the frame.
        Edit(dlg, 0, "Нет", "1", "1");
        Click(dlg, "okButton");
    });
    f.Run();
    QVERIFY(stayedOpen);
    QCOMPARE(f.prompt.texts,
             QStringList({"Устройство может показывать не более 127 изображений. Отключите показ "
                          "лишних изображений.",
                          "Настройки успешно переданы в устройство!"}));
    QCOMPARE(f.wire.size(), 2 + 2 * 127 + 2);
    QVERIFY(!f.settings.m_device.m_pPictures[0].bShown);
}

QTEST_MAIN(TestDeviceSettingsDlg)
#include "tst_devicesettingsdlg.moc"
