#include "fakeprompt.h"
#include "settings/appsettings.h"
#include "settings/cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <memory>

namespace
{

const QString kAskMissing =
    QStringLiteral("Не удается открыть или не был создан файл настроек программы. \n"
                   "Создать новый файл настроек с настройками по умолчанию?");
const QString kAskMalformed =
    QStringLiteral("Неправильный формат файла настроек программы. \n"
                   "Создать новый файл настроек с настройками по умолчанию?");
const QString kCannotCreate = QStringLiteral("Не удается \x63оздать файл настроек программы.");
const QString kNoPictureNames =
    QStringLiteral("Не удается прочесть список изображений устройства из файла инициализации.");

const QByteArray kYes = "\xC4\xE0"; // "Да" in Windows-1251

QByteArray DefaultIniBytes()
{
    const QByteArray stars(24, '*');
    const QByteArray images = "\xC7\xE5\xEC\xEB\xFF\t"
                              "\xCF\xEB\xE0\xEC\xFF\t"
                              "\xC3\xE5\xF0\xE1\t"
                              "\xD2\xF0\xE8\xE7\xF3\xE1\t"
                              "\xC2\xE5\xF2\xEA\xE0\t"
                              "\xC5\xEB\xEA\xE0";
    const QList<QByteArray> lines = {
        "//" + stars + " TAVRIX EDITOR INI FILE " + stars + "//",
        "COM:",
        "COM1 3 4 2 1",
        "ENDCOM",
        "MAXSYM:",
        "2048",
        "ENDMAXSYM",
        "FONTS:",
        "Arial Bold Decor Dos Elegant Italic Super Thin Times",
        "ENDFONTS",
        "IMAGES:",
        images,
        "ENDIMAGES",
        "USES:",
        QList<QByteArray>(6, kYes).join('\t'),
        "ENDUSES",
        "NUMBERS:",
        "0\t1\t2\t3\t4\t5",
        "ENDNUMBERS",
        "TIMES:",
        "5\t5\t5\t5\t5\t5",
        "ENDTIMES",
        "GREETING:",
        kYes,
        "ENDGREETING",
        "DEMOPIC:",
        kYes,
        "ENDDEMOPIC",
        "DEMOSTR:",
        kYes,
        "ENDDEMOSTR",
        "//" + stars + "  END OF INI FILE " + stars + "//",
    };
    return lines.join("\r\n");
}

QByteArray Section(const QByteArray& name, const QString& value)
{
    return name + ":\r\n" + Cp1251::FromUnicode(value) + "\r\nEND" + name + "\r\n";
}

// A settings file whose values differ from every default.
QList<QByteArray> CustomSections(const QString& com = QStringLiteral("COM3 5 3 1 4"),
                                 const QString& maxSym = QStringLiteral("4096"))
{
    return {
        Section("COM", com),
        Section("MAXSYM", maxSym),
        Section("FONTS", QStringLiteral("Жирный Тонкий")),
        Section("IMAGES", QStringLiteral("Кот\tПёс")),
        Section("USES", QStringLiteral("Да\tНет")),
        Section("NUMBERS", QStringLiteral("7\t9")),
        Section("TIMES", QStringLiteral("3\t4")),
        Section("GREETING", QStringLiteral("Нет")),
        Section("DEMOPIC", QStringLiteral("Да")),
        Section("DEMOSTR", QString()),
    };
}

const PortConfig kCustomPort{QStringLiteral("COM3"), 5, 3, 1, 4};

// The font library reports the missing font files of a bare temporary directory; those texts
// belong to another area.
QStringList SettingsTexts(const FakePrompt& prompt)
{
    QStringList texts;
    for (const QString& text : prompt.texts) {
        if (!text.startsWith(QStringLiteral("Не удается загрузить файлы шрифтов")) &&
            !text.startsWith(QStringLiteral("Не все файлы шрифтов")))
            texts << text;
    }
    return texts;
}

// One field of every picture entry, in list order.
template <typename T> QList<T> Field(const AppSettings& s, T PictureEntry::*field)
{
    QList<T> values;
    for (const PictureEntry& p : s.m_device.m_pPictures)
        values << p.*field;
    return values;
}

QStringList Names(const AppSettings& s)
{
    return Field(s, &PictureEntry::strName);
}
QList<bool> Shown(const AppSettings& s)
{
    return Field(s, &PictureEntry::bShown);
}
QList<int> Numbers(const AppSettings& s)
{
    return Field(s, &PictureEntry::nNumber);
}
QList<int> Durations(const AppSettings& s)
{
    return Field(s, &PictureEntry::nDuration);
}

QList<bool> Flags(const AppSettings& s)
{
    return {s.m_device.m_bGreeting, s.m_device.m_bDemoPictures, s.m_device.m_bDemoString};
}

} // namespace

