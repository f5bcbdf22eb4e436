#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class AppSettings;
class CDeviceCommands;
class CFontLibrary;
class CTavrixEditorDoc;
class CTavrixEditorView;
class CTavrixView;
class IPrompt;
class ISaveQuestion;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

// The program's one window: menu, toolbar with the four lists, status bar and the two panes. It
// builds all of it from the command table, carries the document through New, Open, Save and Save
// As, and routes the editing commands and list changes to the editor view, the sending and
// configuring ones to the device commands, while the editor view is the active pane.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    CMainFrame(AppSettings& settings, CFontLibrary& fonts, IPrompt& prompt, ISaveQuestion& question,
               CTavrixEditorDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Empties the document and shows it (no question asked; see MaybeSave).
    void NewDocument();
    // Opens a file into the document; reports a failure and leaves the current document then.
    bool LoadFile(const QString& path);
    // Writes the document; reports a failure, which leaves it modified.
    bool SaveFile(const QString& path);
    // Offers to save a modified document; false when the user cancelled or the save failed.
    bool MaybeSave();

    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnAppAbout();
    void OnHelp();
    void OnNextPane();
    void OnSplitterTrack();
    // Writes the still dot picture of the message at the scale chosen in list 101.
    void OnSavePicture();
    bool SavePicture(const QString& path, QString* error);

    QAction* Action(int id) const { return m_actions.value(id); }
    QList<QAction*> RecentFileActions() const { return m_recentActions; }
    CTavrixEditorView* EditorView() const { return m_pEditorView; }
    CTavrixView* LowerView() const { return m_pLowerView; }
    // The pane that last had the focus; the editor view at start.
    QWidget* ActivePane() const { return m_pActivePane; }
    bool IsSplitterTracking() const { return m_bTracking; }
    void UpdateCommandUI();

    static const QString kAppTitle;
    static QString IdleText();
    static QString StopTransferQuestion();
    static const QString kFileFilter;
    static const QString kPictureFilter;
    static constexpr int kMaxRecentFiles = 4;
    static constexpr int kTopPaneHeight = 100;
    static constexpr int kSplitterStep = 8;
    static QString SaveChangesQuestion(const QString& title);
    static QString CannotOpenText(const QString& path, const QString& reason);
    static QString CannotSaveText(const QString& path, const QString& reason);
    static QString CannotSavePictureText(const QString& path, const QString& reason);
    static QString SavedShortenedText(int kept, qint64 total);
    static QString SaveCutFileQuestion(int kept, qint64 total);

    QSplitter* m_wndSplitter = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QComboBox* m_wndScaleCombo = nullptr;
    QComboBox* m_wndFontCombo = nullptr;
    QComboBox* m_wndICombo = nullptr;
    QComboBox* m_wndVCombo = nullptr;
    QLabel* m_pIdleText = nullptr;
    QLabel* m_pPortPane = nullptr; // "ttyUSB0 · 1200": the port and speed in use
    QList<QLabel*> m_indicators;   // "CAP", "NUM", "SCRL"

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCreate();
    void OnCreateClient();
    void CreateActions();
    void CreateMenus();
    void AddLanguageMenu(QMenu* viewMenu);
    void CreateToolBar();
    void CreateStatusBar();
    void UpdatePortPane();
    void CloseAfterTransfer();
    QComboBox* EmbedList(int listId, int width, int dropDownHeight);
    void OnCommand(int id);
    void OnEditorCommand(int id);
    bool IsEditorCommandEnabled(int id);
    void OnListSelChange(int listId, int index);
    void OnFocusChanged(QWidget* old, QWidget* now);
    void ShowDocument();
    void UpdateTitle();
    void AddRecentFile(const QString& path);
    QStringList RecentFiles() const;
    void UpdateRecentFileActions();
    void OpenRecentFile(int index);
    void RemoveRecentFile(const QString& path);
    void WriteRecentFiles(const QStringList& files);
    void EndSplitterTracking(bool keep);
    bool HandleTrackingKey(QKeyEvent* event);

    AppSettings& m_settings;
    CFontLibrary& m_fonts;
    IPrompt& m_prompt;
    ISaveQuestion& m_question;
    CTavrixEditorDoc& m_doc;
    QHash<int, QAction*> m_actions;
    QList<QAction*> m_recentActions;
    QMenu* m_pFileMenu = nullptr;
    CTavrixEditorView* m_pEditorView = nullptr;
    CTavrixView* m_pLowerView = nullptr;
    CDeviceCommands* m_pDeviceCommands = nullptr;
    QPointer<QWidget> m_pActivePane;
    bool m_bSizedOnce = false;
    bool m_bTracking = false;
    QList<int> m_trackStartSizes;
};
