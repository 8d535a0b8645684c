#pragma once

#include "widgets/xSqlFilter.h"

#include <QString>
#include <QVariantList>
#include <array>

namespace korvex::shell {
class TmmOptions;
}

namespace korvex::customers {

// The conditions of the enterprise list or the bank list of the customer
// directory, remembered per user under the list's option prefix. The list is
// the rows of cst_p_client_listex (its arguments in the order of
// listArguments()), read by a statement of its own (listStatement); the
// setters keep the values in range, so a value read from the options can
// never ask for a mode that does not exist.
class TFactoryFilter
{
public:
    // Comparison of a text condition.
    enum Mode { Off = -1, Equals = 0, Contains = 1, StartsWith = 2, EndsWith = 3 };
    // The text conditions, in the order of the procedure's arguments.
    enum Field { Name, ZipCode, PoBox, Unn, Okpo, Phone, Fax, Email, Url };
    static constexpr int FieldCount = 9;

    static QString enterprisePrefix() { return QStringLiteral("ir_factory_"); }
    static QString bankPrefix() { return QStringLiteral("ir_bank_"); }
    static QString defaultNameMask() { return QStringLiteral("TARNWELL SOFTWARE"); }

    explicit TFactoryFilter(const QString &prefix = enterprisePrefix());
    virtual ~TFactoryFilter();
    TFactoryFilter(const TFactoryFilter &) = default;
    TFactoryFilter &operator=(const TFactoryFilter &) = default;

    QString prefix() const { return m_prefix; }

    // -1 any state, 0 active, 1 inactive; anything else becomes -1.
    int disabledValue() const { return m_disabled; }
    void setDisabledValue(int value);
    // Keys of fin_companykind / fin_propertykind, -1 any; taken as given.
    int companyKindValue() const { return m_companyKind; }
    void setCompanyKindValue(int value) { m_companyKind = value; }
    int propertyKindValue() const { return m_propertyKind; }
    void setPropertyKindValue(int value) { m_propertyKind = value; }
    // A place of fin_place, -1 any; 0 or less becomes -1.
    int placeValue() const { return m_place; }
    void setPlaceValue(int value);

    // A mode outside 0..3 becomes Off.
    int use(Field field) const { return m_use[field]; }
    void setUse(Field field, int mode);
    QString mask(Field field) const { return m_mask[field]; }
    void setMask(Field field, const QString &mask) { m_mask[field] = mask; }

    // Every value through the setters; the prefix stays.
    virtual void Assign(const TFactoryFilter &other);
    // An option not stored keeps its default. Without an options store:
    // std::invalid_argument.
    virtual void ReadFromOptions(const korvex::shell::TmmOptions *options);
    virtual void WriteToOptions(korvex::shell::TmmOptions *options) const;

    // Every value back to its default.
    void reset();

    // The 22 filter arguments of cst_p_client_listex, in its order.
    QVariantList listArguments() const;
    // SELECT * FROM cst_p_client_listex(...) for a customer kind (1
    // enterprises and persons, 2 banks), every value bound.
    korvex::widgets::TxSqlFilter procedureStatement(int customerKind) const;
    // The same rows and columns as a statement of the list's own, with the
    // conditions in use only, for a TxQueryModel ordered by listOrder() and
    // keyed by listKey(): the list opens, sorts and finds a row without
    // reading all customers (the indexes behind that order are in the schema).
    korvex::widgets::TxSqlFilter listStatement(int customerKind) const;
    static QString listOrder() { return QStringLiteral("name, customerkey"); }
    static QString listKey() { return QStringLiteral("customerkey"); }

    // The option name of a field's mode ("usename") and mask ("namemask").
    static QString fieldName(Field field);
    static QString useOption(Field field) { return QStringLiteral("use") + fieldName(field); }
    static QString maskOption(Field field) { return fieldName(field) + QStringLiteral("mask"); }

    bool operator==(const TFactoryFilter &other) const;

private:
    QString m_prefix;
    int m_disabled = -1;
    int m_companyKind = -1;
    int m_propertyKind = -1;
    int m_place = -1;
    std::array<int, FieldCount> m_use{};
    std::array<QString, FieldCount> m_mask{};
};

} // namespace korvex::customers
