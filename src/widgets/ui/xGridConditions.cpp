#include "xGridConditions.h"

#include "frmConditionalFormatting.h"
#include "xDBGrid.h"
#include "xRtsColors.h"

#include <QHeaderView>
#include <QSqlQueryModel>
#include <QSqlField>
#include <QSqlRecord>

namespace korvex::widgets {

TxGridConditions::TxGridConditions(TxDBGrid *grid)
    : QObject(grid)
    , m_grid(grid)
{
}

void TxGridConditions::setEnabled(bool on)
{
    if (m_enabled == on)
        return;
    m_enabled = on;
    m_grid->viewport()->update();
    Q_EMIT changed();
}

void TxGridConditions::setRules(const QList<TCondition> &rules)
{
    m_rules = rules;
    m_changed = true;
    m_cache.clear();
    m_grid->viewport()->update();
    Q_EMIT changed();
}

void TxGridConditions::setModel(QAbstractItemModel *model)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_cache.clear();
    if (!model)
        return;
    // Any change of the rows or their values asks the rules again.
    const auto clear = [this] { m_cache.clear(); };
    m_connections << connect(model, &QAbstractItemModel::modelReset, this, clear)
                  << connect(model, &QAbstractItemModel::layoutChanged, this, clear)
                  << connect(model, &QAbstractItemModel::rowsInserted, this, clear)
                  << connect(model, &QAbstractItemModel::rowsRemoved, this, clear)
                  << connect(model, &QAbstractItemModel::rowsMoved, this, clear)
                  << connect(model, &QAbstractItemModel::dataChanged, this, clear);
}

QList<TGridField> TxGridConditions::fields() const
{
    QList<TGridField> out;
    QAbstractItemModel *m = m_grid->model();
    if (!m)
        return out;
    const auto *sql = qobject_cast<const QSqlQueryModel *>(m);
    for (int c = 0; c < m->columnCount(); ++c) {
        TGridField f;
        f.name = m_grid->columnField(c);
        f.label = m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        if (f.label.isEmpty())
            f.label = f.name;
        f.visible = !m_grid->isColumnHidden(c);
        if (sql)
            f.kind = fieldKindOf(sql->record().field(c).metaType());
        else if (m->rowCount() > 0)
            f.kind = fieldKindOf(m->index(0, c).data(Qt::EditRole).metaType());
        out << f;
    }
    return out;
}

QList<TRecordValue> TxGridConditions::record(int row) const
{
    QList<TRecordValue> out;
    QAbstractItemModel *m = m_grid->model();
    if (!m)
        return out;
    const auto *sql = qobject_cast<const QSqlQueryModel *>(m);
    const QSqlRecord rec = sql ? sql->record() : QSqlRecord();
    for (int c = 0; c < m->columnCount(); ++c) {
        TRecordValue v;
        v.name = m_grid->columnField(c);
        if (row >= 0 && row < m->rowCount())
            v.value = m->index(row, c).data(Qt::EditRole);
        const QMetaType type = sql ? rec.field(c).metaType() : v.value.metaType();
        v.kind = fieldKindOf(type);
        if (!v.value.isValid())
            v.value = QVariant(type);
        out << v;
    }
    return out;
}

const QList<bool> &TxGridConditions::results(int row)
{
    auto it = m_cache.find(row);
    if (it == m_cache.end()) {
        const QList<TRecordValue> rec = record(row);
        QList<bool> holds;
        holds.reserve(m_rules.size());
        for (const TCondition &rule : std::as_const(m_rules))
            holds << m_tester.holds(rule, rec);
        it = m_cache.insert(row, holds);
    }
    return it.value();
}

void TxGridConditions::apply(const QModelIndex &index, QStyleOptionViewItem &option)
{
    if (!m_enabled || m_rules.isEmpty() || !index.isValid())
        return;
    const QString field = m_grid->columnField(index.column());
    bool any = false;
    for (const TCondition &rule : std::as_const(m_rules))
        any = any || rule.appliesToColumn(field);
    if (!any)
        return;
    const QList<bool> &holds = results(index.row());
    const bool highlighted = option.state & QStyle::State_Selected;
    for (int i = 0; i < m_rules.size() && i < holds.size(); ++i) {
        const TCondition &rule = m_rules.at(i);
        if (!holds.at(i) || !rule.appliesToColumn(field))
            continue;
        // Later rules win, the colour and the font each on its own.
        if (rule.UseColor && !highlighted)
            option.backgroundBrush = toQColor(rule.Color);
        if (rule.UseFont) {
            option.font = toQFont(rule.Font, option.font);
            const QColor c = toQColor(rule.Font.color);
            if (c.isValid())
                option.palette.setColor(QPalette::Text, c);
        }
    }
}

bool TxGridConditions::edit(QWidget *parent)
{
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    TfrmConditionalFormatting dlg(fields(), m_rules, m_tester, record(row), parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    setRules(dlg.rules());
    return true;
}

} // namespace korvex::widgets
