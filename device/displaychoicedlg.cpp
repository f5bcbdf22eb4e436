#include "device/displaychoicedlg.h"

#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace
{

const QString kChosenKey = QStringLiteral("Displays/Chosen");

// A check list's rows are as high as their text alone; these take a table's row height, which
// the style gives, so a row is easy to hit and reads like the list of displays.
class RowDelegate : public QStyledItemDelegate
{
public:
    RowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_nHeight(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), m_nHeight));
        return size;
    }

private:
    int m_nHeight;
};

} // namespace

CDisplayChoiceDlg::CDisplayChoiceDlg(const CDisplayList& list, const QString& title,
                                     QWidget* parent)
    : QDialog(parent), m_entries(list.Entries())
{
    setWindowTitle(title);
    const QStringList last =
        QSettings(AppSettings::kProfileOrganization, AppSettings::kProfileApplication)
            .value(kChosenKey)
            .toStringList();
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("displayList"));
    m_pList->setAccessibleName(tr("Табло"));
    m_pList->setItemDelegate(
        new RowDelegate(m_pList->style()->pixelMetric(QStyle::PM_HeaderDefaultSectionSizeVertical,
                                                      nullptr, m_pList),
                        m_pList));
    for (const DisplayEntry& entry : m_entries) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  —  %2").arg(entry.name, entry.config.portName), m_pList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool was = std::any_of(last.begin(), last.end(), [&entry](const QString& name) {
            return name.compare(entry.name, Qt::CaseInsensitive) == 0;
        });
        item->setCheckState(was ? Qt::Checked : Qt::Unchecked);
    }
    // A broken entry is seen, but cannot be chosen.
    for (const CDisplayList::Problem& problem : list.Problems()) {
        if (problem.name.isEmpty())
            continue;
        auto* item =
            new QListWidgetItem(tr("%1  —  ошибка в записи, пропущено").arg(problem.name), m_pList);
        item->setToolTip(problem.text);
        item->setFlags(Qt::NoItemFlags);
    }
    auto* all = new QPushButton(tr("Отметить &все"), this);
    all->setObjectName(QStringLiteral("allButton"));
    auto* none = new QPushButton(tr("&Снять отметки"), this);
    none->setObjectName(QStringLiteral("noneButton"));
    auto* buttons = new QDialogButtonBox(this);
    m_pOk = buttons->addButton(tr("Передать"), QDialogButtonBox::AcceptRole);
    m_pOk->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    buttons->addButton(all, QDialogButtonBox::ResetRole);
    buttons->addButton(none, QDialogButtonBox::ResetRole);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Отметьте табло, на которые передать:"), this);
    label->setBuddy(m_pList);
    layout->addWidget(label);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    resize(520, 360);

    const auto checkAll = [this](Qt::CheckState state) {
        for (int row = 0; row < m_entries.size(); ++row)
            m_pList->item(row)->setCheckState(state);
    };
    connect(all, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });
    connect(m_pList, &QListWidget::itemChanged, this, &CDisplayChoiceDlg::UpdateOk);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDisplayChoiceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDisplayChoiceDlg::reject);
    UpdateOk();
}

QList<DisplayEntry> CDisplayChoiceDlg::Chosen() const
{
    QList<DisplayEntry> chosen;
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_pList->item(row)->checkState() == Qt::Checked)
            chosen.append(m_entries[row]);
    }
    return chosen;
}

void CDisplayChoiceDlg::UpdateOk()
{
    m_pOk->setEnabled(!Chosen().isEmpty());
}

bool CDisplayChoiceDlg::Choose(QWidget* parent, const QString& path, const QString& title,
                               IPrompt& prompt, QList<DisplayEntry>& chosen)
{
    CDisplayList list;
    if (!list.Load(path)) {
        prompt.Inform(list.ErrorText());
        return false;
    }
    if (list.Entries().isEmpty()) {
        prompt.Inform(tr("В списке табло «%1» нет ни одного исправного табло. Добавьте их: "
                         "«Настройки → Список табло…».")
                          .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    CDisplayChoiceDlg dialog(list, title, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = dialog.Chosen();
    QStringList names;
    for (const DisplayEntry& entry : chosen)
        names << entry.name;
    QSettings(AppSettings::kProfileOrganization, AppSettings::kProfileApplication)
        .setValue(kChosenKey, names);
    return !chosen.isEmpty();
}
