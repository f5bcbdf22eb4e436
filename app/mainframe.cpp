#include "app/mainframe.h"

#include "app/aboutdlg.h"
#include "app/appresources.h"
#include "app/commandtable.h"
#include "app/devicecommands.h"
#include "app/helpdlg.h"
#include "app/openprogress.h"
#include "app/savequestion.h"
#include "device/multitransferdlg.h"
#include "device/serialport.h"
#include "device/transferstatusdlg.h"
#include "editor/tavrixeditordoc.h"
#include "editor/tavrixeditorview.h"
#include "editor/tavrixview.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"
#include "settings/uilanguage.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSaveFile>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

const QString CMainFrame::kAppTitle = QStringLiteral("Tavrix Editor");
QString CMainFrame::IdleText()
{
    return tr("Для получения помощи нажмите F1.");
}

QString CMainFrame::StopTransferQuestion()
{
    return tr("Идет передача данных в устройство. Прервать передачу и закрыть программу?");
}

const QString CMainFrame::kFileFilter = QStringLiteral("Tavrix Files (*.tvd)");
const QString CMainFrame::kPictureFilter = QStringLiteral("PNG (*.png)");

namespace
{

const QString kRecentGroup = QStringLiteral("Recent File List");

QString LocalFileOf(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

// The command table keeps its texts in the source language.
QString TableText(const QString& text)
{
    return QCoreApplication::translate("CommandTable", text.toUtf8().constData());
}

} // namespace

QString CMainFrame::SaveChangesQuestion(const QString& title)
{
    return tr("Сохранить изменения в %1?").arg(title);
}

QString CMainFrame::CannotOpenText(const QString& path, const QString& reason)
{
    return tr("Не удается открыть документ %1.\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString CMainFrame::CannotSaveText(const QString& path, const QString& reason)
{
    return tr("Не удается сохранить документ %1.\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString CMainFrame::SavedShortenedText(int kept, qint64 total)
{
    return tr("Сообщение не помещается в память устройства: сохранено только %1 "
              "байт из %2.")
        .arg(kept)
        .arg(total);
}

QString CMainFrame::SaveCutFileQuestion(int kept, qint64 total)
{
    return tr("Файл длиннее допустимого размера сообщения (MAXSYM): будет сохранено "
              "только %1 байт из %2.\nСохранить сокращенное сообщение?")
        .arg(kept)
        .arg(total);
}

CMainFrame::CMainFrame(AppSettings& settings, CFontLibrary& fonts, IPrompt& prompt,
                       ISaveQuestion& question, CTavrixEditorDoc& doc, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_fonts(fonts), m_prompt(prompt),
      m_question(question), m_doc(doc)
{
    InitAppResources();
    OnCreate();
    OnCreateClient();
    setAcceptDrops(true);
    resize(800, 560);

    connect(&m_doc, &CTavrixEditorDoc::titleChanged, this, &CMainFrame::UpdateTitle);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    connect(m_pEditorView, &CTavrixEditorView::commandStateChanged, this,
            &CMainFrame::UpdateCommandUI);
    UpdateRecentFileActions();
    UpdateTitle();
    UpdateCommandUI();
}

CMainFrame::~CMainFrame()
{
    // Closing the window while the widgets go down moves the focus; this object is gone by then.
    disconnect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    if (m_bTracking)
        qApp->removeEventFilter(this);
}

void CMainFrame::OnCreate()
{
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
}

void CMainFrame::OnCreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    m_wndSplitter->setChildrenCollapsible(false);
    m_pEditorView = new CTavrixEditorView(m_settings, m_fonts, m_prompt, m_doc, m_wndSplitter);
    m_pEditorView->SetToolbarLists({m_wndFontCombo, m_wndICombo, m_wndVCombo, m_wndScaleCombo});
    m_pLowerView = new CTavrixView(m_fonts, m_wndSplitter);
    m_pDeviceCommands = new CDeviceCommands(m_settings, m_prompt, *m_pEditorView, this);
    m_wndSplitter->addWidget(m_pEditorView);
    m_wndSplitter->addWidget(m_pLowerView);
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_wndSplitter);
    m_pActivePane = m_pEditorView;
    m_pLowerView->SetStreamSource([this] { return m_pEditorView->PreviewWork(); });
    connect(m_pEditorView, &CTavrixEditorView::previewStale, m_pLowerView,
            &CTavrixView::ScheduleUpdate);
    // Refilling the list on a font-library reload selects its first entry, and so 100 % again.
    connect(m_wndScaleCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < int(m_settings.m_scaleValues.size()))
            m_pLowerView->SetScale(m_settings.m_scaleValues[size_t(index)] * 100);
    });
    // A file dropped on the text opens like one dropped on the frame.
    m_pEditorView->Edit().viewport()->installEventFilter(this);
}

void CMainFrame::CreateActions()
{
    for (const CommandTable::Command& command : CommandTable::Commands()) {
        auto* action = new QAction(TableText(command.caption), this);
        action->setObjectName(QStringLiteral("command%1").arg(command.id));
        action->setData(command.id);
        action->setShortcuts(command.shortcuts);
        action->setStatusTip(TableText(command.prompt));
        action->setToolTip(TableText(command.tooltip));
        if (!command.icon.isEmpty()) {
            const QIcon own(command.icon);
            action->setIcon(command.theme.isEmpty() ? own : QIcon::fromTheme(command.theme, own));
        }
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        addAction(action); // accelerators work whether or not a menu shows the command
        m_actions.insert(id, action);
    }
    m_actions[CommandTable::ID_EDIT_UNDO]->setEnabled(false);
    m_actions[CommandTable::ID_FILE_MRU_FILE1]->setEnabled(false);
    for (int id : {int(CommandTable::ID_VIEW_TOOLBAR), int(CommandTable::ID_VIEW_STATUS_BAR)}) {
        m_actions[id]->setCheckable(true);
        m_actions[id]->setChecked(true);
    }
    for (int n = 0; n < kMaxRecentFiles; ++n) {
        auto* action = new QAction(this);
        action->setStatusTip(
            TableText(CommandTable::Find(CommandTable::ID_FILE_MRU_FILE1)->prompt));
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, n] { OpenRecentFile(n); });
        m_recentActions << action;
    }
}

