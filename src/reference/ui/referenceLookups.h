#pragma once

#include <QString>

class QWidget;

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {
class TxLookupBox;
}

namespace korvex::reference {

// The pick lists of the reference data, the same in every dialog: by short
// name for currencies, by name for objects and services. The chooser button
// is hidden; a dialog that has a chooser shows it.
korvex::widgets::TxLookupBox *newCurrencyBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newObjectBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);
korvex::widgets::TxLookupBox *newServiceBox(korvex::db::TxDatabase &db, const QString &name, QWidget *parent);

} // namespace korvex::reference
