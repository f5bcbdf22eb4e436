#include "device/devicesettingsdlg.h"
#include "device/serialport.h"
#include "fakeprompt.h"
#include "ptypair.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

struct Picture {
    bool shown;
    int number;
    int duration;
};

std::vector<PictureEntry> MakePictures(const QList<Picture>& pictures)
{
    std::vector<PictureEntry> entries;
    for (const Picture& p : pictures) {
        PictureEntry entry;
        entry.Set(p.shown, QStringLiteral("P%1").arg(entries.size() + 1), p.number, p.duration);
        entries.push_back(entry);
    }
    return entries;
}

QString Describe(const std::vector<PictureEntry>& pictures)
{
    QStringList parts;
    for (const PictureEntry& p : pictures)
        parts << QStringLiteral("%1:%2:%3:%4")
                     .arg(p.strName)
                     .arg(p.bShown ? 1 : 0)
                     .arg(p.nNumber)
                     .arg(p.nDuration);
    return parts.join(QLatin1Char(' '));
}

void WhenModal(std::function<void(CDeviceSettingsDlg*)> step)
{
    QTimer::singleShot(0, [step] {
        auto* dlg = qobject_cast<CDeviceSettingsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        step(dlg);
    });
}

void Click(QDialog* dlg, const char* name)
{
    dlg->findChild<QPushButton*>(QString::fromLatin1(name))->click();
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

} // namespace

class TestDeviceSettingsDlg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void listShowsThePictures();
    void orderNumberSwaps();
    void refusesEdit_data();
    void refusesEdit();
    void clickBelowRowsKeepsCurrent();
    void emptyListRefusesEveryOrder();
    void transferSendsFramesAndStores_data();
    void transferSendsFramesAndStores();
    void failedTransferStoresNothing();
    void tooManyShownSendsNothing();
    void cancelStoresNothing();

private:
    void SetPictures(const QList<Picture>& pictures);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePrompt> m_prompt;
    std::unique_ptr<AppSettings> m_settings;
    QList<int> m_waits;
    // While a frame's wait runs, the device side takes in what arrived: the next write purges
    // whatever is still pending.
    PtyPair* m_pty = nullptr;
    QByteArray m_wire;
};

void TestDeviceSettingsDlg::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompt = std::make_unique<FakePrompt>();
    m_settings = std::make_unique<AppSettings>(*m_prompt, m_dir->path());
    m_prompt->texts.clear();
    m_waits.clear();
    m_pty = nullptr;
    m_wire.clear();
    CDeviceSettingsDlg::SetWaitFunction([this](int ms) {
        m_waits << ms;
        if (m_pty)
            m_wire += m_pty->ReadAll();
    });
    SetPictures(
        {{true, 0, 5}, {true, 1, 6}, {false, 2, 7}, {true, 3, 8}, {true, 4, 9}, {false, 5, 10}});
}

void TestDeviceSettingsDlg::cleanup()
{
    CDeviceSettingsDlg::SetWaitFunction({});
    m_settings.reset();
    m_prompt.reset();
    m_dir.reset();
}

void TestDeviceSettingsDlg::SetPictures(const QList<Picture>& pictures)
{
    DeviceServiceSettings& device = m_settings->m_device;
    device.m_pPictures = MakePictures(pictures);
    device.m_nPictureCount = int(device.m_pPictures.size());
    device.m_bGreeting = device.m_bDemoPictures = device.m_bDemoString = false;
    m_settings->BuildPictureLists();
}