char* toString(const PortConfig& c)
{
    return QTest::toString(QStringLiteral("%1 %2 %3 %4 %5")
                               .arg(c.portName)
                               .arg(c.baudIndex)
                               .arg(c.dataBitsIndex)
                               .arg(c.stopBitsIndex)
                               .arg(c.parityIndex));
}

class TestAppSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void firstRunYesWritesDefaultsAtOnce();
    void firstRunNoWritesAtExit();
    void readsSections_data();
    void readsSections();
    void readsLongValues();
    void malformedAppliesNothing_data();
    void malformedAppliesNothing();
    void backupIsMadeOnce();
    void portAndMaxSymValues_data();
    void portAndMaxSymValues();
    void cannotCreate_data();
    void cannotCreate();
    void cyrillicFontNamesSurviveRestart();

    void pictureLists_data();
    void pictureLists();
    void buildThenParseRoundTrip();
    void noPictureNames_data();
    void noPictureNames();
    void noPictureNamesAtStartUp();

private:
    QString IniPath() const { return m_dir->filePath(AppSettings::kIniFileName); }
    QString BakPath() const { return IniPath() + QStringLiteral(".bak"); }
    void WriteIni(const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& path) const;
    std::unique_ptr<AppSettings> Open(FakePrompt& prompt) const
    {
        return std::make_unique<AppSettings>(prompt, m_dir->path());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAppSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestAppSettings::WriteIni(const QByteArray& bytes) const
{
    QFile file(IniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TestAppSettings::ReadFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void TestAppSettings::firstRunYesWritesDefaultsAtOnce()
{
    FakePrompt prompt;
    prompt.answers = {true};
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMissing});
    QCOMPARE(settings->IniPath(), QFileInfo(IniPath()).absoluteFilePath());
    QCOMPARE(ReadFile(IniPath()), DefaultIniBytes());
    settings.reset();
    QCOMPARE(ReadFile(IniPath()), DefaultIniBytes());
    QVERIFY(!QFile::exists(BakPath()));
}

void TestAppSettings::firstRunNoWritesAtExit()
{
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMissing});
    QVERIFY(!QFile::exists(IniPath()));
    QCOMPARE(settings->m_nMaxSym, 2048);
    QCOMPARE(settings->m_strFontDir, QDir::toNativeSeparators(m_dir->path() + "/Fonts"));
    QCOMPARE(settings->m_port.GetConfig(), PortConfig());
    QCOMPARE(Names(*settings), QStringList({"Земля", "Пламя", "Герб", "Тризуб", "Ветка", "Елка"}));
    QCOMPARE(Flags(*settings), QList<bool>({true, true, true}));
    settings.reset();
    QCOMPARE(ReadFile(IniPath()), DefaultIniBytes());
}

void TestAppSettings::readsSections_data()
{
    QTest::addColumn<QByteArray>("file");

    const QList<QByteArray> sections = CustomSections();
    QList<QByteArray> reversed(sections.rbegin(), sections.rend());
    QTest::newRow("in order, with banners")
        << "//banner//\r\n" + sections.join() + "//  END OF INI FILE //";
    QTest::newRow("reverse order") << reversed.join();
    QTest::newRow("text between sections") << "junk" + sections.join("some notes\r\n") + "tail";
}

