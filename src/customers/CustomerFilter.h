#pragma once

#include "widgets/xSqlFilter.h"

#include <QDate>
#include <QList>
#include <QString>

namespace korvex::shell {
class TmmOptions;
}

namespace korvex::customers {

// The list filter of the report customer choice ("Фильтрация клиентов"):
// tenants of every kind or of one, with any attribute, with one of the
// checked attributes, or regardless of attributes. Remembered per user.
class TCustomerFilter
{
public:
    bool allKinds = true;        // "Все типы"
    bool allAttributes = true;   // "Все аттрибуты"
    int kindIndex = 0;           // list position; the kind is position + 1
    QList<int> attributes;       // checked attribute keys

    void read(const korvex::shell::TmmOptions &options);
    void write(korvex::shell::TmmOptions &options) const;

    // The customers that have a contract, as the filter narrows them, by name.
    korvex::widgets::TxSqlFilter tenantStatement() const;

    // The stored key list: integers only, whatever else the text holds; a
    // key never reaches a statement but as a bound value.
    static QList<int> parseKeys(const QString &text);
    static QString keysText(const QList<int> &keys);
};

// Customers with an open contract for a service ("Выбор по услуге"). A
// contract whose disabled flag is NULL counts as open.
korvex::widgets::TxSqlFilter customersWithService(int serviceKey);

// The remembered answers of the report customer choice.
struct TChooseCustomerOptions {
    QDate startDate;
    QDate endDate;
    bool unlimited = false;     // "Неограниченный период"
    bool allCustomers = false;  // "Все клиенты"
    bool allPayments = true;    // "По всем формам"
    int paymentKey = 0;

    void read(const korvex::shell::TmmOptions &options, const QDate &today);
    void write(korvex::shell::TmmOptions &options) const;
};

} // namespace korvex::customers
