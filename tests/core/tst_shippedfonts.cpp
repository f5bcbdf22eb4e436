#include "fonts/exfont.h"
#include "tempprogram.h"

#include <QFile>
#include <QTest>

namespace
{

const QStringList kShippedNames{"Arial",  "Bold",  "Decor", "Dos",  "Elegant",
                                "Italic", "Super", "Thin",  "Times"};

// Every code the device receives as visible text, and every device symbol.
QList<int> RequiredCodes()
{
    QList<int> codes;
    for (int c = 0x21; c <= 0x7E; ++c)
        codes << c;
    for (int c = 0xC0; c <= 0xFF; ++c)
        codes << c;
    codes << 0xA8 << 0xB8 << 0xB9;
    for (int c = 0x80; c <= 0xBF; ++c) {
        if (c != 0xA8 && c != 0xB8 && c != 0xB9)
            codes << c;
    }
    return codes;
}

bool HasLitDot(const CEXFont& font, int code)
{
    for (int x = 0; x < font.m_pGlyphs[code].m_nLen; ++x) {
        if (font.m_pGlyphs[code].m_pCols[x] != 0)
            return true;
    }
    return false;
}

} // namespace

class TestShippedFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCharacterDrawn_data();
    void everyCharacterDrawn();
    void defaultListLoadsWithoutMessage();
};

void TestShippedFonts::everyCharacterDrawn_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : kShippedNames)
        QTest::newRow(qPrintable(name)) << name;
}

void TestShippedFonts::everyCharacterDrawn()
{
    QFETCH(QString, name);
    QFile file(QStringLiteral(TAVRIX_FONTS_DIR "/") + name + ".brf");
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    CEXFont font;
    QVERIFY(font.Serialize(file, false));
    for (const int code : RequiredCodes())
        QVERIFY2(HasLitDot(font, code), qPrintable(QString::number(code, 16)));
    QVERIFY2(font.m_pGlyphs[' '].m_nLen > 0, "the blank needs width");
    QVERIFY(!HasLitDot(font, ' '));
}

void TestShippedFonts::defaultListLoadsWithoutMessage()
{
    TempProgram program(QStringLiteral(TAVRIX_FONTS_DIR));
    program.fonts.LoadFontLibrary(*program.settings);
    QCOMPARE(program.fonts.m_astrFontNames, kShippedNames);
    QCOMPARE(program.fonts.m_pFontLoaded, std::vector<int>(9, 1));
    QCOMPARE(program.prompt.texts, QStringList());
}

QTEST_GUILESS_MAIN(TestShippedFonts)
#include "tst_shippedfonts.moc"
