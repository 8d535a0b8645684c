#include "FactoryFilter.h"

#include "db/xTransaction.h"
#include "shell/OptionFilter.h"
#include "shell/mmOptions.h"

#include <algorithm>
#include <stdexcept>

namespace korvex::customers {

using korvex::shell::TmmOptions;
using korvex::shell::TxOptionFilter;

TFactoryFilter::TFactoryFilter(const QString &prefix)
    : m_prefix(prefix)
{
    reset();
}

TFactoryFilter::~TFactoryFilter() = default;

void TFactoryFilter::reset()
{
    m_disabled = -1;
    m_companyKind = -1;
    m_propertyKind = -1;
    m_place = -1;
    m_use.fill(Off);
    m_mask.fill(QString());
    m_use[Name] = Contains;
    m_mask[Name] = defaultNameMask();
}

QString TFactoryFilter::fieldName(Field field)
{
    static const char *const names[FieldCount] = {"name", "zipcode", "pobox", "unn", "okpo",
                                                  "phone", "fax", "email", "url"};
    return QString::fromLatin1(names[field]);
}

void TFactoryFilter::setDisabledValue(int value)
{
    m_disabled = (value == 0 || value == 1) ? value : -1;
}

void TFactoryFilter::setPlaceValue(int value)
{
    m_place = value > 0 ? value : -1;
}

void TFactoryFilter::setUse(Field field, int mode)
{
    m_use[field] = (mode >= Equals && mode <= EndsWith) ? mode : Off;
}

void TFactoryFilter::Assign(const TFactoryFilter &other)
{
    setDisabledValue(other.disabledValue());
    setCompanyKindValue(other.companyKindValue());
    setPropertyKindValue(other.propertyKindValue());
    setPlaceValue(other.placeValue());
    for (int i = 0; i < FieldCount; ++i) {
        const auto f = Field(i);
        setUse(f, other.use(f));
        setMask(f, other.mask(f));
    }
}

void TFactoryFilter::ReadFromOptions(const TmmOptions *options)
{
    if (!options)
        throw std::invalid_argument("Can't read params from a database");
    // Read into a default copy, then take the values over through the
    // setters: stored values out of range are normalised like typed ones.
    TFactoryFilter read(m_prefix);
    TxOptionFilter bound(const_cast<TmmOptions &>(*options), m_prefix);
    bound.bindInt(QStringLiteral("disabledvalue"), &read.m_disabled, -1);
    bound.bindInt(QStringLiteral("companykindvalue"), &read.m_companyKind, -1);
    bound.bindInt(QStringLiteral("propertykindvalue"), &read.m_propertyKind, -1);
    bound.bindInt(QStringLiteral("placevalue"), &read.m_place, -1);
    for (int i = 0; i < FieldCount; ++i) {
        const auto f = Field(i);
        bound.bindInt(useOption(f), &read.m_use[i], f == Name ? int(Contains) : int(Off));
        bound.bindString(maskOption(f), &read.m_mask[i], f == Name ? defaultNameMask() : QString());
    }
    bound.load();
    Assign(read);
}

void TFactoryFilter::WriteToOptions(TmmOptions *options) const
{
    if (!options)
        throw std::invalid_argument("Can't write params to a database");
    TFactoryFilter copy(*this);
    TxOptionFilter bound(*options, m_prefix);
    bound.bindInt(QStringLiteral("disabledvalue"), &copy.m_disabled, -1);
    bound.bindInt(QStringLiteral("companykindvalue"), &copy.m_companyKind, -1);
    bound.bindInt(QStringLiteral("propertykindvalue"), &copy.m_propertyKind, -1);
    bound.bindInt(QStringLiteral("placevalue"), &copy.m_place, -1);
    for (int i = 0; i < FieldCount; ++i) {
        bound.bindInt(useOption(Field(i)), &copy.m_use[i], Off);
        bound.bindString(maskOption(Field(i)), &copy.m_mask[i]);
    }
    // One transaction: a filter is stored whole or not at all.
    korvex::db::TxWriteScope tr(options->database());
    bound.save();
    tr.commit();
}

QVariantList TFactoryFilter::listArguments() const
{
    auto pair = [this](QVariantList &out, Field f) {
        out << m_use[f] << m_mask[f];
    };
    QVariantList v{m_disabled, m_companyKind, m_propertyKind};
    pair(v, Name);
    pair(v, ZipCode);
    v << m_place;
    for (Field f : {PoBox, Unn, Okpo, Phone, Fax, Email, Url})
        pair(v, f);
    return v;
}

korvex::widgets::TxSqlFilter TFactoryFilter::procedureStatement(int customerKind) const
{
    QVariantList values = listArguments();
    values << customerKind;
    QStringList marks;
    for (int i = 0; i < values.size(); ++i)
        marks << QStringLiteral("?");
    return korvex::widgets::TxSqlFilter(
        QStringLiteral("SELECT * FROM cst_p_client_listex(%1)").arg(marks.join(QStringLiteral(", "))), values);
}

korvex::widgets::TxSqlFilter TFactoryFilter::listStatement(int customerKind) const
{
    // The rows and columns of cst_p_client_listex, as a statement the list
    // can order by an index and walk from any row: only the conditions in
    // use, each as the procedure words it (fin_f_textmatch: trimmed, without
    // letter case), every value bound.
    korvex::widgets::TxSqlFilter q(QStringLiteral(
        "SELECT c.customerkey, c.id, c.kind, c.name, c.fullname, c.code, c.companykindkey, c.propertykindkey, "
        "c.placekey, c.zipcode, c.pobox, c.domicile, c.phone, c.fax, c.email, c.url, c.unn, c.okpo, c.okonh, "
        "c.soato, c.soou, c.externalkey, c.disabled, ck.name AS companykindname, pk.name AS propertykindname "
        "FROM cst_customer c "
        "LEFT JOIN fin_companykind ck ON ck.companykindkey = c.companykindkey "
        "LEFT JOIN fin_propertykind pk ON pk.propertykindkey = c.propertykindkey "
        "WHERE 1 = 1"));
    if (customerKind == 1)
        q.add(QStringLiteral("AND c.kind <> 2"));
    else if (customerKind != 0)
        q.add(QStringLiteral("AND c.kind = ?"), customerKind);
    q.addIf(m_disabled != -1, QStringLiteral("AND COALESCE(c.disabled, 0) = ?"), m_disabled);
    q.addIf(m_companyKind != -1, QStringLiteral("AND c.companykindkey = ?"), m_companyKind);
    q.addIf(m_propertyKind != -1, QStringLiteral("AND c.propertykindkey = ?"), m_propertyKind);
    q.addIf(m_place > 0, QStringLiteral("AND fin_f_tree_under(1, c.placekey, ?) = 1"), m_place);
    for (int i = 0; i < FieldCount; ++i) {
        const int mode = m_use[i];
        const QString &mask = m_mask[i];
        if (mode == Off)
            continue;
        // The server trims blanks only: a mask of blanks matches every value
        // but in "equals".
        const bool blank = std::all_of(mask.cbegin(), mask.cend(), [](QChar c) { return c == QLatin1Char(' '); });
        if (blank && mode != Equals)
            continue;
        const QString v = QStringLiteral("UPPER(TRIM(COALESCE(c.%1, '')))").arg(fieldName(Field(i)));
        const QString m = QStringLiteral("UPPER(TRIM(CAST(? AS d_str1000)))");
        switch (mode) {
        case Equals: q.add(QStringLiteral("AND %1 = %2").arg(v, m), mask); break;
        case Contains: q.add(QStringLiteral("AND POSITION(%2 IN %1) > 0").arg(v, m), mask); break;
        case StartsWith: q.add(QStringLiteral("AND %1 STARTING WITH %2").arg(v, m), mask); break;
        default:
            q.add(QStringLiteral("AND CHAR_LENGTH(%1) >= CHAR_LENGTH(%2) AND RIGHT(%1, CHAR_LENGTH(%2)) = %2").arg(v, m),
                  mask, mask, mask);
            break;
        }
    }
    return q;
}

bool TFactoryFilter::operator==(const TFactoryFilter &other) const
{
    return m_disabled == other.m_disabled && m_companyKind == other.m_companyKind
        && m_propertyKind == other.m_propertyKind && m_place == other.m_place && m_use == other.m_use
        && m_mask == other.m_mask;
}

} // namespace korvex::customers
