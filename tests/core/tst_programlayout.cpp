#include "fakeprompt.h"
#include "fonts/fontlibrary.h"
#include "settings/appsettings.h"
#include "testbytes.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace
{

const QString kAskMissing =
    QStringLiteral("Не удается открыть или не был создан файл настроек программы. \n"
                   "Создать новый файл настроек с настройками по умолчанию?");
const QString kNoFonts = QStringLiteral("Не удается загрузить файлы шрифтов из : ");

const QByteArray kCustomIni =
    "//************************ TAVRIX EDITOR INI FILE ************************//\r\n"
    "COM:\r\nCOM2 1 2 0 0\r\nENDCOM\r\nMAXSYM:\r\n512\r\nENDMAXSYM\r\n"
    "FONTS:\r\nArial Thin\r\nENDFONTS\r\nIMAGES:\r\nA\r\nENDIMAGES\r\nUSES:\r\n\xC4\xE0\r\n"
    "ENDUSES\r\nNUMBERS:\r\n3\r\nENDNUMBERS\r\nTIMES:\r\n4\r\nENDTIMES\r\nGREETING:\r\n"
    "\xCD\xE5\xF2\r\nENDGREETING\r\nDEMOPIC:\r\n\xC4\xE0\r\nENDDEMOPIC\r\nDEMOSTR:\r\n"
    "\xC4\xE0\r\nENDDEMOSTR\r\n"
    "//************************  END OF INI FILE ************************//";

// What a program directory holds and where the installed fonts are.
enum Place { Nowhere, BesideBin, DataHome };

bool CopyFonts(const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QString& name : QDir(QStringLiteral(TAVRIX_FONTS_DIR)).entryList({"*.brf"})) {
        if (!QFile::copy(QStringLiteral(TAVRIX_FONTS_DIR "/") + name, to + u'/' + name))
            return false;
    }
    return true;
}

} // namespace

// Every location comes from a temporary folder of the test's own: the user's configuration and
// data folders through the variables the system reads, and the executable's folder as
// <root>/prefix/bin.
class TestProgramLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void layout_data();
    void layout();
    void installedSettingsSurviveRestart();
    void userFontFolderWins();

