#pragma once

#include "editor/interactiveeditctrl.h"
#include "editor/messagecodec.h"
#include "editor/tavrixeditordoc.h"
#include "fakeprompt.h"
#include "settings/appsettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

// Device bytes as the device's manual prints them: "02 00 00 41 0D".
inline QByteArray Hex(const char* pairs)
{
    return QByteArray::fromHex(pairs);
}

inline QByteArray Stream(const CTavrixEditorDoc& doc)
{
    return QByteArray(reinterpret_cast<const char*>(doc.m_pData.get()), doc.m_nLength);
}

// A modal dialog runs its own event loop: the step runs inside it once the dialog is up.
template <class Dialog> void WhenModal(std::function<void(Dialog*)> step)
{
    QTimer::singleShot(0, [step] {
        QTRY_VERIFY(qobject_cast<Dialog*>(QApplication::activeModalWidget()));
        step(qobject_cast<Dialog*>(QApplication::activeModalWidget()));
        // A check that failed inside the step left the dialog up: closing it ends its modal loop,
        // so the test reports the failure instead of waiting for ever.
        if (QTest::currentTestFailed()) {
            while (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                open->reject();
        }
    });
}

inline void Click(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    button->click();
}

// The real edit control with its document and codec, on an empty program directory: what the
// editor view wires together, without a main window around it. A control never shown lays out no
// text.
class EditorFixture
{
public:
    explicit EditorFixture(bool shown = true)
    {
        edit.resize(400, 300);
        edit.setVisible(shown);
        edit.SetDocument(&doc);
        codec.SetDocument(&doc);
        prompt.texts.clear(); // the settings' complaints about the empty directory
    }

    void Decode(const QByteArray& stream)
    {
        std::copy(stream.cbegin(), stream.cend(), doc.m_pData.get());
        doc.m_nLength = int(stream.size());
        codec.DecodeDocument();
    }

    QByteArray Encode()
    {
        codec.EncodeText();
        return Stream(doc);
    }

    // A new message in the same widgets, as File > New gives one: making the widgets again costs
    // a fuzz target far more than its input does.
    void Reset()
    {
        doc.OnNewDocument();
        edit.SetLimitText(CInteractiveEditCtrl::kDefaultLimit);
        codec.DecodeDocument();
        prompt.texts.clear();
    }

    QTemporaryDir dir;
    FakePrompt prompt;
    AppSettings settings{prompt, dir.path()};
    CTavrixEditorDoc doc{settings, prompt};
    CInteractiveEditCtrl edit;
    CMessageCodec codec{edit, prompt};
};