void TestDeviceSettingsDlg::listShowsThePictures()
{
    m_settings->m_device.m_bDemoString = true;
    CDeviceSettingsDlg dlg(m_settings->m_device, m_settings->m_port, *m_prompt);
    QTableWidget* list = dlg.m_pList;
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("Название изображения"));
    QCOMPARE(list->horizontalHeaderItem(3)->text(), QStringLiteral("Время"));
    const int half = list->width() / 2;
    QCOMPARE(list->columnWidth(0), half);
    QCOMPARE(list->columnWidth(2), half / 3 - 1);
    QCOMPARE(list->rowCount(), 6);
    QCOMPARE(list->item(2, 0)->text(), QStringLiteral("P3"));
    QCOMPARE(list->item(2, 1)->text(), QStringLiteral("Нет"));
    QCOMPARE(list->item(2, 2)->text(), QStringLiteral("3"));
    QCOMPARE(list->item(2, 3)->text(), QStringLiteral("7"));
    QVERIFY(list->showGrid());
    QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(dlg.m_pName->text(), QStringLiteral("P1"));
    QCOMPARE(dlg.m_pUse->currentText(), QStringLiteral("Да"));
    QCOMPARE(dlg.m_pOrder->text(), QStringLiteral("1"));
    QCOMPARE(dlg.m_pDuration->text(), QStringLiteral("5"));
    QVERIFY(dlg.m_pDemoString->isChecked());
    QVERIFY(!dlg.m_pGreeting->isChecked());
    QVERIFY(dlg.m_pApplyChanges->isDefault());
    dlg.m_pList->setCurrentCell(4, 0);
    QCOMPARE(dlg.m_nCurrent, 4);
    QCOMPARE(dlg.m_pName->text(), QStringLiteral("P5"));
    QCOMPARE(dlg.m_pOrder->text(), QStringLiteral("5"));
}

void TestDeviceSettingsDlg::orderNumberSwaps()
{
    CDeviceSettingsDlg dlg(m_settings->m_device, m_settings->m_port, *m_prompt);
    Edit(&dlg, 3, QStringLiteral("Нет"), QStringLiteral("1"), QStringLiteral("42"));
    QVERIFY(m_prompt->texts.isEmpty());
    QCOMPARE(Describe(dlg.m_pPictures),
             QStringLiteral("P4:0:3:42 P2:1:1:6 P3:0:2:7 P1:1:0:5 P5:1:4:9 P6:0:5:10"));
    QCOMPARE(dlg.m_nCurrent, 0);
    QCOMPARE(dlg.m_pList->item(0, 0)->text(), QStringLiteral("P4"));
    QCOMPARE(dlg.m_pList->item(0, 1)->text(), QStringLiteral("Нет"));
    QCOMPARE(dlg.m_pList->item(0, 2)->text(), QStringLiteral("1"));
    QCOMPARE(dlg.m_pList->item(0, 3)->text(), QStringLiteral("42"));
    QCOMPARE(dlg.m_pList->item(3, 0)->text(), QStringLiteral("P1"));
    QCOMPARE(dlg.m_pList->item(3, 2)->text(), QStringLiteral("4"));
    // The settings stay untouched until a transfer succeeds.
    QCOMPARE(m_settings->m_device.m_pPictures[0].strName, QStringLiteral("P1"));
}

void TestDeviceSettingsDlg::refusesEdit_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("message");
    const QString order = CDeviceSettingsDlg::kBadOrder;
    const QString duration = CDeviceSettingsDlg::kBadDuration;
    QTest::newRow("order 0") << "0"
                             << "9" << order;
    QTest::newRow("order 7 of 6") << "7"
                                  << "9" << order;
    QTest::newRow("order text") << "abc"
                                << "9" << order;
    QTest::newRow("order empty") << ""
                                 << "9" << order;
    QTest::newRow("order and bad duration") << "0"
                                            << "999" << order;
    QTest::newRow("duration 256") << "2"
                                  << "256" << duration;
    QTest::newRow("duration negative") << "2"
                                       << "-1" << duration;
    QTest::newRow("duration text") << "2"
                                   << "five" << duration;
    QTest::newRow("duration empty") << "2"
                                    << "" << duration;
}

