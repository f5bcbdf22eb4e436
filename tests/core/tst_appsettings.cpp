#include "settings/cp1251.h"
#include "tempprogram.h"
#include "testbytes.h"

#include <QDir>
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
// The quoted text writes "cоздать" with a Latin c; the user sees exactly that.
const QString kCannotCreate = QStringLiteral("Не удается \x63оздать файл настроек программы.");
const QString kNoPictureNames =
    QStringLiteral("Не удается прочесть список изображений устройства из файла инициализации.");

const QByteArray kYes = "\xC4\xE0"; // "Да" in Windows-1251

QByteArray RawSection(const QByteArray& name, const QByteArray& value)
{
    return name + ":\r\n" + value + "\r\nEND" + name + "\r\n";
}

QByteArray Section(const QByteArray& name, const QString& value)
{
    return RawSection(name, Cp1251::FromUnicode(value));
}

// Built from bytes rather than through the program's codec, so that both cannot share a mistake.
QByteArray DefaultIniBytes()
{
    const QByteArray stars(24, '*');
    const QByteArray images = "\xC7\xE5\xEC\xEB\xFF\t\xCF\xEB\xE0\xEC\xFF\t\xC3\xE5\xF0\xE1\t"
                              "\xD2\xF0\xE8\xE7\xF3\xE1\t\xC2\xE5\xF2\xEA\xE0\t\xC5\xEB\xEA\xE0";
    return "//" + stars + " TAVRIX EDITOR INI FILE " + stars + "//\r\n" +
           RawSection("COM", "COM1 3 4 2 1") + RawSection("MAXSYM", "2048") +
           RawSection("FONTS", "Arial Bold Decor Dos Elegant Italic Super Thin Times") +
           RawSection("IMAGES", images) +
           RawSection("USES", QList<QByteArray>(6, kYes).join('\t')) +
           RawSection("NUMBERS", "0\t1\t2\t3\t4\t5") + RawSection("TIMES", "5\t5\t5\t5\t5\t5") +
           RawSection("GREETING", kYes) + RawSection("DEMOPIC", kYes) +
           RawSection("DEMOSTR", kYes) + "//" + stars + "  END OF INI FILE " + stars + "//";
}

// A settings file whose values differ from every default.
QList<QByteArray> CustomSections(const QString& com = QStringLiteral("COM3 5 3 1 4"),
                                 const QString& maxSym = QStringLiteral("4096"))
{
    return {Section("COM", com),
            Section("MAXSYM", maxSym),
            Section("FONTS", QStringLiteral("Жирный Тонкий")),
            Section("IMAGES", QStringLiteral("Кот\tПёс")),
            Section("USES", QStringLiteral("Да\tНет")),
            Section("NUMBERS", QStringLiteral("7\t9")),
            Section("TIMES", QStringLiteral("3\t4")),
            Section("GREETING", QStringLiteral("Нет")),
            Section("DEMOPIC", QStringLiteral("Да")),
            Section("DEMOSTR", QString())};
}

const PortConfig kCustomPort{QStringLiteral("COM3"), 5, 3, 1, 4};
const QStringList kDefaultPictures{"Земля|+|0|5",  "Пламя|+|1|5", "Герб|+|2|5",
                                   "Тризуб|+|3|5", "Ветка|+|4|5", "Елка|+|5|5"};

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

// Every picture entry as "name|shown|number|duration", shown written + or -.
QStringList Pictures(const AppSettings& s)
{
    QStringList entries;
    for (const PictureEntry& p : s.m_device.m_pPictures)
        entries << QStringLiteral("%1|%2|%3|%4")
                       .arg(p.strName, p.bShown ? "+" : "-")
                       .arg(p.nNumber)
                       .arg(p.nDuration);
    return entries;
}

QList<bool> Flags(const AppSettings& s)
{
    return {s.m_device.m_bGreeting, s.m_device.m_bDemoPictures, s.m_device.m_bDemoString};
}

void PortRow(const char* name, const QString& com, const QString& maxSym, const PortConfig& port,
             int nMaxSym)
{
    QTest::newRow(name) << com << maxSym << port << nMaxSym;
}

