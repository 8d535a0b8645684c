#include "xNumberDisplay.h"

#include "amount/xAmount.h"

#include <QAbstractItemModel>

namespace korvex::widgets {

namespace {

bool isFloating(const QVariant &v)
{
    const int type = v.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

bool isWholeNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::LongLong: case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

TNumberKind numberKindOfField(const QString &field)
{
    const QString f = field.trimmed().toLower();
    if (f.endsWith(QLatin1String("ncu")) || f.endsWith(QLatin1String("curr")))
        return TNumberKind::Money;
    return TNumberKind::Auto;
}

TNumberKind numberKindOfColumn(const QAbstractItemModel &model, int column, const QString &field)
{
    const QVariant said = model.headerData(column, Qt::Horizontal, NumberKindRole);
    if (said.isValid() && !said.isNull())
        return TNumberKind(said.toInt());
    return numberKindOfField(field);
}

std::optional<QString> numberText(const QVariant &value, TNumberKind kind)
{
    if (value.isNull() || (!isWholeNumber(value) && !isFloating(value)))
        return std::nullopt;
    // Keys, codes and counts keep their digits as they are, whatever the
    // column ("fromcurr" is a key); amounts are held as floating numbers.
    if (isWholeNumber(value))
        return value.toString();
    const double v = value.toDouble();
    switch (kind) {
    case TNumberKind::Money: return korvex::amount::formatMoney(v);
    case TNumberKind::Significant: return korvex::amount::formatSignificant(v);
    case TNumberKind::Integer: return QString::number(v, 'f', 0);
    case TNumberKind::Rate:
    case TNumberKind::Auto: break;
    }
    return korvex::amount::formatRate(v);
}

} // namespace korvex::widgets
