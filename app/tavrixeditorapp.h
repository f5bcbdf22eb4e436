#pragma once

#include "app/messageboxprompt.h"
#include "fonts/fontlibrary.h"
#include "settings/appsettings.h"
#include "settings/uilanguage.h"

#include <QApplication>
#include <QTranslator>
#include <memory>

class CMainFrame;
class CTavrixEditorDoc;

// The application: owns the settings and the device fonts they name for the whole run (read, with
// their messages, before any window exists; the settings written when the object is destroyed),
// then shows the splash, the document and the main frame.
class CTavrixEditorApp : public QApplication
{
    Q_OBJECT
public:
    CTavrixEditorApp(int& argc, char** argv, UiLanguage::Id language = UiLanguage::Id::Russian);
    ~CTavrixEditorApp() override;

    // Splash, document, frame and command line; false when the command line could not be
    // carried out and the program is to end.
    bool InitInstance();
    void OnAppAbout();

    static CTavrixEditorApp* Instance();
    AppSettings& Settings() { return m_settings; }
    CFontLibrary& Fonts() { return m_fonts; }
    IPrompt& Prompt() { return m_prompt; }
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    static bool InstallQtTranslation(QTranslator& translator);

private:
    bool m_bTranslated = false; // before m_settings: its messages already use the translation
    CMessageBoxPrompt m_prompt;
    CFontLibrary m_fonts; // before m_settings, which loads it once its file is read

public:
    AppSettings m_settings;

private:
    std::unique_ptr<CTavrixEditorDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
