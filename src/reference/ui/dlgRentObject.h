#pragma once

#include "reference/boRentOTLocation.h"
#include "reference/boRentObject.h"
#include "widgets/ui/xEditDialog.h"
#include "widgets/ui/xTreeChooser.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace korvex::widgets {
class TxCheckedEdit;
class TxDBTreeView;
class TxLookupBox;
class TxTreeModel;
}

namespace korvex::reference {

// "Объект": one leased object. A location or type name that is not in its
// list makes a new location or type of that name.
class TdlgRentObject : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentObject(TboRentObject &bo, const TRentObjectRecord &record, bool isNew, QWidget *parent = nullptr);
    ~TdlgRentObject() override;


    korvex::widgets::TxLookupBox *locationBox() const { return m_location; }
    korvex::widgets::TxLookupBox *typeBox() const { return m_type; }

protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    void display(const TRentObjectRecord &record);

    TboRentObject &m_bo;
    TRentObjectRecord m_record;
    TboRentTreeItem *m_locations;
    TboRentTreeItem *m_types;
    QLineEdit *m_name;
    korvex::widgets::TxLookupBox *m_location;
    korvex::widgets::TxLookupBox *m_type;
    QPlainTextEdit *m_description;
    QLineEdit *m_attribute;
    korvex::widgets::TxCheckedEdit *m_coef[3];
    QCheckBox *m_disabled;
    QCheckBox *m_boolAttribute;
    QCheckBox *m_complete;
    QCheckBox *m_isGroup;
};

// "Место расположения" and "Тип объекта": the name of one row of the tree.
class TdlgRentOTLocation : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentOTLocation(TboRentTreeItem &bo, const TRentTreeRecord &record, bool isNew, QWidget *parent = nullptr);
    ~TdlgRentOTLocation() override;


protected:
    int writeRecord() override;
    void startNextRecord() override;

private:
    TboRentTreeItem &m_bo;
    TRentTreeRecord m_record;
    QLineEdit *m_name;
};

// "Выбор объекта": the object tree with marks, offering only objects that
// have a location and a type.
class TdlgRentChooseObject : public korvex::widgets::TdlgTreeChooser
{
    Q_OBJECT
public:
    TdlgRentChooseObject(TboRentObject &bo, TObjectChoice &choice, QWidget *parent = nullptr);
    ~TdlgRentChooseObject() override;

    void accept() override;

private:
    TObjectChoice &m_choice;
    QCheckBox *m_allObjects;
    QCheckBox *m_includeGroup;
};

} // namespace korvex::reference