void ListsRow(const char* name, const char* images, const char* uses, const char* numbers,
              const char* times, const QStringList& pictures)
{
    QTest::newRow(name) << QString::fromUtf8(images) << QString::fromUtf8(uses)
                        << QString::fromUtf8(numbers) << QString::fromUtf8(times) << pictures;
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

    void firstRun_data();
    void firstRun();
    void readsSections_data();
    void readsSections();
    void malformedAppliesNothing_data();
    void malformedAppliesNothing();
    void backupIsMadeOnce();
    void everyBackupIsKept();
    void valuesThatBreakTheFile_data();
    void valuesThatBreakTheFile();
    void unsafeValuesAreNeverWritten_data();
    void unsafeValuesAreNeverWritten();
    void unreadableFileIsMovedAside();
    void portAndMaxSymValues_data();
    void portAndMaxSymValues();
    void cannotCreate_data();
    void cannotCreate();
    void cyrillicFontNamesSurviveRestart();
    void longPortPathSurvivesRestart();

    void pictureLists_data();
    void pictureLists();
    void buildThenParseRoundTrip();
    void noPictureNamesAtStartUp();

private:
    QString IniPath() const { return m_dir->filePath(AppSettings::kIniFileName); }
    QString BakPath() const { return IniPath() + QStringLiteral(".bak"); }
    void WriteIni(const QByteArray& ini) const { QVERIFY(WriteFileBytes(IniPath(), ini)); }
    // A null `ini` leaves the directory without a settings file.
    std::unique_ptr<AppSettings> Open(FakePrompt& prompt, const QByteArray& ini = {}) const
    {
        if (!ini.isNull())
            WriteIni(ini);
        return std::make_unique<AppSettings>(prompt, m_dir->path());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAppSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestAppSettings::firstRun_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("answered Yes: written at once") << true;
    QTest::newRow("answered No: written at exit") << false;
}

void TestAppSettings::firstRun()
{
    QFETCH(bool, answer);
    FakePrompt prompt;
    prompt.answers = {answer};
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMissing});
    QCOMPARE(settings->IniPath(), QFileInfo(IniPath()).absoluteFilePath());
    QCOMPARE(FileBytes(IniPath()), answer ? DefaultIniBytes() : QByteArray("<missing>"));
    QCOMPARE(settings->m_nMaxSym, 2048);
    QCOMPARE(settings->m_strFontDir, QDir::toNativeSeparators(m_dir->path() + "/Fonts"));
    QCOMPARE(settings->m_port, PortConfig());
    QCOMPARE(Pictures(*settings), kDefaultPictures);
    QCOMPARE(Flags(*settings), QList<bool>({true, true, true}));
    settings.reset();
    QCOMPARE(FileBytes(IniPath()), DefaultIniBytes());
    QVERIFY(!QFile::exists(BakPath()));
}

void TestAppSettings::readsSections_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("fonts");

    const QString fonts = QStringLiteral("Жирный Тонкий");
    const QList<QByteArray> sections = CustomSections();
    const QList<QByteArray> reversed(sections.rbegin(), sections.rend());
    QTest::newRow("in order, with banners")
        << "//banner//\r\n" + sections.join() + "//  END OF INI FILE //" << fonts;
    QTest::newRow("reverse order") << reversed.join() << fonts;
    QTest::newRow("text between sections")
        << "junk" + sections.join("some notes\r\n") + "tail" << fonts;

    // Far longer than any fixed line or file buffer would hold.
    QStringList names;
    for (int i = 0; i < 2000; ++i)
        names << QStringLiteral("Шрифт%1").arg(i);
    QList<QByteArray> longFonts = sections;
    longFonts[2] = Section("FONTS", names.join(u' '));
    QTest::newRow("font list of 16 KiB") << longFonts.join() << names.join(u' ');
}