private:
    QString Root(const QString& relative) const
    {
#ifdef _WIN32
        // Windows has the user's folders from the system, not from variables: here they are
        // QStandardPaths' test folders.
        for (const auto& [prefix, location] :
             {std::pair{QStringLiteral("config/"), QStandardPaths::GenericConfigLocation},
              std::pair{QStringLiteral("data/"), QStandardPaths::GenericDataLocation}}) {
            if (relative.startsWith(prefix))
                return QStandardPaths::writableLocation(location) + u'/' +
                       relative.mid(prefix.size());
        }
#endif
        return m_root->filePath(relative);
    }
    QString ProgramDir() const
    {
        return Root(QStringLiteral("prefix/bin"));
    }
    QString UserIni() const
    {
        return Root(QStringLiteral("config/Tavrix Editor/Tavrix Editor.ini"));
    }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestProgramLayout::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(ProgramDir()));
    qputenv("XDG_CONFIG_HOME", Root(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", Root(QStringLiteral("data")).toLocal8Bit());
    // An installed copy of the program on this machine must not be found.
    qputenv("XDG_DATA_DIRS", Root(QStringLiteral("system-data")).toLocal8Bit());
#ifdef _WIN32
    QStandardPaths::setTestModeEnabled(true);
    for (const QString& folder :
         {QStringLiteral("config/Tavrix Editor"), QStringLiteral("data/tavrix-editor")})
        QVERIFY(QDir(Root(folder)).removeRecursively());
#endif
}

void TestProgramLayout::layout_data()
{
    QTest::addColumn<bool>("iniBeside");
    QTest::addColumn<bool>("fontsBeside");
    QTest::addColumn<int>("installedFonts");
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("settingsFile");
    QTest::addColumn<QString>("fontDir");
    QTest::addColumn<int>("fontsLoaded");

    // The installed fonts exist in every row but the last; a portable copy never uses them.
    QTest::newRow("settings file beside the executable")
        << true << false << int(BesideBin) << true << "prefix/bin/Tavrix Editor.ini"
        << "prefix/bin/Fonts" << 0;
    QTest::newRow("only a Fonts folder beside the executable")
        << false << true << int(BesideBin) << true << "prefix/bin/Tavrix Editor.ini"
        << "prefix/bin/Fonts" << 9;
    QTest::newRow("neither: fonts in the prefix's share folder")
        << false << false << int(BesideBin) << false << "config/Tavrix Editor/Tavrix Editor.ini"
        << "prefix/share/tavrix-editor/Fonts" << 9;
    QTest::newRow("neither: fonts in the user's data folder")
        << false << false << int(DataHome) << false << "config/Tavrix Editor/Tavrix Editor.ini"
        << "data/tavrix-editor/Fonts" << 9;
    QTest::newRow("neither, and no fonts installed")
        << false << false << int(Nowhere) << false << "config/Tavrix Editor/Tavrix Editor.ini"
        << "prefix/share/tavrix-editor/Fonts" << 0;
}

// The whole run as the application does it: find the layout, read (or create) the settings,
// load the fonts, write the settings at exit. The first-run question is the same in every layout.
void TestProgramLayout::layout()
{
    QFETCH(bool, iniBeside);
    QFETCH(bool, fontsBeside);
    QFETCH(int, installedFonts);
    QFETCH(bool, portable);
    QFETCH(QString, settingsFile);
    QFETCH(QString, fontDir);
    QFETCH(int, fontsLoaded);

    if (iniBeside)
        QVERIFY(WriteFileBytes(ProgramDir() + "/Tavrix Editor.ini", kCustomIni));
    if (fontsBeside)
        QVERIFY(CopyFonts(ProgramDir() + "/Fonts"));
    if (installedFonts == BesideBin)
        QVERIFY(CopyFonts(Root(QStringLiteral("prefix/share/tavrix-editor/Fonts"))));
    if (installedFonts == DataHome)
        QVERIFY(CopyFonts(Root(QStringLiteral("data/tavrix-editor/Fonts"))));

    const ProgramLayout layout = ProgramLayout::Find(ProgramDir());
    QCOMPARE(layout.bPortable, portable);

    FakePrompt prompt;
    CFontLibrary fonts;
    auto settings =
        std::make_unique<AppSettings>(prompt, layout, AppSettings::Access::ReadWrite,
                                      [&fonts](AppSettings& read) { fonts.LoadFontLibrary(read); });
    const QString expectedFontDir = QDir::toNativeSeparators(Root(fontDir));
    QCOMPARE(settings->IniPath(), Root(settingsFile));
    QCOMPARE(settings->m_strFontDir, expectedFontDir);

    QStringList expectedTexts;
    if (!iniBeside)
        expectedTexts << kAskMissing;
    if (fontsLoaded == 0)
        expectedTexts << kNoFonts + expectedFontDir;
    QCOMPARE(prompt.texts, expectedTexts);
    QCOMPARE(std::count(fonts.m_pFontLoaded.begin(), fonts.m_pFontLoaded.end(), 1), fontsLoaded);
    settings.reset();

    QVERIFY(QFile::exists(Root(settingsFile)));
    if (iniBeside)
        QCOMPARE(FileBytes(Root(settingsFile)), kCustomIni);
    // Nothing goes to the other place.
    QCOMPARE(QFileInfo::exists(UserIni()), !portable);
    QCOMPARE(QFileInfo::exists(ProgramDir() + "/Tavrix Editor.ini"), portable);
}

// The per-user file holds the same bytes as a portable one and is read back without a question.
void TestProgramLayout::installedSettingsSurviveRestart()
{
    QVERIFY(QDir().mkpath(QFileInfo(UserIni()).path()));
    QVERIFY(WriteFileBytes(UserIni(), kCustomIni));
    FakePrompt prompt;
    {
        CFontLibrary fonts;
        AppSettings settings(prompt, ProgramLayout::Find(ProgramDir()),
                             AppSettings::Access::ReadWrite,
                             [&fonts](AppSettings& read) { fonts.LoadFontLibrary(read); });
        QCOMPARE(settings.m_nMaxSym, 512);
        QCOMPARE(settings.m_strFontNames, QStringLiteral("Arial Thin"));
        QCOMPARE(settings.m_port.portName, QStringLiteral("COM2"));
    }
    QCOMPARE(prompt.texts, QStringList{kNoFonts + QDir::toNativeSeparators(
                                                      Root("prefix/share/tavrix-editor/Fonts"))});
    QCOMPARE(FileBytes(UserIni()), kCustomIni);
    QVERIFY(!QFileInfo::exists(ProgramDir() + "/Tavrix Editor.ini"));
}

// A fonts folder chosen by the user for the run is the one loaded again, not the installed one.
void TestProgramLayout::userFontFolderWins()
{
    QVERIFY(CopyFonts(Root(QStringLiteral("prefix/share/tavrix-editor/Fonts"))));
    QVERIFY(CopyFonts(Root(QStringLiteral("own fonts"))));
    QVERIFY(QFile::remove(Root(QStringLiteral("own fonts/Thin.brf"))));
    FakePrompt prompt;
    prompt.answers = {false};
    AppSettings settings(prompt, ProgramLayout::Find(ProgramDir()));
    prompt.texts.clear();
    settings.m_strFontDir = Root(QStringLiteral("own fonts"));
    CFontLibrary fonts;
    fonts.LoadFontLibrary(settings);
    QCOMPARE(prompt.texts, QStringList{"Не все файлы шрифтов удалось загрузить."});
    QCOMPARE(fonts.m_pFontLoaded, std::vector<int>({1, 1, 1, 1, 1, 1, 1, 0, 1}));
}

QTEST_GUILESS_MAIN(TestProgramLayout)
#include "tst_programlayout.moc"
