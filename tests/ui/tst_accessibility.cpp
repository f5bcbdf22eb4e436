#include "app/helpdlg.h"
#include "framefixture.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>

namespace
{

// Collects "object=name" for everything under iface, and the controls that have no name, or
// another name than their label's text (on one line, no colon), or their group's title.
void Walk(QAccessibleInterface* iface, QStringList& names, QStringList& faults)
{
    using A = QAccessible;
    const QObject* object = iface->object();
    const QString id = !object                          ? QString()
                       : object->objectName().isEmpty() ? object->metaObject()->className()
                                                        : object->objectName();
    const QString name = iface->text(A::Name);
    names << id + u'=' + name;
    if (iface->role() == A::PushButton && !iface->text(A::Description).isEmpty())
        names << id + u'=' + name + u'~' + iface->text(A::Description);
    const bool control =
        !iface->state().invisible && (qobject_cast<const QGroupBox*>(object) ||
                                      QList{A::PushButton, A::CheckBox, A::RadioButton, A::ComboBox,
                                            A::Table, A::SpinBox, A::EditableText}
                                          .contains(iface->role()));
    for (const auto& [label, relation] : iface->relations(A::Label)) {
        QString text = label->text(A::Name).simplified();
        text = text.endsWith(u':') ? text.chopped(1).trimmed() : text;
        if (control && (qobject_cast<QLabel*>(label->object()) ? name != text : name == text))
            faults << id + u'=' + name + QStringLiteral(" by ") + text;
    }
    if (control && name.isEmpty())
        faults << id + QStringLiteral(" has no name");
    for (int n = 0; n < iface->childCount(); ++n)
        Walk(iface->child(n), names, faults);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyControlNamedByItsLabel_data();
    void everyControlNamedByItsLabel();
    void previewByKeyboard_data();
    void previewByKeyboard();
};

void TestAccessibility::everyControlNamedByItsLabel_data()
{
    QTest::addColumn<int>("command"); // that opens the window; 0 for the main window
    QTest::addColumn<QString>("named");
    QTest::newRow("main window") << 0 << "list102=Шрифт";
    QTest::newRow("COM port") << int(C::ID_PORT_SETTINGS) << "otherPortList=Другой порт";
    QTest::newRow("device settings") << int(C::ID_DEVICE_SETTINGS) << "useList=Использование";
    QTest::newRow("editor settings")
        << int(C::ID_EDITOR_SETTINGS) << "fontDirEdit=Директория размещения файлов шрифтов";
    QTest::newRow("effects") << int(C::ID_EFFECTS) << "effectList=Спецэффекты";
    QTest::newRow("symbol set") << int(C::ID_INSERT_SYMBOL) << "insertButton=Вставить";
    QTest::newRow("about") << int(C::ID_APP_ABOUT) << "QPushButton=OK";
    QTest::newRow("help") << int(C::ID_HELP) << "QPushButton=Закрыть";
    QTest::newRow("list of displays")
        << int(C::ID_DISPLAY_LIST) << "checkButton1=Проверить~Открыть и закрыть порт табло «Зал»";
    QTest::newRow("journal") << int(C::ID_TRANSFER_JOURNAL) << "journalTable=Журнал передач";
}

// Qt on Linux names a list by the entry it shows, and by its label only while it shows none, as
// it does everywhere else: emptied, the lists are heard as on the program's home platform.
void TestAccessibility::everyControlNamedByItsLabel()
{
    QFETCH(int, command);
    QFETCH(QString, named);
    FrameFixture f;
    QVERIFY(f.Show());
    QVERIFY(
        !f.WriteFile(QStringLiteral("displays.ini"), "[Вход]\nport = ttyS0\n[Зал]\nport = ttyS1\n")
             .isEmpty());
    QStringList names;
    QStringList faults;
    const auto walk = [&](QWidget* window) {
        for (QComboBox* list : window->findChildren<QComboBox*>()) {
            const QSignalBlocker quiet(list);
            list->setEnabled(true); // a disabled list is read out too
            list->setCurrentIndex(-1);
            list->setEditText(QString());
        }
        Walk(QAccessible::queryAccessibleInterface(window), names, faults);
    };
    if (command != 0 && command != C::ID_HELP) {
        WhenModal<QDialog>([&](QDialog* dialog) {
            walk(dialog);
            dialog->reject();
        });
        f.Action(command)->trigger();
    } else {
        if (command)
            f.Action(command)->trigger();
        walk(command ? static_cast<QWidget*>(f.frame->findChild<CHelpDlg*>()) : f.frame.get());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    QVERIFY2(names.contains(named), qPrintable(names.join(u'\n')));
}

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