void TestAppSettings::readsSections()
{
    QFETCH(QByteArray, file);
    WriteIni(file);
    FakePrompt prompt;
    auto settings = Open(prompt);

    QCOMPARE(SettingsTexts(prompt), QStringList());
    QCOMPARE(settings->m_port.GetConfig(), kCustomPort);
    QCOMPARE(settings->m_nMaxSym, 4096);
    QCOMPARE(settings->m_strFontNames, QStringLiteral("Жирный Тонкий"));
    QCOMPARE(Names(*settings), QStringList({"Кот", "Пёс"}));
    QCOMPARE(Shown(*settings), QList<bool>({true, false}));
    QCOMPARE(Numbers(*settings), QList<int>({7, 9}));
    QCOMPARE(Durations(*settings), QList<int>({3, 4}));
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
    QCOMPARE(settings->m_device.m_strDemoStr, QString());
}

void TestAppSettings::readsLongValues()
{
    QStringList names;
    for (int i = 0; i < 2000; ++i)
        names << QStringLiteral("Шрифт%1").arg(i);
    const QString fonts = names.join(u' ');
    QList<QByteArray> sections = CustomSections();
    sections[2] = Section("FONTS", fonts);
    WriteIni(sections.join());
    QVERIFY(QFileInfo(IniPath()).size() > 4 * 4096);

    FakePrompt prompt;
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList());
    QCOMPARE(settings->m_strFontNames, fonts);
    settings.reset();
    QVERIFY(ReadFile(IniPath()).contains(Section("FONTS", fonts)));
}

void TestAppSettings::malformedAppliesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("answer");

    const QByteArray custom = CustomSections().join();
    const QByteArray noEndDemoStr = QByteArray(custom).replace("\r\nENDDEMOSTR\r\n", "");
    QByteArray endBeforeStart = CustomSections().mid(1).join();
    endBeforeStart = "\r\nENDCOM\r\nCOM:\r\nCOM2 1 1 1 1" + endBeforeStart;
    const QByteArray noValueLine = QByteArray(custom).replace("COM3 5 3 1 4\r\n", "");
    for (bool answer : {true, false}) {
        const char* suffix = answer ? ", answered Yes" : ", answered No";
        QTest::addRow("lacks only ENDDEMOSTR%s", suffix) << noEndDemoStr << answer;
        QTest::addRow("end marker before start marker%s", suffix) << endBeforeStart << answer;
        QTest::addRow("end marker overlaps start marker%s", suffix) << noValueLine << answer;
        QTest::addRow("empty file%s", suffix) << QByteArray() << answer;
    }
}

void TestAppSettings::malformedAppliesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, answer);
    WriteIni(file);
    FakePrompt prompt;
    prompt.answers = {answer};
    auto settings = Open(prompt);

    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMalformed});
    QCOMPARE(settings->m_port.GetConfig(), PortConfig());
    QCOMPARE(settings->m_nMaxSym, 2048);
    QCOMPARE(settings->m_strFontNames,
             QStringLiteral("Arial Bold Decor Dos Elegant Italic Super Thin Times"));
    QCOMPARE(Names(*settings).size(), 6);
    QCOMPARE(ReadFile(IniPath()), answer ? DefaultIniBytes() : file);
    QCOMPARE(ReadFile(BakPath()), answer ? file : QByteArray("<missing>"));
    settings.reset();
    QCOMPARE(ReadFile(IniPath()), DefaultIniBytes());
    QCOMPARE(ReadFile(BakPath()), file);
}

void TestAppSettings::backupIsMadeOnce()
{
    const QByteArray file = "not a settings file";
    WriteIni(file);
    FakePrompt prompt;
    prompt.answers = {true};
    auto settings = Open(prompt);
    QCOMPARE(ReadFile(BakPath()), file);
    QVERIFY(QFile::remove(BakPath()));
    settings.reset();
    QVERIFY(!QFile::exists(BakPath()));
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMalformed});
}

