#include "fonts/exfont.h"
#include "tempprogram.h"
#include "testbytes.h"

#include <QDir>
#include <QTest>

namespace
{

const QString kNoneLoaded = QStringLiteral("Не удается загрузить файлы шрифтов из : ");
const QString kSomeMissing = QStringLiteral("Не все файлы шрифтов удалось загрузить.");
const QString kPlaceholder = "  " + QString(20, u'-') + " ";

// A small valid font whose glyph 'A' has `mark` as its one column, so a test can tell which
// file a slot was read from.
QByteArray FontFile(quint8 mark)
{
    QByteArray bytes = HexBytes("01000000");
    for (int c = 0; c < 256; ++c)
        bytes += c == 'A' ? QByteArray(1, 1) + char(mark) : QByteArray(1, 0);
    return bytes;
}

} // namespace

class TestFontLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void slots_data();
    void slots();
    void failedFiles_data();
    void failedFiles();
    void reloadResetsSelections();

private:
    void Reload(const QString& names);

    std::unique_ptr<TempProgram> m_program;
    AppSettings* m_settings = nullptr;
    CFontLibrary* m_fonts = nullptr;
    QString m_fontDir;
};

void TestFontLibrary::init()
{
    m_program = std::make_unique<TempProgram>();
    m_settings = m_program->settings.get();
    m_fonts = &m_program->fonts;
    m_fontDir = m_program->dir.filePath("Fonts");
    QVERIFY(QDir().mkpath(m_fontDir));
    const QStringList names{"Arial",  "Bold",  "Decor", "Dos",   "Elegant",
                            "Italic", "Super", "Thin",  "Times", "Шрифт"};
    for (int i = 0; i < names.size(); ++i)
        QVERIFY(WriteFileBytes(m_fontDir + "/" + names[i] + ".brf", FontFile(quint8(i + 1))));
    QVERIFY(WriteFileBytes(m_fontDir + "/UPPER.BRF", FontFile(42)));
    m_settings->m_strFontDir = m_fontDir;
}

void TestFontLibrary::Reload(const QString& names)
{
    m_settings->m_strFontNames = names;
    m_program->prompt.texts.clear();
    QVERIFY(m_fonts->LoadFontLibrary(*m_settings));
    QCOMPARE(m_settings->m_strFontNames, names);
    QCOMPARE(int(m_fonts->m_astrFontNames.size()), m_fonts->m_nFontCount);
    QCOMPARE(int(m_fonts->m_pFonts.size()), m_fonts->m_nFontCount);
    QCOMPARE(int(m_fonts->m_pFontLoaded.size()), m_fonts->m_nFontCount);
}

void TestFontLibrary::slots_data()
{
    QTest::addColumn<QString>("names");
    QTest::addColumn<QStringList>("slotNames");
    QTest::addColumn<QList<int>>("marks"); // column of glyph 'A' in each slot

    QTest::newRow("default list") << "Arial Bold Decor Dos Elegant Italic Super Thin Times"
                                  << QStringList{"Arial",  "Bold",  "Decor", "Dos",  "Elegant",
                                                 "Italic", "Super", "Thin",  "Times"}
                                  << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("comma") << "Arial,Bold" << QStringList{"Arial", "Bold"} << QList<int>{1, 2};
    QTest::newRow("separators around and repeated")
        << "\t ,Arial\t\t, ,Bold ,\t" << QStringList{"Arial", "Bold"} << QList<int>{1, 2};
    QTest::newRow("same name twice")
        << "Thin Thin" << QStringList{"Thin", "Thin"} << QList<int>{8, 8};
    QTest::newRow("cyrillic name") << "Шрифт" << QStringList{"Шрифт"} << QList<int>{10};
    QTest::newRow("file name in another case") << "Upper" << QStringList{"Upper"} << QList<int>{42};

    QStringList many;
    QList<int> marks;
    for (int i = 0; i < 150; ++i) {
        many << (i % 2 ? "Elegant" : "Italic");
        marks << (i % 2 ? 5 : 6);
    }
    QTest::newRow("list longer than 1023 characters") << many.join(' ') << many << marks;
}