void TestAppSettings::readsSections()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, fonts);
    FakePrompt prompt;
    auto settings = Open(prompt, file);

    QCOMPARE(SettingsTexts(prompt), QStringList());
    QCOMPARE(settings->m_port, kCustomPort);
    QCOMPARE(settings->m_nMaxSym, 4096);
    QCOMPARE(settings->m_strFontNames, fonts);
    QCOMPARE(Pictures(*settings), QStringList({"Кот|+|7|3", "Пёс|-|9|4"}));
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
    QCOMPARE(settings->m_device.m_strDemoStr, QString());
    settings.reset();
    QVERIFY(FileBytes(IniPath()).contains(Section("FONTS", fonts)));
}

void TestAppSettings::malformedAppliesNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("answer");

    const QByteArray custom = CustomSections().join();
    const QByteArray noEndDemoStr = QByteArray(custom).replace("\r\nENDDEMOSTR\r\n", "");
    const QByteArray endBeforeStart =
        "\r\nENDCOM\r\nCOM:\r\nCOM2 1 1 1 1" + CustomSections().mid(1).join();
    const QByteArray noValueLine = QByteArray(custom).replace("COM3 5 3 1 4\r\n", "");
    for (bool answer : {true, false}) {
        const char* suffix = answer ? ", answered Yes" : ", answered No";
        QTest::addRow("lacks only ENDDEMOSTR%s", suffix) << noEndDemoStr << answer;
        QTest::addRow("end marker before start marker%s", suffix) << endBeforeStart << answer;
        QTest::addRow("end marker overlaps start marker%s", suffix) << noValueLine << answer;
        QTest::addRow("empty file%s", suffix) << QByteArray("") << answer;
    }
}

void TestAppSettings::malformedAppliesNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, answer);
    FakePrompt prompt;
    prompt.answers = {answer};
    auto settings = Open(prompt, file);

    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMalformed});
    QCOMPARE(settings->m_port, PortConfig());
    QCOMPARE(settings->m_nMaxSym, 2048);
    QCOMPARE(settings->m_strFontNames,
             QStringLiteral("Arial Bold Decor Dos Elegant Italic Super Thin Times"));
    QCOMPARE(Pictures(*settings), kDefaultPictures);
    QCOMPARE(FileBytes(IniPath()), answer ? DefaultIniBytes() : file);
    QCOMPARE(FileBytes(BakPath()), answer ? file : QByteArray("<missing>"));
    settings.reset();
    QCOMPARE(FileBytes(IniPath()), DefaultIniBytes());
    QCOMPARE(FileBytes(BakPath()), file);
}

void TestAppSettings::backupIsMadeOnce()
{
    FakePrompt prompt;
    prompt.answers = {true};
    auto settings = Open(prompt, "not a settings file");
    QVERIFY(QFile::remove(BakPath()));
    settings.reset();
    QVERIFY(!QFile::exists(BakPath()));
}

void TestAppSettings::everyBackupIsKept()
{
    const QList<QByteArray> texts{"first text", "second text", "third text"};
    for (const QByteArray& text : texts) {
        FakePrompt prompt;
        prompt.answers = {true};
        Open(prompt, text).reset();
    }
    QCOMPARE(FileBytes(BakPath()), QByteArray("first text"));
    QCOMPARE(FileBytes(BakPath() + ".1"), QByteArray("second text"));
    QCOMPARE(FileBytes(BakPath() + ".2"), QByteArray("third text"));
    QCOMPARE(FileBytes(IniPath()), DefaultIniBytes());
}

