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
    void save_data();
    void save();
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
    QTest::newRow("what could only fail later")
        << QByteArray("[A]\nport = \"ttyUSB1\"\n[B]\nport = COM01\n[C]\nport = tcp://h:04001\n"
                      "[D]\nport = COM10\n[E]\nport = ttyUSB0\r1\n")
        << QStringList{"D|COM10|3 4 2 1"}
        << QStringList{"1|A|Порт «\"ttyUSB1\"» записан в кавычках: пишется без них.",
                       "3|B|Номер порта в «COM01» начинается с нуля",
                       "5|C|Номер порта в «tcp://h:04001» начинается с нуля",
                       "9|E|Неверное имя порта «ttyUSB0\\r1»"};
    QTest::newRow("parity check, the old key its synonym")
        << QByteArray(
               "[A]\nport = ttyS0\nparity-check = off\n[B]\nport = ttyS1\nParity-Check = ON\n"
               "[C]\nport = ttyS2\nparity = none\nparity-check = on\n[D]\nport = ttyS3\n"
               "parity-check = none\n")
        << QStringList{"A|ttyS0|3 4 2 0", "B|ttyS1|3 4 2 1"}
        << QStringList{"10|C|Ключ «parity-check» уже задан.",
                       "13|D|Значение parity-check = none не поддерживается; возможны: off, on."};
    QTest::newRow("not UTF-8") << QByteArray("[\xC2\xE8\xF2\xF0\xE8\xED\xE0]\nport = ttyS0\n")
                               << QStringList{} << QStringList{"1||Файл не в кодировке UTF-8."};
    QTest::newRow("UTF-8 cut short at the end")
        << QByteArray("[Зал]\nport = ttyS0\n# \xD0") << QStringList{}
        << QStringList{"1||Файл не в кодировке UTF-8."};
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
        "# baud: 110 ... 56000; data: 5-8; stop: 1, 1.5, 2; parity-check: on, off\n"
        "# (бит четности всегда передается единицей, mark)\n"
        "\n[Витрина 1]\nport = ttyUSB0\nbaud = 9600\ndata = 7\nstop = 1.5\nparity-check = off\n"
        "\n[Hall]\nport = COM1\nbaud = 1200\ndata = 8\nstop = 2\nparity-check = on\n";
    QCOMPARE(list.Bytes(), bytes);
    CDisplayList read;
    read.Parse(bytes);
    QCOMPARE(read.Entries(), list.Entries());
    QVERIFY(read.Problems().isEmpty());
    QVERIFY(read.Remove(QStringLiteral("витрина 1")));
    QCOMPARE(Described(read), QStringList{"Hall|COM1|3 4 2 1"});
}

// Each row: a file, what the window does to it ("put ROW NAME PORT", "add NAME PORT", "remove
// NAME", "drop PROBLEM", "mend PROBLEM NAME PORT"; ';' between steps) and the file it saves, broken
// entries kept: the comments, the order, the line ends and a broken entry's bytes stay as written.
void TestDisplayList::save_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray hand = "# added by hand\n[Зал]\nport = ttyS0\n\n[Склад]\nport = ttyS1\n"
                            "baud = 1234\n\n# касса\n[Касса]\n# у входа\nbaud = 9600\n"
                            "port = ttyS2\nparity = mark\n";
    QTest::newRow("nothing changed") << hand << QString() << hand;
    QTest::newRow("changed in place, comments kept")
        << hand << "put 1 КАССА ttyS9"
        << QByteArray("# added by hand\n[Зал]\nport = ttyS0\n\n[Склад]\nport = ttyS1\n"
                      "baud = 1234\n\n# касса\n[КАССА]\n# у входа\nbaud = 1200\n"
                      "port = ttyS9\nparity-check = on\ndata = 8\nstop = 2\n");
    QTest::newRow("removed and added, the comments around stay")
        << hand << "remove Зал;add Вход COM2;drop 0"
        << QByteArray("# added by hand\n\n\n# касса\n[Касса]\n# у входа\nbaud = 9600\n"
                      "port = ttyS2\nparity = mark\n\n[Вход]\nport = COM2\nbaud = 1200\n"
                      "data = 8\nstop = 2\nparity-check = on\n");
    QTest::newRow("a broken entry mended where it stood")
        << QByteArray("[Зал]\nport = ttyS0\n[Склад]\n# у ворот\nport = ttyS1\nbaud = 1234\n"
                      "port = ttyS2\n[Касса]\nport = ttyS3\n")
        << "mend 0 Склад ttyS1"
        << QByteArray("[Зал]\nport = ttyS0\n[Склад]\n# у ворот\nport = ttyS1\nbaud = 1200\n"
                      "data = 8\nstop = 2\nparity-check = on\n[Касса]\nport = ttyS3\n");
    QTest::newRow("a lone CR in a broken entry kept")
        << QByteArray("[Склад]\r\nport = ttyUSB0\r1\r\n[Зал]\r\nport = ttyS0") << "put 0 Зал ttyS3"
        << QByteArray("[Склад]\r\nport = ttyUSB0\r1\r\n[Зал]\r\nport = ttyS3\r\nbaud = 1200\r\n"
                      "data = 8\r\nstop = 2\r\nparity-check = on\r\n");
    QTest::newRow("stray line and BOM kept, name changed")
        << QByteArray("\xEF\xBB\xBF[A]\nport = ttyS0\nстрока\n[B]\nport = ttyS1\n")
        << "put 0 Б ttyS1;add A ttyS5"
        << QByteArray("\xEF\xBB\xBF[A]\nport = ttyS0\nстрока\n[Б]\nport = ttyS1\nbaud = 1200\n"
                      "data = 8\nstop = 2\nparity-check = on\n\n[A]\nport = ttyS5\nbaud = 1200\n"
                      "data = 8\nstop = 2\nparity-check = on\n");
}

void TestDisplayList::save()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, steps);
    QFETCH(QByteArray, saved);
    CDisplayList list;
    list.Parse(bytes);
    const QList<CDisplayList::Problem> problems = list.Problems();
    for (const QString& step : steps.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = step.split(u' ');
        QString why;
        if (words[0] == u"put")
            QVERIFY2(list.Put(words[1].toInt(), {words[2], PortConfig{words[3], 3, 4, 2, 1}}, why),
                     qPrintable(why));
        else if (words[0] == u"add")
            QVERIFY2(list.Add({words[1], PortConfig{words[2], 3, 4, 2, 1}}, why), qPrintable(why));
        else if (words[0] == u"mend")
            QVERIFY2(
                list.Mend(words[1].toInt(), {words[2], PortConfig{words[3], 3, 4, 2, 1}}, why) >= 0,
                qPrintable(why));
        else if (words[0] == u"remove")
            QVERIFY(list.Remove(words[1]));
        else
            list.RemoveProblem(words[1].toInt());
    }
    QCOMPARE(list.Bytes(CDisplayList::KeepBroken), saved);
    CDisplayList read;
    read.Parse(saved);
    QCOMPARE(read.Entries(), list.Entries());
    QCOMPARE(read.Problems().size(), list.Problems().size());
    for (qsizetype i = 0; i < read.Problems().size(); ++i)
        QCOMPARE(read.Problems()[i].text, list.Problems()[i].text);
}

QTEST_GUILESS_MAIN(TestDisplayList)
#include "tst_displaylist.moc"
