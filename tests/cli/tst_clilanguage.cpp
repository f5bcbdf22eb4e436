#include "clifixture.h"

#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <optional>

// The language of a run: "--lang", else the user profile's choice, else Russian, whatever the
// system locale; only the words change, never the statuses or the lines scripts read.
class TestCliLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_cli.emplace().IsValid()); }
    void wordsFollowTheChoice_data();
    void wordsFollowTheChoice();
    void scriptLinesStayTheSame();

private:
    CliResult Run(const QStringList& args, const QString& locale = QStringLiteral("C.UTF-8"));
    std::optional<CliProgram> m_cli;
};

CliResult TestCliLanguage::Run(const QStringList& args, const QString& locale)
{
    QProcess process;
    m_cli->Prepare(process);
    QProcessEnvironment env = process.processEnvironment();
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANGUAGE"), locale.section(u'.', 0, 0));
    process.setProcessEnvironment(env);
    process.start(m_cli->Program(), args);
    CliResult result;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Each row: the profile's choice (empty: none), the locale, the arguments, the status and the
// start of what the run wrote (stdout, else stderr).
void TestCliLanguage::wordsFollowTheChoice_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("start");
    const QString de = QStringLiteral("de_DE.UTF-8");
    const QString us = QStringLiteral("en_US.UTF-8");
    const QStringList sendMissing{"send", "missing.tvd", "--port", "ttyS0", "--baud", "1200"};
    QTest::newRow("--lang en --help") << "" << de << QStringList{"--lang", "en", "--help"} << 0
                                      << "Usage:\n  tavrix-editor [FILE.tvd]";
    QTest::newRow("--help --lang=en")
        << "" << de << QStringList{"--help", "--lang=en"} << 0 << "Usage:";
    QTest::newRow("German locale") << "" << de << QStringList{"--help"} << 0 << "Использование:";
    QTest::newRow("English locale") << "" << us << QStringList{"--help"} << 0 << "Использование:";
    QTest::newRow("profile en") << "en" << de << QStringList{"--help"} << 0 << "Usage:";
    QTest::newRow("--lang ru over profile en")
        << "en" << us << QStringList{"--lang", "ru", "--help"} << 0 << "Использование:";
    QTest::newRow("send, English error")
        << "" << de << QStringList{"--lang", "en"} + sendMissing << 3
        << "tavrix-editor: Cannot open the file “missing.tvd”: no such file.";
    QTest::newRow("send, Russian error")
        << "" << us << sendMissing << 3
        << "tavrix-editor: Не удается открыть файл «missing.tvd»: файла нет.";
    QTest::newRow("unknown language") << "" << us << QStringList{"--lang", "de", "--help"} << 2
                                      << "tavrix-editor: неизвестный язык «de»: ru или en.";
    QTest::newRow("unknown language, English profile")
        << "en" << us << QStringList{"--lang"} << 2
        << "tavrix-editor: unknown language “”: ru or en.";
}

void TestCliLanguage::wordsFollowTheChoice()
{
    QFETCH(QString, stored);
    QFETCH(QString, locale);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, start);
#ifdef _WIN32
    // There the profile is in the registry, which the program the test runs shares with it.
    QSettings profile(QStringLiteral("Local AppWizard-Generated Applications"),
                      QStringLiteral("Tavrix Editor"));
    profile.clear();
    if (!stored.isEmpty())
        profile.setValue(QStringLiteral("Interface/Language"), stored);
    profile.sync();
    // Nor does the choice outlive the row, for the tests that run later on this machine.
    const auto forget = qScopeGuard([&profile] {
        profile.clear();
        profile.sync();
    });
#else
    if (!stored.isEmpty()) {
        const QString profile = QDir::cleanPath(m_cli->ConfigPath(
            QStringLiteral("../Local AppWizard-Generated Applications/Tavrix Editor.conf")));
        QVERIFY(QDir().mkpath(QFileInfo(profile).absolutePath()));
        QVERIFY(WriteFileBytes(profile, "[Interface]\nLanguage=" + stored.toUtf8() + "\n"));
    }
#endif
    const CliResult result = Run(args, locale);
    const QString text = QString::fromUtf8(result.out.isEmpty() ? result.err : result.out);
    QVERIFY2(text.startsWith(start), qPrintable(text));
    QCOMPARE(result.exitCode, exitCode);
}

// The per-display lines and the list of displays are the same bytes in both languages; the
// summary and the skipped entry on stderr are words for the operator.
void TestCliLanguage::scriptLinesStayTheSame()
{
    m_cli->WriteFile(QStringLiteral("list.ini"), "[Касса]\nport = /dev/tavrix-none\n\n[Зал]\n");
    const QStringList send{"send", "--text", "A", "--all", "--displays", "list.ini"};
    const QStringList list{"displays", "--displays", "list.ini"};
    const CliResult ruSend = Run(QStringList{"--lang", "ru"} + send);
    const CliResult enSend = Run(QStringList{"--lang", "en"} + send);
    const QByteArray line = "Касса\t/dev/tavrix-none\tНе удается открыть последовательный порт. ";
    QVERIFY2(ruSend.out.startsWith(line), ruSend.out.constData());
    QVERIFY2(enSend.out.startsWith(line), enSend.out.constData());
    const QList<QByteArray> ruLines = ruSend.out.split('\n');
    const QList<QByteArray> enLines = enSend.out.split('\n');
    QCOMPARE(ruLines.size(), 3);
    QCOMPARE(enLines.size(), 3);
    QCOMPARE(ruLines[0], enLines[0]);
    // The broken entry counts as a display skipped.
    QCOMPARE(ruLines[1], QByteArray("Передано на 0 из 2 табло. Пропущено записанных в списке с "
                                    "ошибкой: 1."));
    QCOMPARE(enLines[1], QByteArray("Sent to 0 of 2 displays. Skipped as written with a fault in "
                                    "the list: 1."));
    QCOMPARE(enSend.exitCode, 4);
    QCOMPARE(ruSend.exitCode, 4);
    QVERIFY2(enSend.err.contains("display “Зал” skipped"), enSend.err.constData());

    const CliResult ruList = Run(QStringList{"--lang", "ru"} + list);
    const CliResult enList = Run(QStringList{"--lang", "en"} + list);
    QCOMPARE(enList.out, QByteArray("Касса\t/dev/tavrix-none\t1200\n"));
    QCOMPARE(ruList.out, enList.out);
    QCOMPARE(ruList.exitCode, enList.exitCode);
}

QTEST_GUILESS_MAIN(TestCliLanguage)
#include "tst_clilanguage.moc"
