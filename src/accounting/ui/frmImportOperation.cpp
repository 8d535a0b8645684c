#include "frmImportOperation.h"

#include "accounting/xMakeRegister.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xGuard.h"
#include "widgets/xFieldTableModel.h"

#include <QAction>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace korvex::accounting {

// The entry templates, each with its tick; one column "Проводка".
class TEntryListModel : public korvex::widgets::TxRecordTableModel<TEntryTemplateRow>
{
public:
    explicit TEntryListModel(QObject *parent)
        : TxRecordTableModel({QStringLiteral("ENTRYNAME")}, parent)
    {
        setHeaderData(0, Qt::Horizontal, QCoreApplication::translate("TfrmImportOperation", "Проводка"));
    }

    QSet<int> checked;

    void setEntries(const QList<TEntryTemplateRow> &rows)
    {
        checked.clear();
        for (const TEntryTemplateRow &r : rows)
            checked.insert(r.Id);
        setRecords(rows);
    }
    QList<TEntryTemplateRow> checkedEntries() const
    {
        QList<TEntryTemplateRow> out;
        for (const TEntryTemplateRow &r : m_records)
            if (checked.contains(r.Id))
                out << r;
        return out;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const TEntryTemplateRow *r = recordAt(index);
        if (!r)
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return (r->Debit + QStringLiteral(" - ") + r->Credit).left(40);
        if (role == Qt::CheckStateRole)
            return checked.contains(r->Id) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        const TEntryTemplateRow *r = recordAt(index);
        if (!r || role != Qt::CheckStateRole)
            return false;
        if (value.toInt() == Qt::Checked)
            checked.insert(r->Id);
        else
            checked.remove(r->Id);
        Q_EMIT dataChanged(index, index, {role});
        return true;
    }
};

// One register row as the chooser shows it, with its analysis texts.
struct TRegisterLine {
    TRegisterRow row;
    QString AnalyzeDebet;
    QString AnalyzeKredit;
};

// The register rows of the period; the first column "Выбрать" ticks a row
// and every row of the same key.
class TRegisterModel : public korvex::widgets::TxRecordTableModel<TRegisterLine>
{
public:
    enum Column { KeyColumn, DateColumn, DebetColumn, KreditColumn, SummaColumn, AnalyzeDebetColumn,
                  AnalyzeKreditColumn, NameColumn, NumberColumn };

    explicit TRegisterModel(QObject *parent)
        : TxRecordTableModel({QStringLiteral("KEY"), QStringLiteral("DATE"), QStringLiteral("DEBET"), QStringLiteral("KREDIT"),
                              QStringLiteral("SUMMA"), QStringLiteral("ANALYZEDEBET"), QStringLiteral("ANALYZEKREDIT"),
                              QStringLiteral("NAMEOPERATION"), QStringLiteral("NUMBERPAYMENT")},
                             parent)
    {
        const char *titles[] = {QT_TRANSLATE_NOOP("TfrmImportOperation", "Выбрать"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Дата"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Дебет"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Кредит"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Сумма"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Аналитика по дебету"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Аналитика по кредиту"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Операция"),
                                QT_TRANSLATE_NOOP("TfrmImportOperation", "Номер документа")};
        for (int c = 0; c < 9; ++c)
            setHeaderData(c, Qt::Horizontal, QCoreApplication::translate("TfrmImportOperation", titles[c]));
    }

    QSet<QString> checked;

    void setChecked(const QSet<QString> &keys)
    {
        checked = keys;
        if (rowCount() > 0)
            Q_EMIT dataChanged(index(0, KeyColumn), index(rowCount() - 1, KeyColumn), {Qt::CheckStateRole});
    }
    QSet<QString> allKeys() const
    {
        QSet<QString> keys;
        for (const TRegisterLine &l : m_records)
            keys.insert(l.row.Key());
        return keys;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == KeyColumn)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const TRegisterLine *l = recordAt(index);
        if (!l)
            return {};
        if (role == Qt::CheckStateRole && index.column() == KeyColumn)
            return checked.contains(l->row.Key()) ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        switch (index.column()) {
        case KeyColumn: return role == Qt::EditRole ? QVariant(l->row.Key()) : QVariant();
        case DateColumn:
            return role == Qt::EditRole ? QVariant(l->row.Date) : QVariant(l->row.Date.toString(QStringLiteral("dd.MM.yyyy")));
        case DebetColumn: return l->row.Debet;
        case KreditColumn: return l->row.Kredit;
        case SummaColumn: return l->row.Summa;
        case AnalyzeDebetColumn: return l->AnalyzeDebet;
        case AnalyzeKreditColumn: return l->AnalyzeKredit;
        case NameColumn: return l->row.NameOperation;
        case NumberColumn: return l->row.NumberPayment;
        default: return {};
        }
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        const TRegisterLine *l = recordAt(index);
        if (!l || role != Qt::CheckStateRole || index.column() != KeyColumn)
            return false;
        // Rows of one entry number and date go together.
        if (value.toInt() == Qt::Checked)
            checked.insert(l->row.Key());
        else
            checked.remove(l->row.Key());
        Q_EMIT dataChanged(this->index(0, KeyColumn), this->index(rowCount() - 1, KeyColumn), {role});
        return true;
    }
};

