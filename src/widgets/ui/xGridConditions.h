#pragma once

#include "widgets/xCondition.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStyleOptionViewItem>

class QAbstractItemModel;

namespace korvex::widgets {

class TxDBGrid;

// A field of the grid's data set as the rule dialog lists it.
struct TGridField {
    QString name;
    QString label;
    bool visible = true;
    TFieldKind kind = TFieldKind::Text;
};

// The conditional formatting of one grid: its rules, the switch that turns
// them on, and the cell look they give. A rule is tested once per row and
// the answer kept until the rows change (a re-query, an edit, new rules), so
// painting the same rows again tests nothing.
class TxGridConditions : public QObject
{
    Q_OBJECT
public:
    explicit TxGridConditions(TxDBGrid *grid);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    const QList<TCondition> &rules() const { return m_rules; }
    // New rules; marks them changed (the stored layout rewrites them).
    void setRules(const QList<TCondition> &rules);
    bool rulesChanged() const { return m_changed; }
    void setRulesChanged(bool changed) { m_changed = changed; }

    void setModel(QAbstractItemModel *model);
    // The fields of the data set in its order, with their column titles.
    QList<TGridField> fields() const;
    // The record of a row (none: every field NULL).
    QList<TRecordValue> record(int row) const;

    // The look the rules give the cell (called while drawing it).
    void apply(const QModelIndex &index, QStyleOptionViewItem &option);
    TConditionTester &tester() { return m_tester; }
    void invalidate() { m_cache.clear(); }

    // The rule dialog over a copy of the rules; true when confirmed (the
    // rules are then the dialog's).
    bool edit(QWidget *parent);

Q_SIGNALS:
    void changed();

private:
    const QList<bool> &results(int row);

    TxDBGrid *m_grid;
    QList<TCondition> m_rules;
    bool m_enabled = false;
    bool m_changed = false;
    TConditionTester m_tester;
    QHash<int, QList<bool>> m_cache;  // row -> whether each rule holds
    QList<QMetaObject::Connection> m_connections;
};

} // namespace korvex::widgets
