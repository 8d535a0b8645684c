#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <variant>

namespace korvex::shell {

class TmmOptions;

// A set of values remembered per user in the options store under a common
// prefix (e.g. "rent_contract_" + "CustomerKey"). A business object binds its
// filter and sort fields once, load()s them when it is created and save()s
// them when the user confirms or the object goes; an absent or mistyped
// option leaves the field's default.
class TxOptionFilter
{
public:
    TxOptionFilter(TmmOptions &options, const QString &prefix);

    void bindInt(const QString &name, int *value, int def);
    void bindFloat(const QString &name, double *value, double def);
    void bindDate(const QString &name, QDate *value, const QDate &def);
    void bindString(const QString &name, QString *value, const QString &def = {});

    void load();
    void save() const;
    void reset();  // every field back to its default

    QString optionName(const QString &name) const { return m_prefix + name; }

private:
    struct Field {
        QString name;
        std::variant<int *, double *, QDate *, QString *> target;
        std::variant<int, double, QDate, QString> def;
    };
    TmmOptions &m_options;
    QString m_prefix;
    QList<Field> m_fields;
};

} // namespace korvex::shell
