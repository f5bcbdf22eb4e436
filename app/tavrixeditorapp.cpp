#include "app/tavrixeditorapp.h"

#include "app/appresources.h"
#include "app/codispalsh.h"
#include "app/mainframe.h"
#include "editor/tavrixeditordoc.h"

#include <QIcon>

CTavrixEditorApp::CTavrixEditorApp(int& argc, char** argv, UiLanguage::Id language)
    : QApplication(argc, argv), m_bTranslated((UiLanguage::Install(language), true)),
      m_settings(m_prompt, ProgramLayout::Find(QCoreApplication::applicationDirPath()),
                 AppSettings::Access::ReadWrite,
                 [this](AppSettings& settings) { m_fonts.LoadFontLibrary(settings); })
{
    InitAppResources();
    setApplicationName(CMainFrame::kAppTitle);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
}

// The frame and the document go first; the settings file is written as m_settings goes.
CTavrixEditorApp::~CTavrixEditorApp()
{
    m_pMainFrame.reset();
    m_pDoc.reset();
}

// The standard buttons (Yes, No, Cancel) and dialogs speak Russian like the rest of the program
// when the system has Qt's Russian translation; without it they stay in English.
bool CTavrixEditorApp::InstallQtTranslation(QTranslator& translator)
{
    return UiLanguage::LoadQtTexts(translator, UiLanguage::Id::Russian) &&
           installTranslator(&translator);
}

CTavrixEditorApp* CTavrixEditorApp::Instance()
{
    return qobject_cast<CTavrixEditorApp*>(QCoreApplication::instance());
}

bool CTavrixEditorApp::InitInstance()
{
    {
        CoDiSpalsh splash;
        splash.exec();
    }
    m_pDoc = std::make_unique<CTavrixEditorDoc>(m_settings, m_prompt);
    m_pMainFrame = std::make_unique<CMainFrame>(m_settings, m_fonts, m_prompt, m_prompt, *m_pDoc);

    const QStringList args = arguments();
    if (args.size() > 1) {
        if (!m_pMainFrame->LoadFile(args.at(1)))
            return false;
    } else {
        m_pMainFrame->NewDocument();
    }
    m_pMainFrame->show();
    return true;
}

void CTavrixEditorApp::OnAppAbout()
{
    if (m_pMainFrame)
        m_pMainFrame->OnAppAbout();
}
