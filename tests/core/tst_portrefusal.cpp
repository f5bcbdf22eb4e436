#include "device/portrefusal.h"
#include "device/serialport.h"
#include "ptypair.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>

namespace
{

const QString kDialoutHint =
    QStringLiteral("Нет прав на доступ к устройству /dev/ttyUSB0. Оно принадлежит группе dialout: "
                   "добавьте себя в эту группу командой\n\nsudo usermod -aG dialout $USER\n\n"
                   "и войдите в систему заново.");

// The program's part of the details, without the system's own words that may follow.
QString OwnWords(const QString& details)
{
    return details.section(QStringLiteral("\n\nСообщение системы: "), 0, 0);
}

bool Refused(CSerialPort& port, const QString& device)
{
    PortConfig config;
    config.portName = device;
    port.SetConfig(config);
    return !port.Open();
}

// Set for the child that opens the device as another user; the group it should be told.
const char kDeniedDeviceVariable[] = "TAVRIX_TEST_DENIED_DEVICE";
const char kDeniedGroupVariable[] = "TAVRIX_TEST_DENIED_GROUP";

} // namespace

Q_DECLARE_METATYPE(CPortRefusal::Kind)

class TestPortRefusal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data();
    void texts();
    void details_data();
    void details();
    void missingDevice();
    void busyDevice();
    void lineSettingsRefused();
    void permissionDenied();
};

void TestPortRefusal::texts_data()
{
    QTest::addColumn<CPortRefusal::Kind>("kind");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("systemText");
    QTest::addColumn<QString>("expected");
    using K = CPortRefusal::Kind;

    QTest::newRow("no such device")
        << K::NoDevice << QString() << "No such file or directory"
        << "Устройства /dev/ttyUSB0 нет в системе. Проверьте, подключен ли адаптер, и выберите "
           "порт в окне «Настройки COM порта».\n\nСообщение системы: No such file or directory";
    QTest::newRow("permission denied: the device's group named")
        << K::PermissionDenied << "dialout" << QString() << kDialoutHint;
    QTest::newRow("permission denied: another group")
        << K::PermissionDenied << "uucp"
        << "Permission denied"
        << "Нет прав на доступ к устройству /dev/ttyUSB0. Оно принадлежит группе uucp: добавьте "
           "себя в эту группу командой\n\nsudo usermod -aG uucp $USER\n\nи войдите в систему "
           "заново.\n\nСообщение системы: Permission denied";
    QTest::newRow("permission denied: root's device, no group to join")
        << K::PermissionDenied << "root" << QString()
        << "Нет прав на доступ к устройству /dev/ttyUSB0. Попросите администратора дать вам "
           "доступ к нему.";
    QTest::newRow("permission denied: group unknown")
        << K::PermissionDenied << QString() << QString()
        << "Нет прав на доступ к устройству /dev/ttyUSB0. Попросите администратора дать вам "
           "доступ к нему.";
    QTest::newRow("busy: the system's words add nothing")
        << K::Busy << "dialout"
        << "Resource temporarily unavailable"
        << "Порт /dev/ttyUSB0 занят другой программой (или другой копией Tavrix Editor). "
           "Закройте ее и повторите.";
    QTest::newRow("line settings refused")
        << K::LineSettings << "dialout" << QString()
        << "Порт /dev/ttyUSB0 открылся, но система не принимает его настройки (скорость, число "
           "битов данных или стоповых битов). Выберите другие в окне «Настройки COM порта».";
    QTest::newRow("anything else") << K::Other << "dialout"
                                   << "Input/output error"
                                   << "Система не дает открыть порт /dev/ttyUSB0.\n\nСообщение "
                                      "системы: Input/output error";
}

void TestPortRefusal::texts()
{
    QFETCH(CPortRefusal::Kind, kind);
    QFETCH(QString, group);
    QFETCH(QString, systemText);
    QFETCH(QString, expected);
    QCOMPARE(CPortRefusal::Text(kind, QStringLiteral("/dev/ttyUSB0"), group, systemText), expected);
}

// Each row: a refusal as the port records it, and the advice: the kind alone decides it, whatever
// the port's words read like.
void TestPortRefusal::details_data()
{
    QTest::addColumn<OpenRefusal>("refusal");
    QTest::addColumn<QString>("expected");
    using K = CPortRefusal::Kind;
    QTest::newRow("line settings, the port's words in English")
        << OpenRefusal{K::LineSettings, "ttyUSB0", "Cannot configure the port."}
        << "Порт /dev/ttyUSB0 открылся, но система не принимает его настройки (скорость, число "
           "битов данных или стоповых битов). Выберите другие в окне «Настройки COM порта».";
    QTest::newRow("busy, in words meant for line settings")
        << OpenRefusal{K::Busy, "ttyUSB0", "Не удается настроить порт.", 0, EBUSY, "Busy"}
        << "Порт /dev/ttyUSB0 занят другой программой (или другой копией Tavrix Editor). Закройте "
           "ее и повторите.";
}

