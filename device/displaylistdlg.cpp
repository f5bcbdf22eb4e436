#include "device/displaylistdlg.h"

#include "device/devicesender.h"
#include "device/displayeditdlg.h"
#include "device/portrefusal.h"
#include "settings/appsettings.h"
#include "settings/prompt.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

CDisplayListDlg::CDisplayListDlg(const QString& path, IPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_path(path), m_prompt(prompt)
{
    setWindowTitle(tr("Список табло"));
    if (!m_list.Load(m_path)) {
        m_prompt.Inform(m_list.ErrorText());
        m_strUnreadable = m_list.ErrorText();
    }

    m_pTable = new QTableWidget(0, ColumnCount, this);
    m_pTable->setObjectName(QStringLiteral("displayTable"));
    m_pTable->setAccessibleName(tr("Табло"));
    m_pTable->setHorizontalHeaderLabels({tr("Табло"), tr("Порт"), tr("Скорость"), tr("Биты"),
                                         tr("Стоп"), tr("Четность"), QString()});
    m_pTable->verticalHeader()->hide();
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setTabKeyNavigation(false); // arrows move in it; Tab goes on to the buttons
    m_pTable->horizontalHeader()->setSectionResizeMode(Port, QHeaderView::Stretch);
    m_pTable->setMinimumSize(700, 240);

    auto* add = m_pAdd = new QPushButton(tr("&Добавить…"), this);
    add->setObjectName(QStringLiteral("addButton"));
    m_pEdit = new QPushButton(tr("&Изменить…"), this);
    m_pEdit->setObjectName(QStringLiteral("editButton"));
    m_pCopy = new QPushButton(tr("&Копировать…"), this);
    m_pCopy->setObjectName(QStringLiteral("copyButton"));
    m_pRemove = new QPushButton(tr("&Удалить"), this);
    m_pRemove->setObjectName(QStringLiteral("removeButton"));
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add, m_pEdit, m_pCopy, m_pRemove}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_pTable, 1);
    top->addLayout(side);

    auto* note = new QLabel(tr("Файл: %1").arg(QDir::toNativeSeparators(m_path)), this);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &CDisplayListDlg::OnAdd);
    connect(m_pEdit, &QPushButton::clicked, this, &CDisplayListDlg::OnEdit);
    connect(m_pCopy, &QPushButton::clicked, this, &CDisplayListDlg::OnCopy);
    connect(m_pRemove, &QPushButton::clicked, this, &CDisplayListDlg::OnRemove);
    connect(m_pTable, &QTableWidget::cellDoubleClicked, this, [this] { OnEdit(); });
    connect(m_pTable, &QTableWidget::itemSelectionChanged, this, &CDisplayListDlg::UpdateButtons);
    // The buttons over the cells follow the cells.
    m_pTable->viewport()->installEventFilter(this);
    m_pTable->installEventFilter(this);
    const auto place = [this] { PlaceCheckButtons(); };
    connect(m_pTable->horizontalHeader(), &QHeaderView::sectionResized, this, place);
    connect(m_pTable->verticalHeader(), &QHeaderView::sectionResized, this, place);
    connect(m_pTable->horizontalScrollBar(), &QScrollBar::valueChanged, this, place);
    connect(m_pTable->verticalScrollBar(), &QScrollBar::valueChanged, this, place);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDisplayListDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDisplayListDlg::reject);
    Fill(0);
}

QString CDisplayListDlg::ListPath(const AppSettings& settings)
{
    return QDir(settings.Layout().strSettingsDir)
        .filePath(QString::fromLatin1(CDisplayList::kFileName));
}

void CDisplayListDlg::OnDisplayList(QWidget* parent, const AppSettings& settings, IPrompt& prompt)
{
    CDisplayListDlg dialog(ListPath(settings), prompt, parent);
    dialog.exec();
}