void TestAppSettings::portAndMaxSymValues_data()
{
    QTest::addColumn<QString>("com");
    QTest::addColumn<QString>("maxSym");
    QTest::addColumn<PortConfig>("port");
    QTest::addColumn<int>("nMaxSym");

    const PortConfig defaults;
    QTest::newRow("four fields") << "COM2 1 2 3"
                                 << "512" << defaults << 512;
    QTest::newRow("eight-letter word") << "ABCDEFGH 1 2 3 4"
                                       << "512" << defaults << 512;
    QTest::newRow("letter for a number") << "COM2 1 x 3 4"
                                         << "512" << defaults << 512;
    QTest::newRow("empty COM") << ""
                               << "512" << defaults << 512;
    QTest::newRow("seven-letter word") << "ABCDEFG 1 2 3 4"
                                       << "512" << PortConfig{"ABCDEFG", 1, 2, 3, 4} << 512;
    QTest::newRow("any white space, text after") << " \tCOM2\t1\r\n2  3 4 tail"
                                                 << "512" << PortConfig{"COM2", 1, 2, 3, 4} << 512;
    QTest::newRow("indices outside the lists kept")
        << "COM9 99 -1 +7 12"
        << "512" << PortConfig{"COM9", 99, -1, 7, 12} << 512;
    QTest::newRow("MAXSYM sign and trailing text") << "COM3 5 3 1 4"
                                                   << " -12abc" << kCustomPort << -12;
    QTest::newRow("MAXSYM without digits") << "COM3 5 3 1 4"
                                           << "abc" << kCustomPort << 2048;
    QTest::newRow("MAXSYM empty") << "COM3 5 3 1 4"
                                  << "" << kCustomPort << 2048;
    QTest::newRow("MAXSYM beyond int") << "COM3 5 3 1 4"
                                       << "99999999999" << kCustomPort << INT_MAX;
}

void TestAppSettings::portAndMaxSymValues()
{
    QFETCH(QString, com);
    QFETCH(QString, maxSym);
    QFETCH(PortConfig, port);
    QFETCH(int, nMaxSym);
    WriteIni(CustomSections(com, maxSym).join());
    FakePrompt prompt;
    auto settings = Open(prompt);

    QCOMPARE(SettingsTexts(prompt), QStringList());
    QCOMPARE(settings->m_port.GetConfig(), port);
    QCOMPARE(settings->m_nMaxSym, nMaxSym);
    QCOMPARE(settings->m_strFontNames, QStringLiteral("Жирный Тонкий"));
}

void TestAppSettings::cannotCreate_data()
{
    QTest::addColumn<bool>("directoryInTheWay");
    QTest::newRow("a directory stands where the file should be") << true;
    QTest::newRow("program directory missing") << false;
}

void TestAppSettings::cannotCreate()
{
    QFETCH(bool, directoryInTheWay);
    QString programDir = m_dir->path();
    if (directoryInTheWay)
        QVERIFY(QDir(programDir).mkdir(AppSettings::kIniFileName));
    else
        programDir = m_dir->filePath(QStringLiteral("missing"));

    FakePrompt prompt;
    prompt.answers = {true};
    auto settings = std::make_unique<AppSettings>(prompt, programDir);
    QCOMPARE(SettingsTexts(prompt), QStringList({kAskMissing, kCannotCreate}));
    settings.reset();
    QCOMPARE(SettingsTexts(prompt), QStringList({kAskMissing, kCannotCreate, kCannotCreate}));

    QCOMPARE(QFileInfo(IniPath()).isDir(), directoryInTheWay);
    const QStringList left = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(left, directoryInTheWay ? QStringList{AppSettings::kIniFileName} : QStringList());
}

