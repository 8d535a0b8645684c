#pragma once

#include "customers/boCustAttr.h"
#include "widgets/ui/xEditDialog.h"
#include "widgets/ui/xTreeChooser.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QKeySequenceEdit;
class QLineEdit;

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::customers {

// "Аттрибуты": the attribute tree with check boxes, opened on one customer's
// attributes (showOwn) or empty. "&Готово" gives every customer exactly the
// checked attributes, in one transaction.
class TdlgCustAttributes : public korvex::widgets::TdlgTreeChooser
{
    Q_OBJECT
public:
    TdlgCustAttributes(korvex::db::TxDatabase &db, const QList<int> &customers, bool showOwn,
                       QWidget *parent = nullptr);

    // What "&Готово" does; false when nothing was written (declined or failed).
    bool confirm();
    void accept() override;

private:
    void editAttribute(bool create, bool below);
    void deleteAttribute();

    korvex::db::TxDatabase &m_db;
    QList<int> m_customers;
};

// "Аттрибут": one attribute of the tree.
class TdlgCustAttr : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgCustAttr(korvex::db::TxDatabase &db, const TAttributeRecord &row, QWidget *parent = nullptr);

protected:
    int writeRecord() override;
    void afterSave() override;

private:
    TAttributeRecord m_row;
    QLineEdit *m_name;
    QLineEdit *m_shortName;
    QLineEdit *m_tokem;
    QCheckBox *m_disabled;
    QKeySequenceEdit *m_hotkey;
};

} // namespace korvex::customers
