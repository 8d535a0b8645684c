#pragma once

#include <QList>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::customers {

class TCachedRow;

// Ties the fields of a dialog to the columns of cached rows: load() shows
// the rows' values, store() puts the fields' values back into the rows.
// The rows must outlive the binder.
class TRowBinder
{
public:
    void text(QLineEdit *edit, TCachedRow &row, const QString &field);
    void check(QCheckBox *box, TCachedRow &row, const QString &field);
    // A number or a date typed into a checked field; empty text is NULL.
    void number(korvex::widgets::TxCheckedEdit *edit, TCachedRow &row, const QString &field);
    void date(korvex::widgets::TxCheckedEdit *edit, TCachedRow &row, const QString &field);
    // A list whose position plus offset is the value.
    void position(QComboBox *box, TCachedRow &row, const QString &field, int offset = 0);
    void lookup(korvex::widgets::TxLookupBox *box, TCachedRow &row, const QString &field);

    void load() const;
    void store() const;

private:
    struct Binding {
        std::function<void()> load;
        std::function<void()> store;
    };
    QList<Binding> m_bindings;
};

} // namespace korvex::customers