void TestAppSettings::cyrillicFontNamesSurviveRestart()
{
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    settings->m_strFontNames = QStringLiteral("Жирный,Ёлочка №2");
    settings.reset();
    QVERIFY(ReadFile(IniPath()).contains("FONTS:\r\n\xC6\xE8\xF0\xED\xFB\xE9,"
                                         "\xA8\xEB\xEE\xF7\xEA\xE0 \xB9"
                                         "2\r\nENDFONTS\r\n"));

    FakePrompt again;
    settings = Open(again);
    QCOMPARE(SettingsTexts(again), QStringList());
    QCOMPARE(settings->m_strFontNames, QStringLiteral("Жирный,Ёлочка №2"));
}

void TestAppSettings::pictureLists_data()
{
    QTest::addColumn<QString>("images");
    QTest::addColumn<QString>("uses");
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QString>("times");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<bool>>("shown");
    QTest::addColumn<QList<int>>("pictureNumbers");
    QTest::addColumn<QList<int>>("durations");

    QTest::newRow("tabs") << "A\tB\tC"
                          << "Да\tДа\tНет"
                          << "1\t2\t3"
                          << "4\t5\t6" << QStringList{"A", "B", "C"}
                          << QList<bool>{true, true, false} << QList<int>{1, 2, 3}
                          << QList<int>{4, 5, 6};
    QTest::newRow("commas") << "A,B,C"
                            << "Да,Нет,Да"
                            << "1,2,3"
                            << "4,5,6" << QStringList{"A", "B", "C"}
                            << QList<bool>{true, false, true} << QList<int>{1, 2, 3}
                            << QList<int>{4, 5, 6};
    QTest::newRow("runs and separators at the ends")
        << "\t,A\t\t,B,,C\t"
        << ",Да\t,\tДа"
        << "\t\t1,,2\t"
        << "4,\t5,6,\t" << QStringList{"A", "B", "C"} << QList<bool>{true, true, false}
        << QList<int>{1, 2, -1} << QList<int>{4, 5, 6};
    QTest::newRow("blank after a comma stays in the name")
        << "Big Tree, Sun"
        << "Да, Да"
        << "1, 2"
        << "3 ,4" << QStringList{"Big Tree", " Sun"} << QList<bool>{true, false} << QList<int>{1, 2}
        << QList<int>{3, 4};
    QTest::newRow("only exactly Да means shown")
        << "A\tB\tC\tD\tE"
        << "да\tДА\tYes\tДа \tДа"
        << "0\t0\t0\t0\t0"
        << "0\t0\t0\t0\t0" << QStringList{"A", "B", "C", "D", "E"}
        << QList<bool>{false, false, false, false, true} << QList<int>{0, 0, 0, 0, 0}
        << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("short lists give new entries")
        << "A\tB\tC"
        << "Да"
        << "4\t5"
        << "" << QStringList{"A", "B", "C"} << QList<bool>{true, false, false}
        << QList<int>{4, 5, -1} << QList<int>{0, 0, 0};
    QTest::newRow("extra items ignored")
        << "A"
        << "Нет\tДа"
        << "4\t5"
        << "6\t7" << QStringList{"A"} << QList<bool>{false} << QList<int>{4} << QList<int>{6};
    QTest::newRow("numbers read by their leading digits")
        << "A\tB\tC\tD"
        << ""
        << "12abc\t-3\tx\t 5"
        << "+8s\t-\t99999999999\t0x10" << QStringList{"A", "B", "C", "D"}
        << QList<bool>{false, false, false, false} << QList<int>{12, -3, 0, 5}
        << QList<int>{8, 0, INT_MAX, 0};
}

