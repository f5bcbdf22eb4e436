#include "device/transferstatusdlg.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

const QString CTransferStatusDlg::kCaption = QStringLiteral("Состояние");
const QString CTransferStatusDlg::kText =
    QStringLiteral("Идет передача данных через последовательный порт ...");

CTransferStatusDlg::CTransferStatusDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kCaption);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(kText, this);
    label->setObjectName(QStringLiteral("statusText"));
    layout->addWidget(label);
    layout->setContentsMargins(24, 16, 24, 16);
    setFixedSize(sizeHint().expandedTo(QSize(400, 60)));
    show();
    // Paint now: the write that follows blocks the event loop.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}
