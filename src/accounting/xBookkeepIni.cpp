#include "xBookkeepIni.h"

#include "xParadox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace korvex::accounting {

namespace {

const QString kSection = QStringLiteral("Quillbook");

} // namespace

TxBookkeepIni::TxBookkeepIni()
    : m_path(iniPathFor(QCoreApplication::applicationFilePath()))
{
}

TxBookkeepIni::TxBookkeepIni(const QString &iniPath)
    : m_path(iniPath)
{
}

QString TxBookkeepIni::iniPathFor(const QString &executablePath)
{
    const QFileInfo fi(executablePath);
    const QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString dir = executablePath.left(executablePath.size() - name.size());
    return dir + base + QStringLiteral(".ini");
}

// A Windows INI file: "[section]" lines, "key=value" lines, ";" comments;
// section and key names without letter case, values trimmed, text in the
// Windows code page.
QString TxBookkeepIni::value(const QString &key) const
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = decodeAnsi(f.readAll());
    bool inSection = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(kSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

QString TxBookkeepIni::WorkingDir() const
{
    return value(QStringLiteral("WorkBookkeepDir"));
}

QString TxBookkeepIni::MainDir() const
{
    return value(QStringLiteral("MainBookkeepDir"));
}

int TxBookkeepIni::SystemCode() const
{
    bool ok = false;
    const int code = value(QStringLiteral("CodeSystem")).toInt(&ok);
    return ok ? code : -1;
}

TxBookkeepIni::ReferenceType TxBookkeepIni::referenceType(int type)
{
    static const ReferenceType types[14] = {
        {QStringLiteral("Клиенты"), QStringLiteral("klient"), true},
        {QStringLiteral("Объекты"), QStringLiteral("object"), false},
        {QStringLiteral("Товары"), QStringLiteral("refgoods"), true},
        {QStringLiteral("Осн.средства"), QStringLiteral("mainmean"), false},
        {QStringLiteral("Сотрудники"), QStringLiteral("piple"), true},
        {QStringLiteral("Производственные затраты"), QStringLiteral("indExp"), true},
        {QStringLiteral("Отделы"), QStringLiteral("DeptRef"), true},
        {QStringLiteral("Виды операций"), QStringLiteral("Otrsl"), true},
        {QStringLiteral("Виды валют"), QStringLiteral("RefCur"), true},
        {QStringLiteral("Виды операций"), QStringLiteral("kauoper"), true},
        {QStringLiteral("Виды платежей"), QStringLiteral("kaupaym"), true},
        {QStringLiteral("Группы техники"), QStringLiteral("kauequip"), true},
        {QStringLiteral("Дочерние подразделения"), QStringLiteral("kauchdp"), true},
        {QStringLiteral("Виды продукции"), QStringLiteral("kauprod"), true},
    };
    if (type < 1 || type > 14)
        throw std::out_of_range("Value is out of range");
    return types[type - 1];
}

QString TxBookkeepIni::referenceDir(int type) const
{
    return referenceType(type).inMainDir ? MainDir() : WorkingDir();
}

void TxBookkeepIni::SetTypeReferency(int type)
{
    referenceType(type);
    m_typeReferency = type;
}

QString TxBookkeepIni::ReferencyDir() const
{
    return referenceDir(m_typeReferency);
}

} // namespace korvex::accounting
