#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

// The English translation cannot fall behind the code: lupdate runs over the sources into a copy
// of the translation file, so a text the code gained arrives unfinished and one it lost arrives
// vanished; every entry must then be finished and keep the source's placeholders.
class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();

private:
    struct Entry {
        QString context;
        QString source;
        QString type; // the translation's type attribute: empty when finished
        QStringList forms;
    };
    QList<Entry> m_entries;
};

namespace
{

QSet<QString> Placeholders(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("%L?(\\d+|n)"));
    QSet<QString> found;
    for (const auto& match : pattern.globalMatch(text))
        found.insert(match.captured(1));
    return found;
}

} // namespace

void TestTranslation::initTestCase()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("tavrix_en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(TAVRIX_SOURCE_DIR "/translations/tavrix_en.ts"), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    // With the include folder lupdate knows the classes, and so the contexts of their tr().
    QStringList args{QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-I"),
                     QStringLiteral(TAVRIX_SOURCE_DIR)};
    for (const QString& folder : QStringLiteral(TAVRIX_TEXT_FOLDERS).split(u','))
        args << QStringLiteral(TAVRIX_SOURCE_DIR "/") + folder;
    args << QStringLiteral("-ts") << copy;
    QProcess lupdate;
    lupdate.start(QStringLiteral(TAVRIX_LUPDATE), args);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message") {
            numerus = xml.attributes().value(QStringLiteral("numerus")) == u"yes";
        } else if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            m_entries.append({context, xml.readElementText(), {}, {}});
        } else if (xml.name() == u"translation") {
            m_entries.last().type = xml.attributes().value(QStringLiteral("type")).toString();
            if (numerus) // the <numerusform>s follow
                continue;
            m_entries.last().forms << xml.readElementText();
        } else if (xml.name() == u"numerusform") {
            m_entries.last().forms << xml.readElementText();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(m_entries.size() > 200);
}

void TestTranslation::everyTextIsTranslated_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("forms");
    int row = 0;
    for (const Entry& entry : m_entries)
        QTest::addRow("%d %s", ++row, qPrintable(entry.context))
            << entry.source << entry.type << entry.forms;
}

void TestTranslation::everyTextIsTranslated()
{
    QFETCH(QString, source);
    QFETCH(QString, type);
    QFETCH(QStringList, forms);
    QVERIFY2(type.isEmpty(), qPrintable(type + QStringLiteral(": ") + source));
    const QSet<QString> wanted = Placeholders(source);
    for (const QString& form : forms) {
        QVERIFY2(!form.trimmed().isEmpty(), qPrintable(source));
        QVERIFY2(Placeholders(form) == wanted, qPrintable(source + QStringLiteral(" -> ") + form));
    }
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
