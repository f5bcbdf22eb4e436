#pragma once

#include <QDialog>

class QPushButton;

// "О программе Tavrix Editor": the icon, the title and version, a short notice and "OK".
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    static const QString kCaption;
    static const QString kVersion;
    static const QString kNotice;

    QPushButton* m_pOk = nullptr;
};