void TestAppSettings::pictureLists()
{
    QFETCH(QString, images);
    QFETCH(QString, uses);
    QFETCH(QString, numbers);
    QFETCH(QString, times);
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    DeviceServiceSettings& device = settings->m_device;
    device.m_strImages = images;
    device.m_strUses = uses;
    device.m_strNumbers = numbers;
    device.m_strTimes = times;
    device.m_strGreeting = QStringLiteral("Нет");
    device.m_strDemoPic = QStringLiteral("Да");
    device.m_strDemoStr = QString();

    QVERIFY(settings->ParsePictureLists());
    QTEST(Names(*settings), "names");
    QTEST(Shown(*settings), "shown");
    QTEST(Numbers(*settings), "pictureNumbers");
    QTEST(Durations(*settings), "durations");
    QCOMPARE(device.m_nPictureCount, int(device.m_pPictures.size()));
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMissing});
}

void TestAppSettings::buildThenParseRoundTrip()
{
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    DeviceServiceSettings& device = settings->m_device;
    device.m_pPictures.resize(3);
    device.m_pPictures[0].Set(true, QStringLiteral("Кот"), 7, 3);
    device.m_pPictures[1].Set(false, QStringLiteral("Два слова"), -1, 0);
    device.m_pPictures[2].Set(true, QStringLiteral("Ёж"), 12, 60);
    device.m_nPictureCount = 3;
    device.m_bGreeting = false;
    device.m_bDemoPictures = true;
    device.m_bDemoString = false;

    QVERIFY(settings->BuildPictureLists());
    QCOMPARE(device.m_strImages, QStringLiteral("Кот\tДва слова\tЁж\t"));
    QCOMPARE(device.m_strUses, QStringLiteral("Да\tНет\tДа\t"));
    QCOMPARE(device.m_strNumbers, QStringLiteral("7\t-1\t12\t"));
    QCOMPARE(device.m_strTimes, QStringLiteral("3\t0\t60\t"));
    QCOMPARE(device.m_strGreeting, QStringLiteral("Нет"));
    QCOMPARE(device.m_strDemoPic, QStringLiteral("Да"));
    QCOMPARE(device.m_strDemoStr, QStringLiteral("Нет"));

    // Through the file as well: what the dialog confirmed comes back after a restart.
    settings.reset();
    FakePrompt again;
    settings = Open(again);
    QCOMPARE(SettingsTexts(again), QStringList());
    QCOMPARE(Names(*settings), QStringList({"Кот", "Два слова", "Ёж"}));
    QCOMPARE(Shown(*settings), QList<bool>({true, false, true}));
    QCOMPARE(Numbers(*settings), QList<int>({7, -1, 12}));
    QCOMPARE(Durations(*settings), QList<int>({3, 0, 60}));
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
}

void TestAppSettings::noPictureNames_data()
{
    QTest::addColumn<QString>("images");
    QTest::newRow("empty") << QString();
    QTest::newRow("only separators") << "\t,,\t";
}

void TestAppSettings::noPictureNames()
{
    QFETCH(QString, images);
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    DeviceServiceSettings& device = settings->m_device;
    device.m_strImages = images;
    device.m_strUses = QStringLiteral("Нет");
    device.m_strGreeting = QStringLiteral("Нет");

    QVERIFY(!settings->ParsePictureLists());
    QCOMPARE(SettingsTexts(prompt), QStringList({kAskMissing, kNoPictureNames}));
    QCOMPARE(Names(*settings), QStringList({"Земля", "Пламя", "Герб", "Тризуб", "Ветка", "Елка"}));
    QCOMPARE(Shown(*settings), QList<bool>(6, true));
    QCOMPARE(device.m_nPictureCount, 6);
    QCOMPARE(Flags(*settings), QList<bool>({true, true, true}));
}

void TestAppSettings::noPictureNamesAtStartUp()
{
    QList<QByteArray> sections = CustomSections();
    sections[3] = Section("IMAGES", QString());
    WriteIni(sections.join());
    FakePrompt prompt;
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList{kNoPictureNames});
    QCOMPARE(settings->m_device.m_nPictureCount, 0);
    QVERIFY(settings->m_device.m_pPictures.empty());
    QCOMPARE(Flags(*settings), QList<bool>({false, false, false}));
    QCOMPARE(settings->m_port.GetConfig(), kCustomPort);
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
