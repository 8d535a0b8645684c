#pragma once

#include "customers/boCustomer.h"
#include "shell/AppContext.h"
#include "widgets/ui/xEditDialog.h"

#include <QList>
#include <functional>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTableWidget;
class QCheckBox;

namespace korvex::widgets {
class TxLookupBox;
class TxCheckedEdit;
}

namespace korvex::customers {

// "Карточка клиента": a customer with its details, contact person and bank
// accounts, edited on a sequence of pages - the main data; the codes and
// the accounts; then the enterprise details (enterprises, banks) or the
// person details (private persons, entrepreneurs) - and saved whole in one
// transaction: the card's own, or the caller's when one is active.
// "&Новый" (a new customer in the card's own transaction) saves, commits and
// starts the next new customer.
class TdlgCustomer : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // key -1: a new customer of the kind given, named name.
    TdlgCustomer(korvex::shell::TAppContext &context, const QString &name, int key, int kind, QWidget *parent = nullptr);

    TboCustomer &customer() { return m_bo; }

    // Pages: 0 main, 1 codes and accounts, 2 enterprise, 3 person.
    int currentPage() const;
    void goForward();
    void goBack();

    QComboBox *kindBox() const { return m_kind; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *addressEdit() const { return m_address; }
    QTableWidget *accountList() const { return m_accounts; }
    QGroupBox *registrationGroup() const { return m_registration; }
    korvex::widgets::TxLookupBox *propertyKindBox() const { return m_propertyKind; }
    korvex::widgets::TxLookupBox *companyKindBox() const { return m_companyKind; }

    // "&Адрес...": the place tree, then "Изменить адрес?".
    void chooseAddress();
    void addAccount();
    void editAccount();
    void removeAccount();

protected:
    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    QWidget *buildMainPage();
    QWidget *buildCodesPage();
    QWidget *buildFactoryPage();
    QWidget *buildPersonPage();
    // A line of text showing the member of the record; name: the field's
    // object name (table_column).
    template<class Record>
    QLineEdit *text(QFormLayout *form, const QString &caption, Record &record, QString Record::*member, const QString &name);
    void display();
    void collect();
    void kindChanged(int index);
    void showPage(int page);
    void fillAccounts();
    void loadAll();
    // A classifier typed that does not exist, or the "..." button: the
    // classifier's dialog for a new entry named as typed.
    void newClassifier(korvex::widgets::TxLookupBox *box, bool companyKind, const QString &name);

    korvex::shell::TAppContext &m_context;
    TboCustomer m_bo;
    // How each field shows its member and takes it back.
    QList<std::function<void()>> m_display;
    QList<std::function<void()>> m_collect;

    QStackedWidget *m_pages;
    QPushButton *m_back;
    QPushButton *m_forward;
    QComboBox *m_kind;
    QLineEdit *m_name;
    QLineEdit *m_address;
    korvex::widgets::TxLookupBox *m_propertyKind;
    korvex::widgets::TxLookupBox *m_companyKind;
    QWidget *m_bankCodes;
    QTableWidget *m_accounts;
    QGroupBox *m_registration;
};

} // namespace korvex::customers
