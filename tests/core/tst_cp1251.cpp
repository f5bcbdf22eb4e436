#include "settings/cp1251.h"

#include <QTest>

class TestCp1251 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips();
    void knownCharacters_data();
    void knownCharacters();
    void outsideCodePage_data();
    void outsideCodePage();
};

// Two bytes sharing a character could not both come back, so this also proves the 256 characters
// distinct.
void TestCp1251::everyByteRoundTrips()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        all[b] = char(b);
        QCOMPARE(int(Cp1251::FromUnicode(Cp1251::ToUnicode(uchar(b)))), b);
    }
    const QString text = Cp1251::ToUnicode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(Cp1251::FromUnicode(text), all);
}

void TestCp1251::knownCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");

    QTest::newRow("Latin A") << 0x41 << 0x41;
    QTest::newRow("control 0x10 stays") << 0x10 << 0x10;
    QTest::newRow("capital A") << 0xC0 << 0x0410;
    QTest::newRow("small ya") << 0xFF << 0x044F;
    QTest::newRow("capital Yo") << 0xA8 << 0x0401;
    QTest::newRow("small yo") << 0xB8 << 0x0451;
    QTest::newRow("numero sign") << 0xB9 << 0x2116;
    QTest::newRow("euro sign") << 0x88 << 0x20AC;
    QTest::newRow("undefined 0x98") << 0x98 << 0x0098;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("Ukrainian ghe") << 0xA5 << 0x0490;
}

void TestCp1251::knownCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    QCOMPARE(int(Cp1251::ToUnicode(uchar(byte)).unicode()), codePoint);
    QCOMPARE(int(Cp1251::FromUnicode(QChar(char16_t(codePoint)))), byte);
}

void TestCp1251::outsideCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Chinese") << QStringLiteral("中") << QByteArray("?");
    QTest::newRow("C1 control other than 0x98") << QStringLiteral("\u0081") << QByteArray("?");
    QTest::newRow("Latin A with diaeresis") << QStringLiteral("Ä") << QByteArray("?");
    QTest::newRow("mixed") << QStringLiteral("Да中!") << QByteArray("\xC4\xE0?!");
    // One byte per UTF-16 unit keeps text positions and byte positions equal.
    QTest::newRow("outside the basic plane")
        << QStringLiteral("a\U0001F600b") << QByteArray("a??b");
}

void TestCp1251::outsideCodePage()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1251::FromUnicode(text), bytes);
}

QTEST_GUILESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
