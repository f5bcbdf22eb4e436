#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class AppSettings;
class IPrompt;
class QLineEdit;

// "Настройки текстового редактора": the maximum message size, the font directory and the list of
// device fonts. Works on copies; the caller applies them after OK.
class CEditorSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    // Returns the chosen directory, or an empty string when the user cancelled.
    using FolderChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    // Shows the three values in their fields.
    CEditorSettingsDlg(IPrompt& prompt, int maxChars, const QString& dir, const QString& fontList,
                       QWidget* parent = nullptr);
    ~CEditorSettingsDlg() override;

    // Copies the three values in, runs the dialog and on "Применить" stores them back: true.
    static bool Run(QWidget* parent, AppSettings& settings);
    // Replaces the folder chooser (tests); an empty function restores the platform's.
    static void SetFolderChooser(FolderChooser chooser);

    // Moves the members into the controls (false) or reads the controls back (true); reading
    // refuses a maximum that is not an integer in range, with a message.
    bool UpdateData(bool bSaveAndValidate);
    void OnBrowse();
    void accept() override;

    // The maximum as typed: blanks around, an optional sign, digits; within the allowed range.
    enum MaxCharsCheck { Accepted, NotInteger, OutOfRange };
    static MaxCharsCheck ParseMaxChars(const QString& field, int& value);

    static constexpr int kMinChars = 2;
    static constexpr int kMaxChars = 1048576;
    static QString Caption();
    static const QString kBadNumber;
    static const QString kNotInteger;
    static QString BrowseTitle();

    int m_nMaxChars = 0;
    QString m_strDir;
    QString m_strFontList;

    QLineEdit* m_pMaxChars = nullptr;
    QLineEdit* m_pDir = nullptr;
    QLineEdit* m_pFontList = nullptr;

private:
    IPrompt& m_prompt;
};
