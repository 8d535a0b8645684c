#include "OptionFilter.h"

#include "mmOptions.h"

#include <QRegularExpression>
#include <QStringList>

namespace korvex::shell {

TxOptionFilter::TxOptionFilter(TmmOptions &options, const QString &prefix)
    : m_options(options)
    , m_prefix(prefix)
{
}

void TxOptionFilter::bindInt(const QString &name, int *value, int def)
{
    m_fields.append({name, value, def});
}

void TxOptionFilter::bindFloat(const QString &name, double *value, double def)
{
    m_fields.append({name, value, def});
}

void TxOptionFilter::bindDate(const QString &name, QDate *value, const QDate &def)
{
    m_fields.append({name, value, def});
}

void TxOptionFilter::bindString(const QString &name, QString *value, const QString &def)
{
    m_fields.append({name, value, def});
}

void TxOptionFilter::bindBool(const QString &name, bool *value, bool def)
{
    m_fields.append({name, value, def});
}

void TxOptionFilter::bindKeys(const QString &name, QList<int> *value)
{
    m_fields.append({name, value, QList<int>()});
}

QList<int> TxOptionFilter::parseKeys(const QString &text)
{
    QList<int> keys;
    static const QRegularExpression separators(QStringLiteral("[^0-9-]+"));
    for (const QString &piece : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int key = piece.toInt(&ok);
        if (ok && !keys.contains(key))
            keys << key;
    }
    return keys;
}

QString TxOptionFilter::keysText(const QList<int> &keys, const QString &separator)
{
    QStringList parts;
    for (int k : keys)
        parts << QString::number(k);
    return parts.join(separator);
}

void TxOptionFilter::reset()
{
    for (const Field &f : std::as_const(m_fields)) {
        std::visit([&f](auto *target) { *target = std::get<std::remove_pointer_t<decltype(target)>>(f.def); },
                   f.target);
    }
}

void TxOptionFilter::load()
{
    for (const Field &f : std::as_const(m_fields)) {
        const QString name = optionName(f.name);
        if (auto p = std::get_if<int *>(&f.target))
            **p = m_options.integerOption(name, std::get<int>(f.def));
        else if (auto p = std::get_if<double *>(&f.target))
            **p = m_options.floatOption(name, std::get<double>(f.def));
        else if (auto p = std::get_if<QDate *>(&f.target))
            **p = m_options.dateOption(name, std::get<QDate>(f.def));
        else if (auto p = std::get_if<QString *>(&f.target))
            **p = m_options.stringOption(name, std::get<QString>(f.def));
        else if (auto p = std::get_if<bool *>(&f.target))
            **p = m_options.integerOption(name, std::get<bool>(f.def) ? 1 : 0) == 1;
        else if (auto p = std::get_if<QList<int> *>(&f.target)) {
            const std::optional<QString> text = m_options.GetStringOption(name);
            **p = text ? parseKeys(*text) : std::get<QList<int>>(f.def);
        }
    }
}

void TxOptionFilter::save() const
{
    for (const Field &f : std::as_const(m_fields)) {
        const QString name = optionName(f.name);
        if (auto p = std::get_if<int *>(&f.target))
            m_options.SetIntegerOption(name, true, **p);
        else if (auto p = std::get_if<double *>(&f.target))
            m_options.SetFloatOption(name, true, **p);
        else if (auto p = std::get_if<QDate *>(&f.target)) {
            if ((*p)->isValid())
                m_options.SetDateOption(name, true, **p);
        } else if (auto p = std::get_if<QString *>(&f.target))
            m_options.SetStringOption(name, true, **p);
        else if (auto p = std::get_if<bool *>(&f.target))
            m_options.SetIntegerOption(name, true, **p ? 1 : 0);
        else if (auto p = std::get_if<QList<int> *>(&f.target))
            m_options.SetStringOption(name, true, keysText(**p));
    }
}

} // namespace korvex::shell