void TestAppSettings::valuesThatBreakTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("fonts");
    QTest::addColumn<QStringList>("pictures");

    const QString defaultFonts =
        QStringLiteral("Arial Bold Decor Dos Elegant Italic Super Thin Times");
    const QStringList custom{"Кот|+|7|3", "Пёс|-|9|4"};
    QList<QByteArray> sections = CustomSections();
    QList<QByteArray> demoStrFirst = sections;
    demoStrFirst.move(9, 0);
    demoStrFirst[3] = RawSection("FONTS", "Arial\r\nENDDEMOSTR\r\nBold");
    QTest::newRow("font list spans lines over an end marker")
        << demoStrFirst.join() << defaultFonts << custom;

    QList<QByteArray> startMarker = sections;
    startMarker[2] = RawSection("FONTS", "Arial\r\nDEMOPIC:\r\nX");
    QTest::newRow("font list holds a start marker") << startMarker.join() << defaultFonts << custom;

    QList<QByteArray> colonEnd = sections;
    colonEnd.move(7, 0);
    colonEnd[3] = RawSection("FONTS", "Arial GREETING:");
    QTest::newRow("font list ends as a start marker") << colonEnd.join() << defaultFonts << custom;

    QList<QByteArray> endName = sections;
    endName.move(6, 0);
    endName[4] = RawSection("IMAGES", "ENDTIMES");
    QTest::newRow("picture names are an end marker's name")
        << endName.join() << QStringLiteral("Жирный Тонкий")
        << QStringList{"Земля|+|7|3",   "Пламя|-|9|4",  "Герб|-|-1|0",
                       "Тризуб|-|-1|0", "Ветка|-|-1|0", "Елка|-|-1|0"};

    QList<QByteArray> lone = sections;
    lone[2] = RawSection("FONTS", "Arial\nBold");
    QTest::newRow("font list with a lone line feed") << lone.join() << defaultFonts << custom;

    QList<QByteArray> harmless = sections;
    harmless[2] = RawSection("FONTS", "ENDFONT: COM ENDCOMX");
    QTest::newRow("marker-like words that break nothing")
        << harmless.join() << QStringLiteral("ENDFONT: COM ENDCOMX") << custom;
}

// Whatever is read is written so that reading it back gives the same settings, and writing again
// gives the same bytes.
void TestAppSettings::valuesThatBreakTheFile()
{
    QFETCH(QByteArray, file);
    FakePrompt prompt;
    auto settings = Open(prompt, file);
    QCOMPARE(SettingsTexts(prompt), QStringList());
    QTEST(settings->m_strFontNames, "fonts");
    QTEST(Pictures(*settings), "pictures");
    QCOMPARE(settings->m_port, kCustomPort);
    QCOMPARE(settings->m_nMaxSym, 4096);
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
    settings.reset();
    const QByteArray first = FileBytes(IniPath());

    FakePrompt again;
    settings = Open(again);
    QCOMPARE(SettingsTexts(again), QStringList());
    QTEST(settings->m_strFontNames, "fonts");
    QTEST(Pictures(*settings), "pictures");
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
    settings.reset();
    QCOMPARE(FileBytes(IniPath()), first);
}

void TestAppSettings::unsafeValuesAreNeverWritten_data()
{
    QTest::addColumn<QString>("fonts");
    QTest::addColumn<QString>("demoPic");
    QTest::newRow("line break in the font list") << "Arial\nBold"
                                                 << "Нет";
    QTest::newRow("carriage return in a flag") << "Arial"
                                               << "Нет\r";
    QTest::newRow("font list ends as a start marker") << "Arial USES:"
                                                      << "Нет";
    QTest::newRow("flag is an end marker's name") << "Arial"
                                                  << "ENDCOM";
}

void TestAppSettings::unsafeValuesAreNeverWritten()
{
    QFETCH(QString, fonts);
    QFETCH(QString, demoPic);
    FakePrompt prompt;
    prompt.answers = {false};
    auto settings = Open(prompt);
    settings->m_strFontNames = fonts;
    settings->m_device.m_strDemoPic = demoPic;
    settings.reset();

    FakePrompt again;
    settings = Open(again);
    QCOMPARE(SettingsTexts(again), QStringList());
    const bool fontsSafe = fonts == "Arial";
    QCOMPARE(settings->m_strFontNames,
             fontsSafe ? fonts
                       : QStringLiteral("Arial Bold Decor Dos Elegant Italic Super Thin Times"));
    QCOMPARE(settings->m_device.m_strDemoPic, demoPic == "Нет" ? demoPic : QStringLiteral("Да"));
}

