#pragma once

#include <QDialog>

class AppSettings;
class QPushButton;

// "О программе Tavrix Editor": the icon, the title and version, a short notice, where the
// settings file and the fonts are, and "OK".
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(const AppSettings& settings, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // The settings file and the fonts folder in use, one per line, so that an operator can find
    // and back them up.
    static QString FilesText(const AppSettings& settings);

    static QString Caption();
    static QString Version();
    static QString Notice();

    QPushButton* m_pOk = nullptr;
};
