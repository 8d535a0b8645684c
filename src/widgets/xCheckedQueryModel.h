#pragma once

#include "xQueryModel.h"

#include <QList>
#include <QSet>

namespace korvex::widgets {

// A query list with a check column: each row can be ticked, and the ticks
// are kept by the row's key across re-queries and sorting, in the order they
// were given (documents made for ticked rows follow it). The check box is
// shown in the column of one field.
class TxCheckedQueryModel : public TxQueryModel
{
    Q_OBJECT
public:
    explicit TxCheckedQueryModel(db::TxDatabase &db, QObject *parent = nullptr);

    // The key field of a row and the field whose column shows the box.
    void setCheckColumn(const QString &keyField, const QString &checkField);

    bool isChecked(const QVariant &key) const;
    void setChecked(const QVariant &key, bool on);
    // The ticked keys in the order they were ticked.
    QList<QVariant> checkedKeys() const { return m_order; }
    QList<int> checkedIntKeys() const;
    int checkedCount() const { return int(m_order.size()); }
    // Ticks exactly these keys (none: clears every tick).
    void setCheckedKeys(const QList<QVariant> &keys);
    void clearChecks() { setCheckedKeys({}); }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void checksChanged();

private:
    QVariant keyAt(int row) const;
    int checkColumn() const;

    QString m_keyField;
    QString m_checkField;
    QList<QVariant> m_order;
    QSet<qint64> m_checked;
};

} // namespace korvex::widgets
