#include "framefixture.h"

#include <QAccessible>

class TestAccessibility : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void previewByKeyboard_data();
    void previewByKeyboard();
};

void TestAccessibility::previewByKeyboard_data()
{
    using A = QAccessible;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("keys"); // from the text
    QTest::addColumn<A::Role>("role");      // of the control with the focus
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("described");
    QTest::newRow("pane switch reaches the button")
        << "" << QKeySequence("F6") << A::PushButton << "Пуск"
        << "пауза";
    QTest::newRow("Space starts") << "Хлеб 45,90" << QKeySequence("F6, Space") << A::PushButton
                                  << "Пауза"
                                  << "Хлеб 45,90 — идет показ";
    QTest::newRow("Space again stops")
        << "Хлеб" << QKeySequence("F6, Space, Space") << A::PushButton << "Пуск"
        << "Хлеб — пауза";
    QTest::newRow("Tab to the width")
        << "" << QKeySequence("F6, Tab") << A::SpinBox << "Ширина табло"
        << "пауза";
    QTest::newRow("Space on the picture, the next line in it")
        << "A\nB" << QKeySequence("F6, Tab, Tab, Space") << A::Graphic << "Изображение табло"
        << "B — идет показ";
    QTest::newRow("Space in the width field")
        << "" << QKeySequence("F6, Tab, Space") << A::SpinBox << "Ширина табло"
        << "идет показ";
    QTest::newRow("back to the text")
        << "" << QKeySequence("F6, Shift+F6") << A::EditableText << "Текст сообщения"
        << "пауза";
}

void TestAccessibility::previewByKeyboard()
{
    QFETCH(QString, text);
    QFETCH(QKeySequence, keys);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, focused);
    QFETCH(QString, described);
    FrameFixture f;
    QVERIFY(f.Show());
    f.frame->LowerView()->SetDisplayWidth(8); // a line runs through in a few tenths of a second
    f.Edit().insertPlainText(text);
    for (int n = 0; n < keys.count(); ++n)
        QTest::keyClick(QApplication::focusWidget(), keys[n].key(), keys[n].keyboardModifiers());
    QAccessibleInterface* focus =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    QCOMPARE(focus->role(), role);
    QCOMPARE(focus->text(QAccessible::Name), focused);
    QTRY_COMPARE(QAccessible::queryAccessibleInterface(f.frame->findChild<QWidget*>("previewPanel"))
                     ->text(QAccessible::Description),
                 described);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