void TestPortRefusal::details()
{
    QFETCH(OpenRefusal, refusal);
    QTEST(CPortRefusal::Details(refusal), "expected");
}

void TestPortRefusal::missingDevice()
{
    CSerialPort port;
    QVERIFY(Refused(port, QStringLiteral("ttyTAVRIX9")));
    QCOMPARE(port.m_szLastError, QStringLiteral("Не удается открыть порт."));
    QCOMPARE(port.Refusal().kind, CPortRefusal::Kind::NoDevice);
    QCOMPARE(OwnWords(CPortRefusal::Details(port.Refusal())),
             QStringLiteral("Устройства /dev/ttyTAVRIX9 нет в системе. Проверьте, подключен ли "
                            "адаптер, и выберите порт в окне «Настройки COM порта»."));
}

void TestPortRefusal::busyDevice()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort first;
    QVERIFY(!Refused(first, pty.SlaveName()));
    CSerialPort second;
    QVERIFY(Refused(second, pty.SlaveName()));
    QCOMPARE(second.Refusal().kind, CPortRefusal::Kind::Busy);
    QCOMPARE(CPortRefusal::Details(second.Refusal()),
             QStringLiteral("Порт %1 занят другой программой (или другой копией Tavrix Editor). "
                            "Закройте ее и повторите.")
                 .arg(pty.SlaveName()));
}

void TestPortRefusal::lineSettingsRefused()
{
    PtyPair pty;
    QVERIFY(pty.IsValid());
    CSerialPort port;
    port.SetConfig(PortConfig{pty.SlaveName(), 3, 0, 2, 1}); // four data bits
    QVERIFY(!port.Open());
    QCOMPARE(port.Refusal().kind, CPortRefusal::Kind::LineSettings);
}

// A device nobody may open, opened by a user who is not root (root may open anything). Run as
// root, the test gives the device to the group dialout and opens it from a child process that
// runs this test again as the user nobody.
void TestPortRefusal::permissionDenied()
{
    const QString childDevice = qEnvironmentVariable(kDeniedDeviceVariable);
    if (!childDevice.isEmpty()) {
        CSerialPort port;
        QVERIFY(Refused(port, childDevice));
        QCOMPARE(port.Refusal().kind, CPortRefusal::Kind::PermissionDenied);
        const QString group = qEnvironmentVariable(kDeniedGroupVariable);
        QCOMPARE(OwnWords(CPortRefusal::Details(port.Refusal())),
                 QStringLiteral("Нет прав на доступ к устройству %1. Оно принадлежит группе %2: "
                                "добавьте себя в эту группу командой\n\nsudo usermod -aG %2 "
                                "$USER\n\nи войдите в систему заново.")
                     .arg(childDevice, group));
        return;
    }

    PtyPair pty;
    QVERIFY(pty.IsValid());
    const QByteArray device = pty.SlaveName().toLocal8Bit();
    if (geteuid() != 0) {
        QCOMPARE(::chmod(device.constData(), 0), 0);
        CSerialPort port;
        QVERIFY(Refused(port, pty.SlaveName()));
        QCOMPARE(port.Refusal().kind, CPortRefusal::Kind::PermissionDenied);
        QVERIFY(
            CPortRefusal::Details(port.Refusal())
                .startsWith(
                    QStringLiteral("Нет прав на доступ к устройству %1.").arg(pty.SlaveName())));
        return;
    }

    const group* dialout = ::getgrnam("dialout");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (!dialout || setpriv.isEmpty())
        QSKIP("running as root without a dialout group or setpriv: no other user to open as");
    QCOMPARE(::chown(device.constData(), 0, dialout->gr_gid), 0);
    QCOMPARE(::chmod(device.constData(), 0), 0);

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kDeniedDeviceVariable), pty.SlaveName());
    environment.insert(QString::fromLatin1(kDeniedGroupVariable), QStringLiteral("dialout"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                          QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                          QStringLiteral("permissionDenied")});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    // The test executable must be reachable by nobody; a build inside a private home folder is
    // not, and then there is no one to test as.
    if (child.exitCode() == 126 || child.exitCode() == 127 ||
        output.contains("Permission denied") && !output.contains("Totals"))
        QSKIP(
            qPrintable("the user nobody cannot run this test: " + QString::fromLocal8Bit(output)));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             output.constData());
    QVERIFY2(output.contains("PASS   : TestPortRefusal::permissionDenied()"), output.constData());
}

QTEST_GUILESS_MAIN(TestPortRefusal)
#include "tst_portrefusal.moc"
