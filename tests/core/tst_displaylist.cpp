#include "device/displaylist.h"

#include <QTest>

namespace
{

// "name|port word|baud data stop parity list positions", one an entry.
QStringList Described(const CDisplayList& list)
{
    QStringList lines;
    for (const DisplayEntry& entry : list.Entries()) {
        const PortConfig& c = entry.config;
        lines << QStringLiteral("%1|%2|%3 %4 %5 %6")
                     .arg(entry.name, c.portName)
                     .arg(c.baudIndex)
                     .arg(c.dataBitsIndex)
                     .arg(c.stopBitsIndex)
                     .arg(c.parityIndex);
    }
    return lines;
}

} // namespace

class TestDisplayList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void roundTrip();
    void keepBroken();
};

// Each problem: "line|name|how its text begins".
void TestDisplayList::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("good file: BOM, CRLF, comments, defaults")
        << QByteArray("\xEF\xBB\xBF# список\r\n[Витрина 1]\r\nport = ttyUSB0\r\nbaud = 9600\r\n"
                      "data = 7\r\n stop = 1.5 \r\nParity = MARK\r\n; другое\n\n[Kassa]\n"
                      "port=tcp://10.0.0.5:4001\n")
        << QStringList{"Витрина 1|ttyUSB0|6 3 1 0", "Kassa|tcp://10.0.0.5:4001|3 4 2 1"}
        << QStringList{};
    QTest::newRow("broken entries skipped, the others kept")
        << QByteArray("[A]\nport = ttyS0\nbaud = 1234\n[B]\nport = ttyS1\n[C]\nbaud = 1200\n"
                      "[D]\nport = ttyS2\ncolour = red\n[E]\nport=ttyS3\nstop = 3\ndata = 4\n")
        << QStringList{"B|ttyS1|3 4 2 1"}
        << QStringList{"3|A|Скорость «1234» не поддерживается", "6|C|Не указан порт (port).",
                       "10|D|Неизвестный ключ «colour»",
                       "13|E|Значение stop = 3 не поддерживается; возможны: 1, 1.5, 2."};
    QTest::newRow("duplicate and empty names")
        << QByteArray("[Витрина]\nport=ttyS0\n[витрина]\nport=ttyS1\n[ ]\nport=ttyS2\n")
        << QStringList{"Витрина|ttyS0|3 4 2 1"}
        << QStringList{"3|витрина|Табло «витрина» уже есть в списке.", "5||Пустое имя табло."};
    QTest::newRow("malformed port words")
        << QByteArray("[Сеть]\nport = rfc2217://host\n[Пробел]\nport = tty S0\n[Пусто]\nport =\n")
        << QStringList{}
        << QStringList{"1|Сеть|«rfc2217://host» — не адрес сетевого порта.",
                       "3|Пробел|Неверное имя порта «tty S0»", "6|Пусто|Пустой порт."};
    QTest::newRow("stray, shapeless and repeated lines")
        << QByteArray("port = ttyS0\n[A]\nport=ttyS0\nport=ttyS1\n[B]\nнечто\nport=ttyS2\n")
        << QStringList{}
        << QStringList{"1||Строка до первого раздела", "4|A|Ключ «port» уже задан.",
                       "6|B|Строка не вида «ключ = значение»: «нечто»."};
    QTest::newRow("not UTF-8") << QByteArray("[\xC2\xE8\xF2\xF0\xE8\xED\xE0]\nport = ttyS0\n")
                               << QStringList{} << QStringList{"1||Файл не в кодировке UTF-8."};
}

void TestDisplayList::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, problems);
    CDisplayList list;
    list.Parse(bytes);
    QCOMPARE(Described(list), entries);
    QCOMPARE(list.Problems().size(), problems.size());
    for (qsizetype i = 0; i < problems.size(); ++i) {
        const CDisplayList::Problem& problem = list.Problems()[i];
        const QString got =
            QStringLiteral("%1|%2|%3").arg(problem.line).arg(problem.name, problem.text);
        QVERIFY2(got.startsWith(problems[i]), qPrintable(got));
    }
}

void TestDisplayList::roundTrip()
{
    CDisplayList list;
    QString why;
    QVERIFY(list.Add({QStringLiteral("Витрина 1"), PortConfig{"ttyUSB0", 6, 3, 1, 0}}, why));
    QVERIFY(list.Add({QStringLiteral("Hall"), PortConfig{}}, why));
    QVERIFY(!list.Add({QStringLiteral("hall"), PortConfig{}}, why));
    QVERIFY(!list.Add({QStringLiteral("Зал [2]"), PortConfig{}}, why));
    QVERIFY(!list.Add({QStringLiteral("Зал"), PortConfig{"ttyS0", 3, 0, 2, 1}}, why));
    const QByteArray bytes =
        "# Табло tavrix-editor: по разделу на табло, значения линии, не номера.\n"
        "# port: ttyUSB0, COM1, tcp://ХОСТ:ПОРТ, rfc2217://ХОСТ:ПОРТ\n"
        "# baud: 110 ... 56000; data: 5-8; stop: 1, 1.5, 2; parity: none, mark\n"
        "\n[Витрина 1]\nport = ttyUSB0\nbaud = 9600\ndata = 7\nstop = 1.5\nparity = mark\n"
        "\n[Hall]\nport = COM1\nbaud = 1200\ndata = 8\nstop = 2\nparity = none\n";
    QCOMPARE(list.Bytes(), bytes);
    CDisplayList read;
    read.Parse(bytes);
    QCOMPARE(read.Entries(), list.Entries());
    QVERIFY(read.Problems().isEmpty());
    QVERIFY(read.Remove(QStringLiteral("витрина 1")));
    QCOMPARE(Described(read), QStringList{"Hall|COM1|3 4 2 1"});
}

// Saved from the window, a list keeps its broken entries as they were written (a stray line as a
// comment), and an entry changed in place keeps its own name and position.
void TestDisplayList::keepBroken()
{
    CDisplayList list;
    list.Parse("ничего = 1\n[Зал]\nport = ttyS0\n[Склад]\r\nport = ttyS1\r\nbaud = 1234\r\n\n"
               "[Касса]\nport = ttyS2\n");
    QCOMPARE(list.Problems().size(), 2);
    QString why;
    QVERIFY(!list.Put(0, {QStringLiteral("касса"), PortConfig{}}, why));
    QCOMPARE(why, QStringLiteral("Табло «касса» уже есть в списке."));
    QVERIFY(list.Put(0, {QStringLiteral("ЗАЛ"), PortConfig{"ttyS5", 3, 4, 2, 1}}, why));
    QVERIFY(list.Put(-1, {QStringLiteral("Вход"), PortConfig{}}, why));
    const QByteArray bytes = list.Bytes(CDisplayList::KeepBroken);
    QVERIFY(bytes.endsWith("\n# ничего = 1\n\n[Склад]\nport = ttyS1\nbaud = 1234\n"));
    CDisplayList read;
    read.Parse(bytes);
    QCOMPARE(Described(read),
             QStringList({"ЗАЛ|ttyS5|3 4 2 1", "Касса|ttyS2|3 4 2 1", "Вход|COM1|3 4 2 1"}));
    QCOMPARE(read.Problems().size(), 1);
    QCOMPARE(read.Problems()[0].name, QStringLiteral("Склад"));
    QVERIFY(!list.Bytes().contains("Склад"));
}

QTEST_GUILESS_MAIN(TestDisplayList)
#include "tst_displaylist.moc"