void TestDeviceSettingsDlg::refusesEdit()
{
    QFETCH(QString, order);
    QFETCH(QString, duration);
    QFETCH(QString, message);
    CDeviceSettingsDlg dlg(m_settings->m_device, m_settings->m_port, *m_prompt);
    const QString before = Describe(dlg.m_pPictures);
    Edit(&dlg, 1, QStringLiteral("Нет"), order, duration);
    QCOMPARE(m_prompt->texts, QStringList{message});
    QCOMPARE(Describe(dlg.m_pPictures), before);
    QCOMPARE(dlg.m_nCurrent, 1);
    QCOMPARE(dlg.m_pList->item(1, 1)->text(), QStringLiteral("Да"));
}

void TestDeviceSettingsDlg::clickBelowRowsKeepsCurrent()
{
    CDeviceSettingsDlg dlg(m_settings->m_device, m_settings->m_port, *m_prompt);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QWidget* viewport = dlg.m_pList->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {},
                      dlg.m_pList->visualItemRect(dlg.m_pList->item(2, 0)).center());
    QCOMPARE(dlg.m_nCurrent, 2);
    QCOMPARE(dlg.m_pName->text(), QStringLiteral("P3"));
    const QRect last = dlg.m_pList->visualItemRect(dlg.m_pList->item(5, 0));
    QVERIFY(last.bottom() + 10 < viewport->height());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 10));
    QCOMPARE(dlg.m_nCurrent, 2);
    QCOMPARE(dlg.m_pName->text(), QStringLiteral("P3"));
}

void TestDeviceSettingsDlg::emptyListRefusesEveryOrder()
{
    SetPictures({});
    CDeviceSettingsDlg dlg(m_settings->m_device, m_settings->m_port, *m_prompt);
    QVERIFY(dlg.m_pName->text().isEmpty());
    QVERIFY(dlg.m_pOrder->text().isEmpty());
    dlg.m_pOrder->setText(QStringLiteral("1"));
    dlg.m_pDuration->setText(QStringLiteral("5"));
    dlg.m_pApplyChanges->click();
    QCOMPARE(m_prompt->texts, QStringList{CDeviceSettingsDlg::kBadOrder});
}

void TestDeviceSettingsDlg::transferSendsFramesAndStores_data()
{
    QTest::addColumn<QList<Picture>>("pictures");
    QTest::addColumn<QList<bool>>("checks"); // greeting, demo string, demo pictures
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("two shown around a hidden one")
        << QList<Picture>{{true, 3, 5}, {false, 7, 8}, {true, 1, 10}}
        << QList<bool>{true, false, true} << QByteArray("\x00\x05\x01\x05\x03\x0A\x01\x00", 8);
    QTest::newRow("none shown") << QList<Picture>{{false, 3, 5}, {false, 1, 10}}
                                << QList<bool>{false, true, false}
                                << QByteArray("\x00\x02\x01\x00", 4);
    QTest::newRow("empty list, all flags")
        << QList<Picture>{} << QList<bool>{true, true, true} << QByteArray("\x00\x07\x01\x00", 4);
    QTest::newRow("stored duration 300 goes as its low byte")
        << QList<Picture>{{true, 2, 300}} << QList<bool>{false, false, false}
        << QByteArray("\x00\x00\x01\x2C\x02\x00", 6);
}

