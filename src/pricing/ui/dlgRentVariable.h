#pragma once

#include "calc/boRentVariable.h"
#include "widgets/ui/xEditDialog.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace korvex::reference {
class TReferenceDialogs;
class TboRentObject;
}

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::calc {

// "Переменная": one variable of the dictionary. The bindings are chosen when
// the variable is made; editing shows them without letting them change.
class TdlgRentVariable : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentVariable(TboRentVariable &bo, const TVariableRecord &record, bool isNew, QWidget *parent = nullptr);
    ~TdlgRentVariable() override;

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QCheckBox *objectCheck() const { return m_lockObject; }
    QCheckBox *serviceCheck() const { return m_lockService; }
    QCheckBox *customerCheck() const { return m_lockCustomer; }

protected:
    bool validate() override;
    int writeRecord() override;
    void startNextRecord() override;

private:
    void display(const TVariableRecord &record);

    TboRentVariable &m_bo;
    TVariableRecord m_record;
    QLineEdit *m_name;
    QLineEdit *m_description;
    QCheckBox *m_lockObject;
    QCheckBox *m_lockService;
    QCheckBox *m_lockCustomer;
};

// "Значение переменной": one value row. The object, service and customer
// boxes are open exactly for the bindings of the chosen variable; "..."
// beside the object opens the object chooser.
class TdlgRentValueVariable : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // referenceDialogs: the windows of the object chooser (none: no chooser).
    TdlgRentValueVariable(TboRentValueVariable &bo, const TValueVariableRecord &record, bool isNew,
                          korvex::reference::TReferenceDialogs *referenceDialogs, QWidget *parent = nullptr);
    ~TdlgRentValueVariable() override;

    korvex::widgets::TxLookupBox *variableBox() const { return m_variable; }
    korvex::widgets::TxLookupBox *objectBox() const { return m_object; }
    korvex::widgets::TxLookupBox *serviceBox() const { return m_service; }
    korvex::widgets::TxLookupBox *customerBox() const { return m_customer; }
    korvex::widgets::TxCheckedEdit *valueEdit() const { return m_value; }

protected:
    bool validate() override;
    int writeRecord() override;
    void startNextRecord() override;

private:
    void display(const TValueVariableRecord &record);
    // Opens the boxes the chosen variable is bound to and closes the others.
    void applyBindings();
    // The record as the fields show it; closed boxes give no key.
    TValueVariableRecord collect() const;

    TboRentValueVariable &m_bo;
    TValueVariableRecord m_record;
    korvex::reference::TboRentObject *m_objects = nullptr;
    korvex::widgets::TxLookupBox *m_variable;
    korvex::widgets::TxLookupBox *m_object;
    korvex::widgets::TxLookupBox *m_service;
    korvex::widgets::TxLookupBox *m_customer;
    korvex::widgets::TxCheckedEdit *m_value;
};

// "Введите значение": one number.
class TdlgValue : public QDialog
{
    Q_OBJECT
public:
    explicit TdlgValue(QWidget *parent = nullptr);

    korvex::widgets::TxCheckedEdit *valueEdit() const { return m_value; }
    std::optional<double> value() const;

    void accept() override;

private:
    korvex::widgets::TxCheckedEdit *m_value;
};

} // namespace korvex::calc