void TestAppSettings::unreadableFileIsMovedAside()
{
    WriteIni("the user's own text");
    QVERIFY(QFile::setPermissions(IniPath(), QFileDevice::WriteOwner));
    if (QFile(IniPath()).open(QIODevice::ReadOnly))
        QSKIP("this user reads files whatever their permissions say");
    FakePrompt prompt;
    prompt.answers = {true};
    auto settings = Open(prompt);
    QCOMPARE(SettingsTexts(prompt), QStringList{kAskMissing});
    QCOMPARE(FileBytes(IniPath()), DefaultIniBytes());
    QVERIFY(QFile::setPermissions(BakPath(), QFileDevice::ReadOwner));
    QCOMPARE(FileBytes(BakPath()), QByteArray("the user's own text"));
}

void TestAppSettings::portAndMaxSymValues_data()
{
    QTest::addColumn<QString>("com");
    QTest::addColumn<QString>("maxSym");
    QTest::addColumn<PortConfig>("port");
    QTest::addColumn<int>("nMaxSym");

    const PortConfig none;
    const QString com = QStringLiteral("COM3 5 3 1 4");
    PortRow("four fields", "COM2 1 2 3", "512", none, 512);
    PortRow("eight-letter word", "ABCDEFGH 1 2 3 4", "512", {"ABCDEFGH", 1, 2, 3, 4}, 512);
    const QString longest(255, u'x');
    PortRow("255-letter word", longest + " 1 2 3 4", "512", {longest, 1, 2, 3, 4}, 512);
    PortRow("256-letter word", longest + "x 1 2 3 4", "512", none, 512);
    PortRow("device path", "/dev/ttyUSB0 3 4 2 1", "512", {"/dev/ttyUSB0", 3, 4, 2, 1}, 512);
    PortRow("letter for a number", "COM2 1 x 3 4", "512", none, 512);
    PortRow("empty COM", "", "512", none, 512);
    PortRow("seven-letter word", "ABCDEFG 1 2 3 4", "512", {"ABCDEFG", 1, 2, 3, 4}, 512);
    PortRow("any white space, text after", " \tCOM2\t1\r\n2  3 4 tail", "512", {"COM2", 1, 2, 3, 4},
            512);
    PortRow("indices outside the lists kept", "COM9 99 -1 +7 12", "512", {"COM9", 99, -1, 7, 12},
            512);
    PortRow("MAXSYM sign and trailing text", com, " -12abc", kCustomPort, -12);
    PortRow("MAXSYM without digits", com, "abc", kCustomPort, 2048);
    PortRow("MAXSYM empty", com, "", kCustomPort, 2048);
    PortRow("MAXSYM beyond int", com, "99999999999", kCustomPort, INT_MAX);
}

void TestAppSettings::longPortPathSurvivesRestart()
{
    const QString path =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A502BI-if00-port0");
    QCOMPARE(path.size(), 60);
    const QString com = path + QStringLiteral(" 6 4 2 1");
    FakePrompt prompt;
    auto settings = Open(prompt, CustomSections(com).join());
    QCOMPARE(settings->m_port, PortConfig({path, 6, 4, 2, 1}));
    settings.reset();
    const QByteArray written = FileBytes(IniPath());
    QVERIFY(written.contains(Section("COM", com)));

    settings = Open(prompt, written);
    QCOMPARE(settings->m_port.portName, path);
    settings.reset();
    QCOMPARE(FileBytes(IniPath()), written);
    QCOMPARE(SettingsTexts(prompt), QStringList());
}

