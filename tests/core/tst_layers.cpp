#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

// The program's folders are layers: a file includes only from its own folder and from those below
// it. An include that runs back up (settings reaching for the port, the editor for the commands)
// is how the layers grew into each other before; this reads the include lines of the tree itself.
class TestLayers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void includesRunDownward_data();
    void includesRunDownward();
    void noTwoFilesIncludeEachOther();

private:
    QHash<QString, QSet<QString>> m_includes; // "editor/x.cpp" → {"fonts/exfont.h", ...}
};

const QStringList kFolders{"app", "cli", "editor", "device", "fonts", "settings"};

void TestLayers::initTestCase()
{
    const QDir root(QStringLiteral(TAVRIX_SOURCE_DIR));
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    for (const QString& folder : kFolders) {
        QDirIterator it(root.filePath(folder), {"*.h", "*.cpp"}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString name = folder + u'/' + it.fileName();
            auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext())
                m_includes[name].insert(matches.next().captured(1));
        }
    }
    QVERIFY(m_includes.size() > 50);
}

void TestLayers::includesRunDownward_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("below");
    QTest::newRow("app") << "app" << QStringList{"cli", "editor", "device", "fonts", "settings"};
    QTest::newRow("cli") << "cli" << QStringList{"device", "editor", "settings"};
    QTest::newRow("editor") << "editor" << QStringList{"fonts", "settings"};
    QTest::newRow("device") << "device" << QStringList{"settings"};
    QTest::newRow("fonts") << "fonts" << QStringList{"settings"};
    QTest::newRow("settings") << "settings" << QStringList{};
}

void TestLayers::includesRunDownward()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, below);
    QStringList upward;
    for (auto it = m_includes.cbegin(); it != m_includes.cend(); ++it) {
        if (!it.key().startsWith(folder + u'/'))
            continue;
        for (const QString& target : it.value()) {
            const QString targetFolder = target.section(u'/', 0, 0);
            if (target.contains(u'/') && targetFolder != folder &&
                kFolders.contains(targetFolder) && !below.contains(targetFolder))
                upward << it.key() + QStringLiteral(" → ") + target;
        }
    }
    upward.sort();
    QCOMPARE(upward, QStringList());
}

void TestLayers::noTwoFilesIncludeEachOther()
{
    QStringList circles;
    for (auto it = m_includes.cbegin(); it != m_includes.cend(); ++it) {
        for (const QString& target : it.value()) {
            if (target != it.key() && m_includes.value(target).contains(it.key()) &&
                it.key() < target)
                circles << it.key() + QStringLiteral(" ↔ ") + target;
        }
    }
    QCOMPARE(circles, QStringList());
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