void CMainFrame::CreateMenus()
{
    for (const CommandTable::Menu& entry : CommandTable::Menus()) {
        QMenu* menu = menuBar()->addMenu(TableText(entry.title));
        menu->setSeparatorsCollapsible(false); // "Файл" has two separators in a row
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        for (int id : entry.items) {
            if (id == CommandTable::kSeparator) {
                menu->addSeparator();
            } else {
                if (id == CommandTable::ID_FILE_MRU_FILE1) {
                    m_pFileMenu = menu;
                    menu->addActions(m_recentActions);
                }
                menu->addAction(m_actions.value(id));
            }
        }
        if (entry.items.front() == CommandTable::ID_VIEW_TOOLBAR)
            AddLanguageMenu(menu);
    }
}

// Each language is named in its own words. The texts of a window are made as it opens, so the
// choice is kept for the next start rather than half-applied to the windows already open.
void CMainFrame::AddLanguageMenu(QMenu* viewMenu)
{
    viewMenu->addSeparator();
    QMenu* menu = viewMenu->addMenu(tr("Язык (Language)"));
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const std::pair<UiLanguage::Id, QString> languages[] = {
        {UiLanguage::Id::Russian, QStringLiteral("Русский")},
        {UiLanguage::Id::English, QStringLiteral("English")},
    };
    const UiLanguage::Id stored = UiLanguage::Stored();
    for (const auto& [id, name] : languages) {
        QAction* action = menu->addAction(name);
        action->setCheckable(true);
        action->setChecked(id == stored);
        action->setStatusTip(tr("Язык сменится при следующем запуске."));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language = id] {
            if (language == UiLanguage::Stored())
                return;
            UiLanguage::Store(language);
            m_prompt.Inform(tr("Язык сменится при следующем запуске."));
        });
    }
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(tr("Панель управления"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setIconSize(QSize(20, 20));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    for (int id : CommandTable::ToolBar()) {
        if (id == CommandTable::kSeparator) {
            m_wndToolBar->addSeparator();
            continue;
        }
        const auto& places = CommandTable::ListPlaces();
        const auto place = std::find_if(places.begin(), places.end(),
                                        [id](const auto& p) { return p.placeId == id; });
        if (place == places.end()) {
            m_wndToolBar->addAction(m_actions.value(id));
            continue;
        }
        QComboBox* list = EmbedList(place->listId, place->width, place->dropDownHeight);
        list->setAccessibleName(TableText(place->name));
        QAction* holder = m_wndToolBar->addWidget(list);
        holder->setData(place->placeId);
    }

    QAction* toggle = m_actions[CommandTable::ID_VIEW_TOOLBAR];
    connect(toggle, &QAction::toggled, m_wndToolBar, &QToolBar::setVisible);
    connect(m_wndToolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

QComboBox* CMainFrame::EmbedList(int listId, int width, int dropDownHeight)
{
    auto* list = new QComboBox(m_wndToolBar);
    list->setObjectName(QStringLiteral("list%1").arg(listId));
    list->setEditable(false);
    list->setFixedWidth(width);
    list->setProperty("dropDownHeight", dropDownHeight);
    // The open list never reaches further down than the drop-down height.
    QWidget* popup = list->view()->window();
    popup->setMaximumHeight(dropDownHeight);
    const int rowHeight =
        qMax(1, list->view()->sizeHintForRow(0) > 0 ? list->view()->sizeHintForRow(0)
                                                    : list->fontMetrics().height() + 4);
    list->setMaxVisibleItems(qMax(1, dropDownHeight / rowHeight));
    connect(list, &QComboBox::activated, this,
            [this, listId](int index) { OnListSelChange(listId, index); });
    // Every change of these lists inserts a code: the wheel passing over one must not.
    list->installEventFilter(this);
    switch (listId) {
    case CommandTable::ID_SCALE_COMBO:
        m_wndScaleCombo = list;
        break;
    case CommandTable::ID_FONT_COMBO:
        m_wndFontCombo = list;
        break;
    case CommandTable::ID_I_COMBO:
        m_wndICombo = list;
        break;
    case CommandTable::ID_V_COMBO:
        m_wndVCombo = list;
        break;
    }
    return list;
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    m_pIdleText = new QLabel(IdleText(), bar);
    m_pIdleText->setObjectName(QStringLiteral("idleText"));
    bar->addWidget(m_pIdleText, 1);
    m_pPortPane = new QLabel(bar);
    m_pPortPane->setObjectName(QStringLiteral("portPane"));
    m_pPortPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addPermanentWidget(m_pPortPane);
    UpdatePortPane();
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(text), bar);
        indicator->setObjectName(QStringLiteral("indicator") + QString::fromLatin1(text));
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(text) + 12);
        // The lock states cannot be read portably; the panes keep their place and text.
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
        m_indicators << indicator;
    }
    QAction* toggle = m_actions[CommandTable::ID_VIEW_STATUS_BAR];
    connect(toggle, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::UpdatePortPane()
{
    m_pPortPane->setText(CSerialPort::Describe(m_settings.m_port));
}

void CMainFrame::OnCommand(int id)
{
    if (CommandTable::IsViewCommand(id)) {
        if (m_pActivePane == m_pEditorView) {
            if (!m_pDeviceCommands->OnCommand(id))
                OnEditorCommand(id);
        }
        UpdateCommandUI();
        return;
    }
    switch (id) {
    case CommandTable::ID_FILE_NEW:
        OnFileNew();
        break;
    case CommandTable::ID_FILE_OPEN:
        OnFileOpen();
        break;
    case CommandTable::ID_FILE_SAVE:
        OnFileSave();
        break;
    case CommandTable::ID_FILE_SAVE_AS:
        OnFileSaveAs();
        break;
    case CommandTable::ID_APP_EXIT:
        close();
        break;
    case CommandTable::ID_WINDOW_SPLIT:
        OnSplitterTrack();
        break;
    case CommandTable::ID_APP_ABOUT:
        OnAppAbout();
        break;
    case CommandTable::ID_SAVE_PICTURE:
        OnSavePicture();
        break;
    case CommandTable::ID_TRANSFER_JOURNAL:
        m_pDeviceCommands->OnTransferJournal();
        break;
    case CommandTable::ID_HELP_FINDER:
    case CommandTable::ID_HELP:
    case CommandTable::ID_CONTEXT_HELP:
    case CommandTable::ID_DEFAULT_HELP:
        OnHelp();
        break;
    case CommandTable::ID_NEXT_PANE:
    case CommandTable::ID_PREV_PANE:
        OnNextPane(); // with two panes the next one is also the previous one
        break;
    default:
        break;
    }
}

void CMainFrame::OnSavePicture()
{
    QString path = QFileDialog::getSaveFileName(this, tr("Сохранить изображение табло"), QString(),
                                                kPictureFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    QString error;
    if (!SavePicture(path, &error))
        m_prompt.Inform(CannotSavePictureText(path, error));
}

bool CMainFrame::SavePicture(const QString& path, QString* error)
{
    m_pLowerView->UpdateNow();
    const QImage image = m_pLowerView->StillImage();
    if (image.isNull()) {
        *error = tr("Изображение слишком велико.");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString CMainFrame::CannotSavePictureText(const QString& path, const QString& reason)
{
    return tr("Не удается сохранить изображение табло %1.\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

void CMainFrame::OnEditorCommand(int id)
{
    switch (id) {
    case CommandTable::ID_EDIT_COPY:
        m_pEditorView->OnEditCopy();
        break;
    case CommandTable::ID_EDIT_CUT:
        m_pEditorView->OnEditCut();
        break;
    case CommandTable::ID_EDIT_PASTE:
        m_pEditorView->OnEditPaste();
        break;
    case CommandTable::ID_INSERT_SYMBOL:
        m_pEditorView->OnInsertSymbol();
        break;
    case CommandTable::ID_EFFECTS:
        m_pEditorView->OnEffects();
        break;
    case CommandTable::ID_EDITOR_SETTINGS:
        m_pEditorView->OnEditorSettings();
        break;
    default:
        break;
    }
}

bool CMainFrame::IsEditorCommandEnabled(int id)
{
    if (CDeviceCommands::Handles(id))
        return m_pDeviceCommands->IsCommandEnabled(id);
    switch (id) {
    case CommandTable::ID_EDIT_COPY:
    case CommandTable::ID_EDIT_CUT:
        return m_pEditorView->HasSelectedText();
    case CommandTable::ID_EDIT_PASTE:
        return m_pEditorView->CanPaste();
    case CommandTable::ID_INSERT_SYMBOL:
    case CommandTable::ID_EFFECTS:
        return m_pEditorView->CanInsertAtCaret();
    case CommandTable::ID_EDITOR_SETTINGS:
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnListSelChange(int listId, int index)
{
    if (m_pActivePane != m_pEditorView)
        return;
    switch (listId) {
    case CommandTable::ID_FONT_COMBO:
        m_pEditorView->OnListSelChange(CTavrixEditorView::CodeList::Font, index);
        break;
    case CommandTable::ID_I_COMBO:
        m_pEditorView->OnListSelChange(CTavrixEditorView::CodeList::I, index);
        break;
    case CommandTable::ID_V_COMBO:
        m_pEditorView->OnListSelChange(CTavrixEditorView::CodeList::V, index);
        break;
    default:
        break;
    }
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now)
{
    if (!now)
        return;
    if (m_pEditorView->isAncestorOf(now) || now == m_pEditorView)
        m_pActivePane = m_pEditorView;
    else if (m_pLowerView->isAncestorOf(now) || now == m_pLowerView)
        m_pActivePane = m_pLowerView;
    else
        return;
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI()
{
    const bool editorActive = m_pActivePane == m_pEditorView;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        if (CommandTable::IsViewCommand(it.key()))
            it.value()->setEnabled(editorActive && IsEditorCommandEnabled(it.key()));
    }
    m_actions[CommandTable::ID_EDIT_UNDO]->setEnabled(false);
    UpdatePortPane(); // the COM dialog may have chosen another port
}

void CMainFrame::NewDocument()
{
    m_doc.OnNewDocument();
    ShowDocument();
}

bool CMainFrame::LoadFile(const QString& path)
{
    QString error;
    if (!m_doc.OnOpenDocument(path, &error)) {
        m_prompt.Inform(CannotOpenText(path, error));
        return false;
    }
    {
        // Reading is quick; building the text is what takes a while with a long message.
        COpenProgress progress(statusBar(), m_pEditorView->Edit(), path);
        ShowDocument();
    }
    AddRecentFile(path);
    return true;
}

// The totals count what the file held beyond the capacity when it was opened: those bytes are
// lost too once the file is written over, so that case asks first.
bool CMainFrame::SaveFile(const QString& path)
{
    m_pEditorView->EncodeText();
    const int kept = m_doc.m_nLength;
    const qint64 total = m_doc.TotalLength();
    const bool overCutFile =
        m_doc.m_nUnread > 0 && !m_doc.GetPathName().isEmpty() &&
        QFileInfo(path).absoluteFilePath() == QFileInfo(m_doc.GetPathName()).absoluteFilePath();
    if (overCutFile && !m_prompt.AskYesNo(SaveCutFileQuestion(kept, total)))
        return false;
    QString error;
    if (!m_doc.OnSaveDocument(path, &error)) {
        m_prompt.Inform(CannotSaveText(path, error));
        return false;
    }
    if (!overCutFile && kept < total)
        m_prompt.Inform(SavedShortenedText(kept, total));
    AddRecentFile(path);
    UpdateTitle();
    return true;
}

bool CMainFrame::MaybeSave()
{
    if (!m_doc.IsModified())
        return true;
    switch (m_question.AskSaveChanges(SaveChangesQuestion(m_doc.GetTitle()))) {
    case ISaveQuestion::Yes:
        return OnFileSave();
    case ISaveQuestion::No:
        return true;
    default:
        return false;
    }
}

void CMainFrame::ShowDocument()
{
    m_pEditorView->OnInitialUpdate();
    m_pLowerView->OnInitialUpdate();
    UpdateTitle();
    UpdateCommandUI();
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(QStringLiteral("%1 - %2").arg(m_doc.GetTitle(), kAppTitle));
}

void CMainFrame::OnFileNew()
{
    if (MaybeSave())
        NewDocument();
}

void CMainFrame::OnFileOpen()
{
    if (!MaybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), kFileFilter);
    if (!path.isEmpty())
        LoadFile(path);
}

bool CMainFrame::OnFileSave()
{
    if (m_doc.GetPathName().isEmpty())
        return OnFileSaveAs();
    return SaveFile(m_doc.GetPathName());
}

bool CMainFrame::OnFileSaveAs()
{
    const QString proposed = m_doc.GetPathName().isEmpty() ? m_doc.GetTitle() : m_doc.GetPathName();
    QFileDialog dialog(this, QString(), proposed, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tvd"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return SaveFile(dialog.selectedFiles().constFirst());
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(m_settings, this);
    dialog.exec();
}

void CMainFrame::OnHelp()
{
    CHelpDlg::ShowHelp(this, CAboutDlg::FilesText(m_settings));
}

void CMainFrame::OnNextPane()
{
    setAttribute(Qt::WA_KeyboardFocusChange); // a key moved the focus: the style then shows where
    if (m_pActivePane == m_pEditorView)
        m_pLowerView->setFocus(Qt::TabFocusReason);
    else
        m_pEditorView->Edit().setFocus(Qt::TabFocusReason);
}

QStringList CMainFrame::RecentFiles() const
{
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    profile.beginGroup(kRecentGroup);
    QStringList files;
    for (int n = 1; n <= kMaxRecentFiles; ++n) {
        const QString path = profile.value(QStringLiteral("File%1").arg(n)).toString();
        if (!path.isEmpty())
            files << path;
    }
    return files;
}

void CMainFrame::AddRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    WriteRecentFiles(files);
}

void CMainFrame::WriteRecentFiles(const QStringList& files)
{
    QSettings profile(AppSettings::kProfileOrganization, AppSettings::kProfileApplication);
    profile.beginGroup(kRecentGroup);
    for (int n = 0; n < kMaxRecentFiles; ++n) {
        const QString key = QStringLiteral("File%1").arg(n + 1);
        if (n < files.size())
            profile.setValue(key, files.at(n));
        else
            profile.remove(key);
    }
    profile.endGroup();
    profile.sync();
    UpdateRecentFileActions();
}

void CMainFrame::UpdateRecentFileActions()
{
    const QStringList files = RecentFiles();
    for (int n = 0; n < kMaxRecentFiles; ++n) {
        QAction* action = m_recentActions.at(n);
        const bool used = n < files.size();
        action->setVisible(used);
        if (used) {
            // The name first and the folder shortened in its middle keep the menu narrow.
            const QFileInfo file(files.at(n));
            const QString folder = fontMetrics().elidedText(
                QDir::toNativeSeparators(file.absolutePath()), Qt::ElideMiddle, 200);
            action->setText(QStringLiteral("&%1 %2 (%3)").arg(n + 1).arg(file.fileName(), folder));
            action->setToolTip(QDir::toNativeSeparators(files.at(n)));
            action->setData(files.at(n));
        }
    }
    // The placeholder stands, greyed, only while the list is empty.
    m_actions[CommandTable::ID_FILE_MRU_FILE1]->setVisible(files.isEmpty());
}

void CMainFrame::OpenRecentFile(int index)
{
    const QString path = m_recentActions.value(index)->data().toString();
    if (path.isEmpty() || !MaybeSave())
        return;
    if (!LoadFile(path) && !QFileInfo::exists(path))
        RemoveRecentFile(path);
}

void CMainFrame::RemoveRecentFile(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    WriteRecentFiles(files);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bTracking)
        EndSplitterTracking(false);
    QDialog* transfer = CTransferStatusDlg::Active();
    if (!transfer)
        transfer = CMultiTransferDlg::Active();
    if (transfer) {
        event->ignore();
        if (m_prompt.AskYesNo(StopTransferQuestion())) {
            transfer->reject();
            CloseAfterTransfer();
        }
        return;
    }
    if (MaybeSave())
        event->accept();
    else
        event->ignore();
}

// Closes once the stopped transfer has ended and its result has been read.
void CMainFrame::CloseAfterTransfer()
{
    QTimer::singleShot(100, this, [this] {
        if (CTransferStatusDlg::Active() || CMultiTransferDlg::Active() ||
            QApplication::activeModalWidget())
            CloseAfterTransfer();
        else
            close();
    });
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFileOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = LocalFileOf(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    if (MaybeSave())
        LoadFile(path);
}

// The top pane starts kTopPaneHeight high once the window has its size.
void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_bSizedOnce)
        return;
    m_bSizedOnce = true;
    const int total = m_wndSplitter->height() - m_wndSplitter->handleWidth();
    m_wndSplitter->setSizes({kTopPaneHeight, qMax(1, total - kTopPaneHeight)});
    m_pEditorView->Edit().setFocus(Qt::ActiveWindowFocusReason);
}

void CMainFrame::OnSplitterTrack()
{
    if (m_bTracking)
        return;
    m_bTracking = true;
    m_trackStartSizes = m_wndSplitter->sizes();
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::SizeVerCursor);
    statusBar()->showMessage(tr("Стрелки вверх и вниз перемещают границу панелей; "
                                "Enter закрепляет, Esc отменяет."));
}

void CMainFrame::EndSplitterTracking(bool keep)
{
    if (!m_bTracking)
        return;
    m_bTracking = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
    if (!keep)
        m_wndSplitter->setSizes(m_trackStartSizes);
}

bool CMainFrame::HandleTrackingKey(QKeyEvent* event)
{
    QList<int> sizes = m_wndSplitter->sizes();
    if (sizes.size() != 2)
        return false;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int step = event->key() == Qt::Key_Up ? -kSplitterStep : kSplitterStep;
        const int total = sizes[0] + sizes[1];
        const int top = qBound(1, sizes[0] + step, qMax(1, total - 1));
        m_wndSplitter->setSizes({top, total - top});
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EndSplitterTracking(true);
        return true;
    case Qt::Key_Escape:
        EndSplitterTracking(false);
        return true;
    default:
        return true; // nothing else reaches the windows while the bar is moving
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (m_bTracking) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // the keys move the bar; no accelerator fires meanwhile
            return true;
        }
        if (event->type() == QEvent::KeyPress)
            return HandleTrackingKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::MouseButtonPress) {
            EndSplitterTracking(true);
            return true;
        }
    }
    if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched) &&
        watched->parent() == m_wndToolBar)
        return true;
    if (m_pEditorView && watched == m_pEditorView->Edit().viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (LocalFileOf(drag->mimeData()).isEmpty())
                break;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (LocalFileOf(drop->mimeData()).isEmpty())
                break;
            dropEvent(drop);
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