void TestAppSettings::portAndMaxSymValues()
{
    QFETCH(QString, com);
    QFETCH(QString, maxSym);
    FakePrompt prompt;
    auto settings = Open(prompt, CustomSections(com, maxSym).join());

    QCOMPARE(SettingsTexts(prompt), QStringList());
    QTEST(settings->m_port, "port");
    QTEST(settings->m_nMaxSym, "nMaxSym");
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
    QVERIFY(FileBytes(IniPath()).contains(
        HexBytes("464F4E54533A 0D0A C6E8F0EDFBE9 2C A8EBEEF7EAE0 20 B9"
                 "32 0D0A 454E44464F4E5453 0D0A")));

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
    QTest::addColumn<QStringList>("pictures"); // the defaults stay when no name is found

    ListsRow("tabs", "A\tB\tC", "Да\tДа\tНет", "1\t2\t3", "4\t5\t6",
             {"A|+|1|4", "B|+|2|5", "C|-|3|6"});
    ListsRow("commas", "A,B,C", "Да,Нет,Да", "1,2,3", "4,5,6", {"A|+|1|4", "B|-|2|5", "C|+|3|6"});
    ListsRow("runs and separators at the ends", "\t,A\t\t,B,,C\t", ",Да\t,\tДа", "\t\t1,,2\t",
             "4,\t5,6,\t", {"A|+|1|4", "B|+|2|5", "C|-|-1|6"});
    ListsRow("blank after a comma stays in the name", "Big Tree, Sun", "Да, Да", "1, 2", "3 ,4",
             {"Big Tree|+|1|3", " Sun|-|2|4"});
    ListsRow("only exactly Да means shown", "A\tB\tC\tD\tE", "да\tДА\tYes\tДа \tДа",
             "0\t0\t0\t0\t0", "0\t0\t0\t0\t0",
             {"A|-|0|0", "B|-|0|0", "C|-|0|0", "D|-|0|0", "E|+|0|0"});
    ListsRow("short lists give new entries", "A\tB\tC", "Да", "4\t5", "",
             {"A|+|4|0", "B|-|5|0", "C|-|-1|0"});
    ListsRow("extra items ignored", "A", "Нет\tДа", "4\t5", "6\t7", {"A|-|4|6"});
    ListsRow("numbers read by their leading digits", "A\tB\tC\tD", "", "12abc\t-3\tx\t 5",
             "+8s\t-\t99999999999\t0x10",
             {"A|-|12|8", "B|-|-3|0", "C|-|0|" + QString::number(INT_MAX), "D|-|5|0"});
    ListsRow("no names", "", "Нет", "", "", kDefaultPictures);
    ListsRow("only separators for names", "\t,,\t", "Нет", "", "", kDefaultPictures);
}

void TestAppSettings::pictureLists()
{
    TempProgram program;
    AppSettings& settings = *program.settings;
    DeviceServiceSettings& device = settings.m_device;
    QFETCH(QString, images);
    QFETCH(QString, uses);
    QFETCH(QString, numbers);
    QFETCH(QString, times);
    device.m_strImages = images;
    device.m_strUses = uses;
    device.m_strNumbers = numbers;
    device.m_strTimes = times;
    device.m_strGreeting = QStringLiteral("Нет");
    device.m_strDemoPic = QStringLiteral("Да");
    device.m_strDemoStr = QString();

    // Nothing is applied, the flags included, when there is no picture name.
    const bool named = !images.isEmpty() && images != "\t,,\t";
    QCOMPARE(settings.ParsePictureLists(), named);
    QTEST(Pictures(settings), "pictures");
    QCOMPARE(device.m_nPictureCount, int(device.m_pPictures.size()));
    QCOMPARE(Flags(settings), QList<bool>({!named, true, !named}));
    QCOMPARE(program.prompt.texts, named ? QStringList() : QStringList{kNoPictureNames});
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
    QCOMPARE(Pictures(*settings), QStringList({"Кот|+|7|3", "Два слова|-|-1|0", "Ёж|+|12|60"}));
    QCOMPARE(Flags(*settings), QList<bool>({false, true, false}));
}

void TestAppSettings::noPictureNamesAtStartUp()
{
    QList<QByteArray> sections = CustomSections();
    sections[3] = Section("IMAGES", QString());
    FakePrompt prompt;
    auto settings = Open(prompt, sections.join());
    QCOMPARE(SettingsTexts(prompt), QStringList{kNoPictureNames});
    QCOMPARE(settings->m_device.m_nPictureCount, 0);
    QVERIFY(settings->m_device.m_pPictures.empty());
    QCOMPARE(Flags(*settings), QList<bool>({false, false, false}));
    QCOMPARE(settings->m_port, kCustomPort);
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
