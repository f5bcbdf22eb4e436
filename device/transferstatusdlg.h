#pragma once

#include <QDialog>

// "Состояние": the small window shown while frames go to the device. It is painted before the
// blocking write starts, so the operator sees it for the whole transfer.
class CTransferStatusDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CTransferStatusDlg(QWidget* parent = nullptr);

    static const QString kCaption;
    static const QString kText;
};