void TestDeviceSettingsDlg::transferSendsFramesAndStores()
{
    QFETCH(QList<Picture>, pictures);
    QFETCH(QList<bool>, checks);
    QFETCH(QByteArray, wire);
    PtyPair pty;
    QVERIFY(pty.IsValid());
    m_pty = &pty;
    PortConfig config = m_settings->m_port.GetConfig();
    config.portName = pty.SlaveName();
    m_settings->m_port.SetConfig(config);
    SetPictures(pictures);
    WhenModal([checks](CDeviceSettingsDlg* dlg) {
        dlg->m_pGreeting->setChecked(checks[0]);
        dlg->m_pDemoString->setChecked(checks[1]);
        dlg->m_pDemoPictures->setChecked(checks[2]);
        Click(dlg, "okButton");
    });
    CDeviceSettingsDlg::OnDeviceSettings(nullptr, *m_settings, *m_prompt);
    QCOMPARE(m_wire, wire);
    QCOMPARE(m_waits, (QList<int>{3000, 1000}));
    QCOMPARE(m_prompt->texts, QStringList{CDeviceSettingsDlg::kSent});
    const DeviceServiceSettings& device = m_settings->m_device;
    QCOMPARE(device.m_bGreeting, checks[0]);
    QCOMPARE(device.m_bDemoString, checks[1]);
    QCOMPARE(device.m_bDemoPictures, checks[2]);
    QCOMPARE(device.m_strGreeting, checks[0] ? QStringLiteral("Да") : QStringLiteral("Нет"));
    QVERIFY(!m_settings->m_port.IsOpen());
}

void TestDeviceSettingsDlg::failedTransferStoresNothing()
{
    PortConfig config = m_settings->m_port.GetConfig();
    config.portName = m_dir->filePath(QStringLiteral("no-such-port"));
    m_settings->m_port.SetConfig(config);
    const QString before = Describe(m_settings->m_device.m_pPictures);
    const QString times = m_settings->m_device.m_strTimes;
    WhenModal([](CDeviceSettingsDlg* dlg) {
        Edit(dlg, 3, QStringLiteral("Нет"), QStringLiteral("1"), QStringLiteral("42"));
        dlg->m_pGreeting->setChecked(true);
        Click(dlg, "okButton");
    });
    CDeviceSettingsDlg::OnDeviceSettings(nullptr, *m_settings, *m_prompt);
    QCOMPARE(m_prompt->texts, QStringList{CDeviceSettingsDlg::kCannotOpen});
    QVERIFY(m_waits.isEmpty());
    QCOMPARE(Describe(m_settings->m_device.m_pPictures), before);
    QCOMPARE(m_settings->m_device.m_strTimes, times);
    QVERIFY(!m_settings->m_device.m_bGreeting);
}

void TestDeviceSettingsDlg::tooManyShownSendsNothing()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    m_pty = &pty;
    PortConfig config = m_settings->m_port.GetConfig();
    config.portName = pty.SlaveName();
    m_settings->m_port.SetConfig(config);
    SetPictures(QList<Picture>(128, Picture{true, 1, 1}));
    bool stayedOpen = false;
    WhenModal([&stayedOpen](CDeviceSettingsDlg* dlg) {
        Click(dlg, "okButton");
        stayedOpen = dlg->isVisible();
        // One picture fewer fits the frame.
        Edit(dlg, 0, QStringLiteral("Нет"), QStringLiteral("1"), QStringLiteral("1"));
        Click(dlg, "okButton");
    });
    CDeviceSettingsDlg::OnDeviceSettings(nullptr, *m_settings, *m_prompt);
    QVERIFY(stayedOpen);
    QCOMPARE(m_prompt->texts,
             (QStringList{CDeviceSettingsDlg::kTooManyShown, CDeviceSettingsDlg::kSent}));
    QCOMPARE(m_wire.size(), 2 + 2 * 127 + 2);
    QVERIFY(!m_settings->m_device.m_pPictures[0].bShown);
}

void TestDeviceSettingsDlg::cancelStoresNothing()
{
    const QString before = Describe(m_settings->m_device.m_pPictures);
    WhenModal([](CDeviceSettingsDlg* dlg) {
        Edit(dlg, 3, QStringLiteral("Нет"), QStringLiteral("1"), QStringLiteral("42"));
        Click(dlg, "cancelButton");
    });
    CDeviceSettingsDlg::OnDeviceSettings(nullptr, *m_settings, *m_prompt);
    QVERIFY(m_prompt->texts.isEmpty());
    QCOMPARE(Describe(m_settings->m_device.m_pPictures), before);
}

QTEST_MAIN(TestDeviceSettingsDlg)
#include "tst_devicesettingsdlg.moc"
