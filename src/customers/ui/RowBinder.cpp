#include "RowBinder.h"

#include "customers/RowCache.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace korvex::customers {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

void TRowBinder::text(QLineEdit *edit, TCachedRow &row, const QString &field)
{
    m_bindings.append({[edit, &row, field] { edit->setText(row.text(field).trimmed()); },
                       [edit, &row, field] { row.setValue(field, edit->text().trimmed()); }});
}

void TRowBinder::check(QCheckBox *box, TCachedRow &row, const QString &field)
{
    m_bindings.append({[box, &row, field] { box->setChecked(row.value(field).toInt() != 0); },
                       [box, &row, field] { row.setValue(field, box->isChecked() ? 1 : 0); }});
}

void TRowBinder::number(TxCheckedEdit *edit, TCachedRow &row, const QString &field)
{
    m_bindings.append({[edit, &row, field] {
                           const QVariant v = row.value(field);
                           if (v.isNull())
                               edit->clear();
                           else
                               edit->setIntValue(v.toInt());
                       },
                       [edit, &row, field] {
                           const auto v = edit->intValue();
                           row.setValue(field, v ? QVariant(*v) : QVariant());
                       }});
}

void TRowBinder::date(TxCheckedEdit *edit, TCachedRow &row, const QString &field)
{
    m_bindings.append({[edit, &row, field] {
                           const QVariant v = row.value(field);
                           if (v.isNull())
                               edit->clear();
                           else
                               edit->setDateValue(v.toDate());
                       },
                       [edit, &row, field] {
                           const auto v = edit->dateValue();
                           row.setValue(field, v ? QVariant(*v) : QVariant());
                       }});
}

void TRowBinder::position(QComboBox *box, TCachedRow &row, const QString &field, int offset)
{
    m_bindings.append({[box, &row, field, offset] {
                           const QVariant v = row.value(field);
                           box->setCurrentIndex(v.isNull() ? -1 : v.toInt() - offset);
                       },
                       [box, &row, field, offset] {
                           row.setValue(field, box->currentIndex() < 0 ? QVariant() : QVariant(box->currentIndex() + offset));
                       }});
}

void TRowBinder::lookup(TxLookupBox *box, TCachedRow &row, const QString &field)
{
    m_bindings.append({[box, &row, field] { box->setKey(row.value(field)); },
                       [box, &row, field] {
                           box->resolveText();
                           row.setValue(field, box->key());
                       }});
}

void TRowBinder::load() const
{
    for (const Binding &b : m_bindings)
        b.load();
}

void TRowBinder::store() const
{
    for (const Binding &b : m_bindings)
        b.store();
}

} // namespace korvex::customers
