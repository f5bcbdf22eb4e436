#include "fakeprompt.h"
#include "fonts/exfont.h"
#include "settings/appsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString kNoneLoaded = QStringLiteral("Не удается загрузить файлы шрифтов из : ");
const QString kSomeMissing = QStringLiteral("Не все файлы шрифтов удалось загрузить.");

// A small valid font whose glyph 'A' has `mark` as its one column, so a test can tell which
// file a slot was read from.
QByteArray FontFile(quint8 mark)
{
    QByteArray bytes = QByteArray::fromHex("01000000");
    for (int c = 0; c < 256; ++c) {
        bytes += char(c == 'A' ? 1 : 0);
        if (c == 'A')
            bytes += char(mark);
    }
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestFontLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void slots_data();
    void slots();
    void missingThirdOfFive();
    void onlySeparators();
    void unreadableFilesFail_data();
    void unreadableFilesFail();
    void caseInsensitiveFileName();
    void trailingSeparatorInDirectory();
    void reloadResetsSelections();

private:
    void Reload(const QString& names);

    QTemporaryDir* m_programDir = nullptr;
    QString m_fontDir;
    FakePrompt* m_prompt = nullptr;
    AppSettings* m_settings = nullptr;
};

void TestFontLibrary::init()
{
    m_programDir = new QTemporaryDir;
    QVERIFY(m_programDir->isValid());
    m_fontDir = m_programDir->filePath("Fonts");
    QVERIFY(QDir().mkpath(m_fontDir));
    const QStringList names{"Arial",  "Bold",  "Decor", "Dos",   "Elegant",
                            "Italic", "Super", "Thin",  "Times", "Шрифт"};
    for (int i = 0; i < names.size(); ++i)
        WriteFile(m_fontDir + "/" + names[i] + ".brf", FontFile(quint8(i + 1)));
    m_prompt = new FakePrompt;
    m_prompt->answers = {false}; // no settings file: keep the defaults
    m_settings = new AppSettings(*m_prompt, m_programDir->path());
    m_settings->m_strFontDir = m_fontDir;
    m_prompt->texts.clear();
}

void TestFontLibrary::cleanup()
{
    delete m_settings;
    delete m_prompt;
    delete m_programDir;
}

void TestFontLibrary::Reload(const QString& names)
{
    m_settings->m_strFontNames = names;
    m_prompt->texts.clear();
    QVERIFY(m_settings->LoadFontLibrary());
    QCOMPARE(m_settings->m_strFontNames, names);
    QCOMPARE(int(m_settings->m_astrFontNames.size()), m_settings->m_nFontCount);
    QCOMPARE(int(m_settings->m_pFonts.size()), m_settings->m_nFontCount);
    QCOMPARE(int(m_settings->m_pFontLoaded.size()), m_settings->m_nFontCount);
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
    QTest::newRow("comma between blanks")
        << "Arial , Bold" << QStringList{"Arial", "Bold"} << QList<int>{1, 2};
    QTest::newRow("separators around and repeated")
        << "\t ,Arial\t\t, ,Bold ,\t" << QStringList{"Arial", "Bold"} << QList<int>{1, 2};
    QTest::newRow("same name twice")
        << "Thin Thin" << QStringList{"Thin", "Thin"} << QList<int>{8, 8};
    QTest::newRow("cyrillic name") << "Шрифт" << QStringList{"Шрифт"} << QList<int>{10};

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
    QFETCH(QStringList, slotNames);
    QFETCH(QList<int>, marks);
    Reload(names);
    QCOMPARE(m_settings->m_astrFontNames, slotNames);
    QCOMPARE(m_prompt->texts, QStringList());
    for (int i = 0; i < m_settings->m_nFontCount; ++i) {
        QCOMPARE(m_settings->m_pFontLoaded[i], 1);
        QCOMPARE(m_settings->m_pFonts[i]->m_pGlyphs['A'].m_pCols[0], quint8(marks[i]));
    }
}

void TestFontLibrary::missingThirdOfFive()
{
    const QString names = "Arial Bold Missing Dos Thin";
    Reload(names);
    QCOMPARE(m_settings->m_nFontCount, 5);
    QCOMPARE(m_settings->m_pFontLoaded, (std::vector<int>{1, 1, 0, 1, 1}));
    QCOMPARE(m_settings->m_astrFontNames,
             (QStringList{"Arial", "Bold", AppSettings::kFontPlaceholder, "Dos", "Thin"}));
    QVERIFY(m_settings->m_pFonts[2]->m_pGlyphs == nullptr);
    QCOMPARE(m_prompt->texts, QStringList{kSomeMissing});
    QCOMPARE(AppSettings::kFontPlaceholder, QString("  " + QString(20, '-') + " "));
}

void TestFontLibrary::onlySeparators()
{
    Reload(" \t,, ");
    QCOMPARE(m_settings->m_nFontCount, 0);
    QCOMPARE(m_prompt->texts, QStringList{kNoneLoaded + QDir::toNativeSeparators(m_fontDir)});
}

void TestFontLibrary::unreadableFilesFail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("width 0") << QByteArray::fromHex("00080000") + QByteArray(256, '\0');
    QTest::newRow("ends before the last record") << FontFile(1).chopped(1);
    QTest::newRow("record longer than the cell") << QByteArray::fromHex("0100000002AABB");
}

void TestFontLibrary::unreadableFilesFail()
{
    QFETCH(QByteArray, bytes);
    WriteFile(m_fontDir + "/Broken.brf", bytes);
    Reload("Broken Arial");
    QCOMPARE(m_settings->m_pFontLoaded, (std::vector<int>{0, 1}));
    QCOMPARE(m_settings->m_astrFontNames.first(), AppSettings::kFontPlaceholder);
    QCOMPARE(m_prompt->texts, QStringList{kSomeMissing});

    Reload("Broken");
    QCOMPARE(m_prompt->texts, QStringList{kNoneLoaded + QDir::toNativeSeparators(m_fontDir)});
}

void TestFontLibrary::caseInsensitiveFileName()
{
    WriteFile(m_fontDir + "/UPPER.BRF", FontFile(42));
    Reload("Upper");
    QCOMPARE(m_settings->m_pFontLoaded, std::vector<int>{1});
    QCOMPARE(m_settings->m_pFonts[0]->m_pGlyphs['A'].m_pCols[0], quint8(42));
    QCOMPARE(m_settings->m_astrFontNames, QStringList{"Upper"});
}

void TestFontLibrary::trailingSeparatorInDirectory()
{
    m_settings->m_strFontDir = m_fontDir + "/";
    Reload("Arial");
    QCOMPARE(m_settings->m_pFontLoaded, std::vector<int>{1});
    QCOMPARE(m_prompt->texts, QStringList());
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
    QCOMPARE(m_settings->m_nCurFont, 0);
    QCOMPARE(m_settings->m_nCurI, 0);
    QCOMPARE(m_settings->m_nCurV, 0);
    QCOMPARE(m_settings->m_nCurScale, 0);
    QCOMPARE(m_settings->m_iValues, (std::array<quint8, 10>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QCOMPARE(m_settings->m_vValues, (std::array<quint8, 5>{1, 2, 3, 4, 5}));
    QCOMPARE(m_settings->m_scaleValues, (std::array<int, 5>{1, 2, 3, 4, 5}));
}

QTEST_GUILESS_MAIN(TestFontLibrary)
#include "tst_fontlibrary.moc"
