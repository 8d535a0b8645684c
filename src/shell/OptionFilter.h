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
    // A switch stored as the integer 1 or 0; anything but 1 reads as false.
    void bindBool(const QString &name, bool *value, bool def);
    // A list of keys stored as text, one key a line; only whole numbers are
    // read back, so a stored list can never carry anything but integers.
    void bindKeys(const QString &name, QList<int> *value);

    void load();
    void save() const;
    void reset();  // every field back to its default

    QString optionName(const QString &name) const { return m_prefix + name; }

    // The whole numbers of a stored key list, each once, in their order;
    // whatever else the text holds is skipped.
    static QList<int> parseKeys(const QString &text);
    // The keys as text, joined by the separator.
    static QString keysText(const QList<int> &keys, const QString &separator = QStringLiteral("\n"));

private:
    struct Field {
        QString name;
        std::variant<int *, double *, QDate *, QString *, bool *, QList<int> *> target;
        std::variant<int, double, QDate, QString, bool, QList<int>> def;
    };
    TmmOptions &m_options;
    QString m_prefix;
    QList<Field> m_fields;
};

} // namespace korvex::shell