TfrmImportOperation::TfrmImportOperation(TxImportKorvex &import, korvex::shell::TmmOptions &options, QWidget *parent)
    : QDialog(parent)
    , m_import(import)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmImportOperation"));
    setWindowTitle(tr("Операции"));
    resize(900, 560);

    m_entries = new TEntryListModel(this);
    m_entries->setEntries(import.entryList(import.OpType));
    m_entryGrid = new korvex::widgets::TxDBGrid(this);
    m_entryGrid->setObjectName(QStringLiteral("EntryGrid"));
    m_entryGrid->setSortingByTitle(false);
    m_entryGrid->setModel(m_entries);
    m_entryGrid->setFieldWidth(QStringLiteral("ENTRYNAME"), 220);
    m_entryGrid->horizontalHeader()->setStretchLastSection(true);

    const QDate today = QDate::currentDate();
    m_begin = korvex::widgets::newDateEdit(options.dateOption(QStringLiteral("dlgimportoperation_datebegin"), today), QStringLiteral("DateBegin"), this);
    m_end = korvex::widgets::newDateEdit(options.dateOption(QStringLiteral("dlgimportoperation_dateend"), today), QStringLiteral("DateEnd"), this);
    auto *show = new QPushButton(tr("Проводки из бухгалтерии"), this);
    show->setObjectName(QStringLiteral("ShowRegister"));
    connect(show, &QPushButton::clicked, this, [this] { korvex::widgets::guarded(this, [this] { showRegister(); }); });

    m_register = new TRegisterModel(this);
    m_registerGrid = new korvex::widgets::TxDBGrid(this);
    m_registerGrid->setObjectName(QStringLiteral("RegisterGrid"));
    m_registerGrid->setSortingByTitle(false);
    m_registerGrid->setModel(m_register);
    m_registerGrid->setKeyField(QStringLiteral("KEY"));
    m_registerGrid->setFieldDecimals(QStringLiteral("SUMMA"), 2);
    m_registerGrid->setFieldWidth(QStringLiteral("KEY"), 60);
    m_registerGrid->setFieldWidth(QStringLiteral("ANALYZEDEBET"), 160);
    m_registerGrid->setFieldWidth(QStringLiteral("ANALYZEKREDIT"), 160);
    m_registerGrid->setFieldWidth(QStringLiteral("NAMEOPERATION"), 200);
    m_registerGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *all = new QAction(tr("Выбрать все"), m_registerGrid);
    auto *none = new QAction(tr("Снять выборку"), m_registerGrid);
    m_registerGrid->addAction(all);
    m_registerGrid->addAction(none);
    connect(all, &QAction::triggered, this, &TfrmImportOperation::checkAll);
    connect(none, &QAction::triggered, this, &TfrmImportOperation::uncheckAll);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(m_entryGrid, 1);
    auto *period = new QVBoxLayout;
    auto *dates = new QHBoxLayout;
    dates->addWidget(new QLabel(tr("Период с"), this));
    dates->addWidget(m_begin);
    dates->addWidget(new QLabel(tr("по"), this));
    dates->addWidget(m_end);
    period->addLayout(dates);
    period->addWidget(show);
    period->addStretch();
    top->addLayout(period);
    layout->addLayout(top, 1);
    layout->addWidget(m_registerGrid, 3);
    layout->addLayout(korvex::widgets::confirmRow(this, tr("&Готово"), tr("&Отмена")).layout);
}

TfrmImportOperation::~TfrmImportOperation() = default;

void TfrmImportOperation::showRegister()
{
    const QList<TEntryTemplateRow> entries = m_entries->checkedEntries();
    QList<TRegisterLine> lines;
    if (!entries.isEmpty()) {
        TxMakeRegister names(m_import.ini());
        for (const TRegisterRow &r : m_import.registerRows(m_begin->date(), m_end->date(), entries))
            lines << TRegisterLine{r, names.AnalyzeText(r.Debet, r.KauDebet), names.AnalyzeText(r.Kredit, r.KauKredit)};
    }
    m_register->setChecked({});
    m_register->setRecords(lines);
}

void TfrmImportOperation::checkAll()
{
    // The current row stays current.
    m_register->setChecked(m_register->allKeys());
}

void TfrmImportOperation::uncheckAll()
{
    m_register->setChecked({});
}

TImportChoice TfrmImportOperation::choice() const
{
    TImportChoice c;
    c.DateBegin = m_begin->date();
    c.DateEnd = m_end->date();
    for (const TEntryTemplateRow &e : m_entries->checkedEntries())
        c.EntryIds << e.Id;
    c.Keys = m_register->checked;
    return c;
}

void TfrmImportOperation::done(int result)
{
    korvex::widgets::guarded(this, [this] {
        m_options.SetDateOption(QStringLiteral("dlgimportoperation_datebegin"), true, m_begin->date());
        m_options.SetDateOption(QStringLiteral("dlgimportoperation_dateend"), true, m_end->date());
    });
    QDialog::done(result);
}

bool TImportChooserWindow::choose(TxImportKorvex &import, TImportChoice &choice)
{
    TfrmImportOperation dlg(import, m_options, m_parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choice = dlg.choice();
    return true;
}

} // namespace korvex::accounting