// The good entries first, then the broken ones, each with its reason.
void CDisplayListDlg::Fill(int current)
{
    const QList<DisplayEntry>& entries = m_list.Entries();
    const QList<CDisplayList::Problem>& problems = m_list.Problems();
    // Rebuilt from empty: rows shift as entries come and go, and a row would keep the span or
    // the button of what it showed before.
    qDeleteAll(m_checks);
    m_checks.clear();
    m_pTable->clearSpans();
    m_pTable->setRowCount(0);
    m_pTable->setRowCount(int(entries.size() + problems.size()));
    for (int row = 0; row < entries.size(); ++row) {
        QStringList cells = QStringList{entries[row].name, entries[row].config.portName} +
                            CDisplayEditDlg::LineTexts(entries[row].config);
        // The line as it is: the parity bit goes out as 1 whatever the check of received
        // characters is set to.
        cells[Parity] = QStringLiteral("mark");
        for (int column = 0; column < cells.size(); ++column)
            m_pTable->setItem(row, column, new QTableWidgetItem(cells[column]));
        auto* check = new QPushButton(tr("Проверить"), this);
        check->setObjectName(QStringLiteral("checkButton%1").arg(row));
        check->setAutoDefault(false);
        const QString what = tr("Открыть и закрыть порт табло «%1»").arg(entries[row].name);
        check->setToolTip(what);
        check->setAccessibleDescription(what);
        check->setFocusPolicy(Qt::ClickFocus); // the selected row's alone is a Tab stop
        connect(check, &QPushButton::clicked, this, [this, row] {
            m_pTable->selectRow(row);
            OnCheck(row);
        });
        m_checks << check;
    }
    for (int n = 0; n < problems.size(); ++n) {
        const int row = int(entries.size()) + n;
        const CDisplayList::Problem& problem = problems[n];
        auto* name = new QTableWidgetItem(
            problem.name.isEmpty() ? tr("(строка %1)").arg(problem.line) : problem.name);
        auto* why = new QTableWidgetItem(
            tr("Ошибка в записи (строка %1): %2").arg(problem.line).arg(problem.text));
        for (QTableWidgetItem* item : {name, why}) {
            item->setForeground(QColor(0xB0, 0x00, 0x00));
            item->setToolTip(problem.text + QStringLiteral("\n\n") + problem.raw);
        }
        m_pTable->setItem(row, Name, name);
        m_pTable->setItem(row, Port, why);
        m_pTable->setSpan(row, Port, 1, ColumnCount - Port);
    }
    m_pTable->resizeColumnsToContents();
    for (int column = 0; column < ColumnCount; ++column) // a little air beside each text
        m_pTable->setColumnWidth(column, m_pTable->columnWidth(column) + 12);
    if (!m_checks.isEmpty())
        m_pTable->setColumnWidth(Check, m_checks[0]->sizeHint().width() + 8);
    PlaceCheckButtons();
    if (m_pTable->rowCount() > 0)
        m_pTable->selectRow(std::clamp(current, 0, m_pTable->rowCount() - 1));
    UpdateButtons();
}

void CDisplayListDlg::UpdateButtons()
{
    const int row = m_pTable->currentRow();
    const int good = int(m_list.Entries().size());
    const bool mendable = row >= good && row < m_pTable->rowCount() &&
                          m_list.Problems()[row - good].entry.has_value();
    m_pEdit->setEnabled((row >= 0 && row < good) || mendable);
    m_pCopy->setEnabled(row >= 0 && row < good);
    m_pRemove->setEnabled(row >= 0 && row < m_pTable->rowCount());
    QWidget* previous = m_pTable;
    for (int n = 0; n < good; ++n) {
        QPushButton* check = CheckButton(n);
        if (!check)
            continue;
        check->setFocusPolicy(n == row ? Qt::StrongFocus : Qt::ClickFocus);
        if (n == row) {
            setTabOrder(m_pTable, check);
            previous = check;
        }
    }
    setTabOrder(previous, m_pAdd);
}

QPushButton* CDisplayListDlg::CheckButton(int row) const
{
    return m_checks.value(row);
}

// Each button over its cell while the cell is wholly in view.
void CDisplayListDlg::PlaceCheckButtons()
{
    const QRect view = m_pTable->viewport()->rect();
    for (int row = 0; row < m_checks.size(); ++row) {
        const QRect cell = m_pTable->visualRect(m_pTable->model()->index(row, Check));
        const bool shown = !cell.isEmpty() && view.contains(cell);
        if (shown)
            m_checks[row]->setGeometry(
                QRect(m_pTable->viewport()->mapTo(this, cell.topLeft()), cell.size())
                    .adjusted(1, 1, -1, -1));
        m_checks[row]->setVisible(shown);
        m_checks[row]->raise();
    }
}

bool CDisplayListDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
        event->type() == QEvent::Show)
        PlaceCheckButtons();
    return QDialog::eventFilter(watched, event);
}

