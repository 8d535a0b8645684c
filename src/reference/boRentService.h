#pragma once

#include "shell/AppContext.h"
#include "widgets/xDatedValueModel.h"
#include "widgets/xFieldTableModel.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::reference {

class TReferenceDialogs;

// One row of rent_service as the service dialog edits it.
struct TServiceRecord {
    int id = 0;  // 0: a new service
    std::optional<int> parent;
    QString name;
    std::optional<int> priority;
    QString description1;
    QString description2;
    QString description3;
    std::optional<int> mainService;
    QDate startDate;  // invalid: none
    QDate endDate;
    bool currService = false;  // "Валютная"
    bool printService = true;  // "Печатать услугу в договоре"
    bool rejectDebt = true;    // "Списывать данную услугу только по долгу"
};

// One row of rent_serviceoperation: the bookkeeping operation type posted for
// a lease operation kind and a customer kind.
struct TServiceOperationRecord {
    int id = 0;  // 0: not stored yet
    std::optional<int> rentOperation;
    std::optional<int> typeCustomer;
    std::optional<int> operationKey;
};

// One dated value of a service (rent_servicevalue).
struct TServiceValueRecord {
    int id = 0;  // 0: not stored yet
    int serviceKey = 0;
    QDate serviceDate;
    std::optional<double> value;
};

// The services a contract charges for: a tree with a period of validity,
// the NCU/currency switch, flags the contract, debt and printing read, dated
// values and the operation table of the accounting link.
class TboRentService : public QObject
{
    Q_OBJECT
public:
    explicit TboRentService(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                            QObject *owner = nullptr);

    // The keys ChooseServices answered (and the marks it starts with).
    QList<int> ServiceKeys;
    // "Выбор услуг": on "Ок" ServiceKeys becomes the marked services.
    bool ChooseServices();

    // A new service under parent (0: at the top) named name, valid from today
    // to today. newKey: the last service stored.
    bool NewService(int parent, const QString &name, int *newKey = nullptr);
    bool EditService(int key);
    // Asks first, then deletes the service with its dated values and
    // operation rows; a service still referenced elsewhere is reported and
    // kept with all of them.
    bool DeleteService(int key);

    // --- Rows, for the dialogs and pages ---------------------------------------
    TServiceRecord newRecord(std::optional<int> parent, const QString &name) const;
    std::optional<TServiceRecord> readService(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeService(TServiceRecord &record);

    QList<TServiceOperationRecord> readOperations(int serviceKey) const;
    // Makes the service's operation rows what the list says, in one
    // transaction: rows missing from the list are deleted, the others updated
    // or inserted with the service's key.
    void writeOperations(int serviceKey, const QList<TServiceOperationRecord> &rows);

    QList<TServiceValueRecord> readValues(int serviceKey) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeValue(TServiceValueRecord &record);
    // Asks first.
    bool deleteValue(int id);

    // The computed column of the operations dialog: the operation kind's
    // name and " | " for kinds 0 to 4, then the customer kind's name for
    // kinds 1 to 4.
    static QString operationCaption(std::optional<int> rentOperation, std::optional<int> typeCustomer);
    static QString operationKindName(int kind);  // "" outside 0..4
    static QString customerKindName(int kind);   // "" outside 1..4

    // The service tree, by name; for the chooser a flat list with marks.
    void setUpTree(korvex::widgets::TxTreeModel &model, bool forChooser) const;

    korvex::shell::TAppContext &context() const { return m_context; }
    TReferenceDialogs *dialogs() const { return m_dialogs; }

private:
    TReferenceDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TReferenceDialogs *m_dialogs;
};

// The operation rows of one service as the operations dialog edits them:
// pending until the dialog stores them all. Fields RENTOPERATION,
// TYPECUSTOMER, OPERATIONNAME (computed, read-only), OPERATIONKEY.
class TServiceOperationModel : public korvex::widgets::TxRecordTableModel<TServiceOperationRecord>
{
    Q_OBJECT
public:
    enum Column { RentOperationColumn, TypeCustomerColumn, CaptionColumn, OperationKeyColumn };

    explicit TServiceOperationModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void cellRefused(const QString &message);
};

// The dated values of one service, edited in place (TxDatedValueModel); a
// new row is dated today. Fields SERVICEDATE, SERVICEVALUE.
class TServiceValueModel : public korvex::widgets::TxDatedValueModel
{
    Q_OBJECT
public:
    explicit TServiceValueModel(TboRentService &bo, QObject *parent = nullptr);

    int serviceKey() const { return ownerKey(); }

protected:
    QList<korvex::widgets::TxDatedValue> readRows(int serviceKey) override;
    void writeRow(korvex::widgets::TxDatedValue &row) override;

private:
    TboRentService &m_bo;
};

} // namespace korvex::reference