void TestFontLibrary::slots()
{
    QFETCH(QString, names);
    QFETCH(QList<int>, marks);
    // A directory written with a trailing separator names the same fonts.
    for (const QString& dir : {m_fontDir, m_fontDir + "/"}) {
        m_settings->m_strFontDir = dir;
        Reload(names);
        QTEST(m_fonts->m_astrFontNames, "slotNames");
        QCOMPARE(m_program->prompt.texts, QStringList());
        for (int i = 0; i < m_fonts->m_nFontCount; ++i) {
            QCOMPARE(m_fonts->m_pFontLoaded[i], 1);
            QCOMPARE(m_fonts->m_pFonts[i]->m_pGlyphs['A'].m_pCols[0], quint8(marks[i]));
        }
    }
}

void TestFontLibrary::failedFiles_data()
{
    QTest::addColumn<QByteArray>("broken"); // written as Broken.brf
    QTest::addColumn<QString>("names");
    QTest::addColumn<QStringList>("slotNames");
    QTest::addColumn<std::vector<int>>("loaded");
    QTest::addColumn<bool>("noneLoaded");

    QTest::newRow("third of five missing")
        << QByteArray() << "Arial Bold Missing Dos Thin"
        << QStringList{"Arial", "Bold", kPlaceholder, "Dos", "Thin"}
        << std::vector<int>{1, 1, 0, 1, 1} << false;
    QTest::newRow("only separators")
        << QByteArray() << " \t,, " << QStringList() << std::vector<int>() << true;
    const QList<std::pair<const char*, QByteArray>> broken{
        {"width 0", HexBytes("00080000") + QByteArray(256, '\0')},
        {"ends before the last record", FontFile(1).chopped(1)},
        {"record longer than the cell", HexBytes("0100000002AABB")}};
    for (const auto& [name, bytes] : broken) {
        QTest::addRow("%s, another loaded", name)
            << bytes << "Broken Arial" << QStringList{kPlaceholder, "Arial"}
            << std::vector<int>{0, 1} << false;
        QTest::addRow("%s, alone", name)
            << bytes << "Broken" << QStringList{kPlaceholder} << std::vector<int>{0} << true;
    }
}

void TestFontLibrary::failedFiles()
{
    QFETCH(QByteArray, broken);
    QFETCH(std::vector<int>, loaded);
    QFETCH(bool, noneLoaded);
    if (!broken.isNull())
        QVERIFY(WriteFileBytes(m_fontDir + "/Broken.brf", broken));
    QFETCH(QString, names);
    Reload(names);
    QTEST(m_fonts->m_astrFontNames, "slotNames");
    QCOMPARE(m_fonts->m_pFontLoaded, loaded);
    for (size_t i = 0; i < loaded.size(); ++i)
        QCOMPARE(m_fonts->m_pFonts[i]->m_pGlyphs == nullptr, loaded[i] == 0);
    QCOMPARE(
        m_program->prompt.texts,
        QStringList{noneLoaded ? kNoneLoaded + QDir::toNativeSeparators(m_fontDir) : kSomeMissing});
}

void TestFontLibrary::reloadResetsSelections()
{
    Reload("Arial Bold");
    m_settings->m_nCurFont = 1;
    m_settings->m_nCurI = 4;
    m_settings->m_nCurV = 3;
    m_settings->m_nCurScale = 2;
    m_settings->m_iValues.fill(7);
    m_settings->m_vValues.fill(7);
    m_settings->m_scaleValues.fill(7);
    Reload("Arial Bold");
    QCOMPARE(QList<int>({m_settings->m_nCurFont, m_settings->m_nCurI, m_settings->m_nCurV,
                         m_settings->m_nCurScale}),
             QList<int>({0, 0, 0, 0}));
    QCOMPARE(m_settings->m_iValues, (std::array<quint8, 10>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QCOMPARE(m_settings->m_vValues, (std::array<quint8, 5>{1, 2, 3, 4, 5}));
    QCOMPARE(m_settings->m_scaleValues, (std::array<int, 5>{1, 2, 3, 4, 5}));
}

QTEST_GUILESS_MAIN(TestFontLibrary)
#include "tst_fontlibrary.moc"