void CDisplayListDlg::EditEntry(const DisplayEntry& entry, int replacing, const QString& title,
                                int mending)
{
    const auto refusal = [this, replacing](const DisplayEntry& wanted) {
        CDisplayList trial = m_list;
        QString why;
        trial.Put(replacing, wanted, why);
        return why;
    };
    CDisplayEditDlg dialog(entry, refusal, m_prompt, this);
    dialog.setWindowTitle(title);
    if (mending >= 0) {
        const CDisplayList::Problem& problem = m_list.Problems()[mending];
        dialog.ShowProblem(
            tr("Ошибка в записи (строка %1): %2").arg(problem.line).arg(problem.text));
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString why;
    if (mending >= 0) {
        if (const int at = m_list.Mend(mending, dialog.Entry(), why); at >= 0)
            Fill(at);
        return;
    }
    if (!m_list.Put(replacing, dialog.Entry(), why))
        return;
    Fill(replacing >= 0 ? replacing : int(m_list.Entries().size()) - 1);
}

void CDisplayListDlg::OnAdd()
{
    DisplayEntry entry;
    entry.config.portName.clear();
    EditEntry(entry, -1, tr("Новое табло"));
}

void CDisplayListDlg::OnEdit()
{
    const int row = m_pTable->currentRow();
    const int good = int(m_list.Entries().size());
    if (row >= 0 && row < good) {
        EditEntry(m_list.Entries()[row], row, tr("Табло «%1»").arg(m_list.Entries()[row].name));
        return;
    }
    if (row < good || row >= m_pTable->rowCount())
        return;
    const CDisplayList::Problem& problem = m_list.Problems()[row - good];
    if (problem.entry)
        EditEntry(*problem.entry, -1,
                  problem.name.isEmpty() ? tr("Новое табло") : tr("Табло «%1»").arg(problem.name),
                  row - good);
}

void CDisplayListDlg::OnCopy()
{
    const int row = m_pTable->currentRow();
    if (row < 0 || row >= m_list.Entries().size())
        return;
    DisplayEntry copy = m_list.Entries()[row];
    copy.name = tr("%1 (копия)").arg(copy.name);
    EditEntry(copy, -1, tr("Копия табло «%1»").arg(m_list.Entries()[row].name));
}

void CDisplayListDlg::OnRemove()
{
    const int row = m_pTable->currentRow();
    const int good = int(m_list.Entries().size());
    if (row < 0 || row >= m_pTable->rowCount())
        return;
    if (row < good)
        m_list.Remove(m_list.Entries()[row].name);
    else
        m_list.RemoveProblem(row - good);
    Fill(row);
}

void CDisplayListDlg::OnCheck(int row)
{
    if (row < 0 || row >= m_list.Entries().size())
        return;
    const DisplayEntry entry = m_list.Entries()[row];
    // Opened and closed on a thread of its own: a server that does not answer keeps the window
    // painted meanwhile.
    CDeviceSender sender(entry.config);
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sender.Start({});
    const CDeviceSender::Result result = sender.WaitForResult();
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (result == CDeviceSender::Result::Ok) {
        m_prompt.InformSuccess(tr("Порт %1 открывается.").arg(entry.config.portName));
        return;
    }
    // The reason in the box itself: it is what the operator checked for.
    m_prompt.Inform(
        tr("Не удается открыть порт %1 табло «%2».").arg(entry.config.portName, entry.name) +
        QStringLiteral("\n\n") + CPortRefusal::Details(sender.Outcome().refusal, entry.name));
}

void CDisplayListDlg::accept()
{
    if (!m_strUnreadable.isEmpty()) { // writing would replace a file nobody has seen
        m_prompt.Inform(m_strUnreadable);
        return;
    }
    const auto unreadable = std::find_if(m_list.Problems().begin(), m_list.Problems().end(),
                                         [](const auto& problem) { return problem.raw.isEmpty(); });
    if (unreadable != m_list.Problems().end()) {
        // Writing would lose the whole file.
        m_prompt.Inform(tr("Список табло «%1» не записан: %2 Исправьте файл, затем повторите.")
                            .arg(QDir::toNativeSeparators(m_path), unreadable->text));
        return;
    }
    if (!m_list.Save(m_path, CDisplayList::KeepBroken)) {
        m_prompt.Inform(m_list.ErrorText());
        return;
    }
    QDialog::accept();
}
