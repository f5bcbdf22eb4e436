#pragma once

#include "app/commandtable.h"
#include "app/mainframe.h"
#include "app/savequestion.h"
#include "device/serialport.h"
#include "editor/tavrixeditorview.h"
#include "editor/tavrixview.h"
#include "editorfixture.h"
#include "fonts/fontlibrary.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <memory>

using C = CommandTable;

// Answers the save-changes question from a script (No when the script runs out).
class FakeSaveQuestion : public ISaveQuestion
{
public:
    Answer AskSaveChanges(const QString& text) override
    {
        texts << text;
        return answers.isEmpty() ? No : answers.takeFirst();
    }

    QStringList texts;
    QList<Answer> answers;
};

// A main frame on its own program directory (with the shipped fonts) and its own user profile,
// built without the application object.
class FrameFixture
{
public:
    explicit FrameFixture(int maxSym = 0, IPrompt* framePrompt = nullptr)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("Fonts")));
        const QDir shipped(QStringLiteral(TAVRIX_FONTS_DIR));
        for (const QString& name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("Fonts/") + name));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("profile")));
#ifdef _WIN32
        // There the profile is in the registry, whatever path is set: each test starts it empty.
        QSettings(AppSettings::kProfileOrganization, AppSettings::kProfileApplication).clear();
#endif
        settings = std::make_unique<AppSettings>(
            prompt, dir.path(), [this](AppSettings& read) { fonts.LoadFontLibrary(read); });
        if (maxSym > 0)
            settings->m_nMaxSym = maxSym;
        IPrompt& shown = framePrompt ? *framePrompt : prompt;
        doc = std::make_unique<CTavrixEditorDoc>(*settings, shown);
        frame = std::make_unique<CMainFrame>(*settings, fonts, shown, question, *doc);
        frame->NewDocument();
        prompt.texts.clear();
    }

    bool Show()
    {
        frame->show();
        frame->activateWindow();
        return QTest::qWaitForWindowActive(frame.get());
    }

    CTavrixEditorView& View()
    {
        return *frame->EditorView();
    }
    CInteractiveEditCtrl& Edit()
    {
        return frame->EditorView()->Edit();
    }
    QAction* Action(int id)
    {
        return frame->Action(id);
    }
    QComboBox* List(int id)
    {
        return frame->findChild<QComboBox*>(QStringLiteral("list%1").arg(id));
    }
    bool Enabled(int id)
    {
        return frame->Action(id)->isEnabled();
    }

    // Opens the list, moves to the entry and picks it with Enter: one choice.
    static void Choose(QComboBox* list, int index)
    {
        list->showPopup();
        QAbstractItemView* view = list->view();
        view->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
    }

    // Types the text; a line feed is the Enter key.
    static void Type(QWidget* widget, const QString& text)
    {
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype n = 0; n < lines.size(); ++n) {
            if (n > 0)
                QTest::keyClick(widget, Qt::Key_Return);
            QTest::keyClicks(widget, lines.at(n));
        }
    }

    void UsePort(const QString& name)
    {
        settings->m_port.portName = name;
    }

    // No transfer left the configured port held: another holder can open it now.
    bool PortFree() const
    {
        CSerialPort other;
        other.SetConfig(settings->m_port);
        const bool opened = other.Open();
        other.Close();
        return opened;
    }

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString Title() const
    {
        return frame->windowTitle();
    }

    QTemporaryDir dir;
    FakePrompt prompt;
    FakeSaveQuestion question;
    CFontLibrary fonts;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<CTavrixEditorDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};
