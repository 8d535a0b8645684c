#include "xMakeRegister.h"

#include <stdexcept>

namespace korvex::accounting {

TxAccountLayouts::TxAccountLayouts(const TxBookkeepIni &ini)
    : m_ini(ini)
{
}

QList<int> TxAccountLayouts::levels(const QString &account)
{
    if (!m_loaded) {
        TxTable refkau(m_ini.MainDir(), QStringLiteral("refkau.db"));
        refkau.Open();
        for (int r = 0; r < refkau.RecordCount(); ++r) {
            QList<int> types;
            for (int f = 1; f <= 4 && f < refkau.Fields().size(); ++f) {
                bool ok = false;
                const int type = refkau.Text(r, f).trimmed().toInt(&ok);
                if (!ok || type == 0)
                    break;
                types << type;
            }
            const QString number = refkau.Text(r, 0).trimmed();
            if (!m_levels.contains(number))
                m_levels.insert(number, types);
        }
        m_loaded = true;
    }
    return m_levels.value(account.trimmed());
}

QList<int> TxAccountLayouts::splitCodes(const QString &codes, int levelCount)
{
    QList<int> result;
    QString rest = codes;
    for (int i = 0; i < levelCount; ++i) {
        QString part;
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot >= 0) {
            part = rest.left(dot);
            rest = rest.mid(dot + 1);
        } else {
            part = rest;
            rest.clear();
        }
        bool ok = false;
        const int code = part.trimmed().toInt(&ok);
        result << (ok ? code : 0);
    }
    return result;
}

TxMakeRegister::TxMakeRegister(const TxBookkeepIni &ini)
    : m_ini(ini), m_ready(ini.SystemCode() > 0), m_layouts(ini)
{
}

TxMakeRegister::~TxMakeRegister() = default;

TxTable &TxMakeRegister::reference(int type)
{
    auto it = m_references.find(type);
    if (it == m_references.end()) {
        const TxBookkeepIni::ReferenceType ref = TxBookkeepIni::referenceType(type);
        auto table = std::make_shared<TxTable>(m_ini.referenceDir(type), ref.table);
        table->Open();
        it = m_references.insert(type, table);
    }
    return *it.value();
}

QString TxMakeRegister::AnalyzeText(const QString &account, const QString &codes)
{
    if (!m_ready || codes.trimmed().isEmpty())
        return {};
    const QList<int> types = m_layouts.levels(account);
    const QList<int> values = TxAccountLayouts::splitCodes(codes, int(types.size()));
    QStringList names;
    for (int i = 0; i < types.size(); ++i) {
        if (types[i] < 1 || types[i] > 14)
            throw std::out_of_range("Value is out of range");
        if (values[i] <= 0)
            continue;
        TxTable &table = reference(types[i]);
        const int row = table.FindKey({values[i]});
        if (row >= 0 && table.Fields().size() > 1)
            names << table.Text(row, 1).trimmed();
    }
    return names.join(QStringLiteral("; "));
}

} // namespace korvex::accounting
