#include "editor/effectsdlg.h"

#include "editor/messagecodec.h"
#include "editor/symtype.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString CEffectsDlg::Caption()
{
    return tr("Специальные возможности");
}

CEffectsDlg::CEffectsDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Caption());
    auto* group = new QGroupBox(Caption(), this);
    auto* grid = new QGridLayout(group);

    m_pFullStop = new QCheckBox(tr("Полная остановка текста"), group);
    m_pFullStop->setObjectName(QStringLiteral("fullStopCheck"));
    m_pDurationLabel = new QLabel(tr("Длительность"), group);
    m_pDurationLabel->setObjectName(QStringLiteral("durationLabel"));
    m_pDuration = new QComboBox(group);
    m_pDuration->setObjectName(QStringLiteral("durationList"));
    m_pDurationLabel->setBuddy(m_pDuration);
    for (int d = 1; d <= 9; ++d)
        m_pDuration->addItem(QString::number(d));

    m_pEffects = new QCheckBox(tr("Спецэффекты"), group);
    m_pEffects->setObjectName(QStringLiteral("effectsCheck"));
    m_pEffect = new QComboBox(group);
    m_pEffect->setObjectName(QStringLiteral("effectList"));
    m_pEffect->setAccessibleName(m_pEffects->text()); // the check box that enables it is its label
    // The position is the effect index the device receives.
    m_pEffect->addItems({tr("сдвиг строки вверх"), tr("сдвиг строки вниз"),
                         tr("закраска строки снизу"), tr("закраска строки сверху"),
                         tr("закраска строки шумом")});

    grid->addWidget(m_pFullStop, 0, 0);
    grid->addWidget(m_pDurationLabel, 0, 1, Qt::AlignRight);
    grid->addWidget(m_pDuration, 0, 2);
    grid->addWidget(m_pEffects, 1, 0);
    grid->addWidget(m_pEffect, 1, 1, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Отмена"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(m_pFullStop, &QCheckBox::clicked, this, &CEffectsDlg::OnFullStopClicked);
    connect(m_pEffects, &QCheckBox::clicked, this, &CEffectsDlg::OnEffectsClicked);

    m_pDuration->setCurrentIndex(0);
    m_pEffect->setCurrentIndex(0);
    m_pDurationLabel->setEnabled(false);
    m_pDuration->setEnabled(false);
    m_pEffect->setEnabled(false);
}

CEffectsDlg::~CEffectsDlg() = default;

void CEffectsDlg::OnEffects(QWidget* parent, CMessageCodec& codec)
{
    CEffectsDlg dlg(parent);
    if (dlg.exec() == QDialog::Accepted)
        dlg.InsertChoice(codec);
}

void CEffectsDlg::InsertChoice(CMessageCodec& codec) const
{
    if (m_bFullStop)
        codec.CatchChar(SYM_CONTROL, quint8('s'), qint8(m_nStopDuration));
    if (m_bEffects)
        codec.CatchChar(SYM_CONTROL, quint8('e'), qint8(m_nEffect));
}

void CEffectsDlg::accept()
{
    m_bFullStop = m_pFullStop->isChecked();
    m_bEffects = m_pEffects->isChecked();
    if (m_bFullStop)
        m_nStopDuration = m_pDuration->currentIndex() + 1;
    if (m_bEffects)
        m_nEffect = m_pEffect->currentIndex();
    QDialog::accept();
}

void CEffectsDlg::OnFullStopClicked()
{
    m_bFullStop = m_pFullStop->isChecked();
    m_bEffects = m_pEffects->isChecked();
    m_pDurationLabel->setEnabled(m_bFullStop);
    m_pDuration->setEnabled(m_bFullStop);
}

void CEffectsDlg::OnEffectsClicked()
{
    m_bFullStop = m_pFullStop->isChecked();
    m_bEffects = m_pEffects->isChecked();
    m_pEffect->setEnabled(m_bEffects);
}
