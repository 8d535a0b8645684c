#include "boRentOTLocation.h"

#include "referenceDialogs.h"

#include "db/xDatabase.h"
#include "db/xRowWriter.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "db/xQuery.h"
#include "widgets/xTreeModel.h"

#include <stdexcept>

namespace korvex::reference {

using namespace korvex::db;
using korvex::widgets::confirmAndDelete;
using korvex::widgets::recordDeleteTexts;

TboRentTreeItem::TboRentTreeItem(Kind kind, korvex::shell::TAppContext &context, TReferenceDialogs *dialogs,
                                 QObject *owner)
    : QObject(owner)
    , m_kind(kind)
    , m_context(context)
    , m_dialogs(dialogs)
{
}

QString TboRentTreeItem::table() const
{
    return m_kind == Kind::Location ? QStringLiteral("rent_location") : QStringLiteral("rent_objecttype");
}

QString TboRentTreeItem::title() const
{
    return m_kind == Kind::Location ? tr("Место расположения") : tr("Тип объекта");
}

bool TboRentTreeItem::newItem(int parent, const QString &name, int *newKey)
{
    TReferenceDialogs &dialogs = korvex::widgets::requirePort(m_dialogs, "TboRentTreeItem");
    TRentTreeRecord record;
    if (parent > 0)
        record.parent = parent;
    record.name = name.trimmed();
    auto dialog = [&](auto &r, bool isNew, int &saved) { return dialogs.treeItemDialog(*this, r, isNew, saved); };
    return korvex::widgets::newThroughDialog(record, dialog, newKey);
}

bool TboRentTreeItem::editItem(int key)
{
    TReferenceDialogs &dialogs = korvex::widgets::requirePort(m_dialogs, "TboRentTreeItem");
    auto dialog = [&](auto &r, bool isNew, int &saved) { return dialogs.treeItemDialog(*this, r, isNew, saved); };
    return korvex::widgets::editThroughDialog(readItem(key), dialog);
}

bool TboRentTreeItem::deleteItem(int key)
{
    TReferenceDialogs &dialogs = korvex::widgets::requirePort(m_dialogs, "TboRentTreeItem");
    return confirmAndDelete(m_context.db, dialogs.prompt(), recordDeleteTexts(),
                            QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(table()), {key});
}

std::optional<TRentTreeRecord> TboRentTreeItem::readItem(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, parent, name FROM %1 WHERE id = ?").arg(table()), {key});
    if (!q.next())
        return std::nullopt;
    return TRentTreeRecord{q.value(0).toInt(), optionalInt(q.value(1)), q.value(2).toString().trimmed()};
}

void TboRentTreeItem::writeItem(TRentTreeRecord &r)
{
    r.id = writeRow(m_context.db, table(), QStringLiteral("gen_") + table(), r.id,
                    {QStringLiteral("parent"), QStringLiteral("name")}, {nullableInt(r.parent), r.name},
                    tr("Запись удалена другим пользователем"));
}

void TboRentTreeItem::setUpTree(korvex::widgets::TxTreeModel &model) const
{
    model.setTable(table());
    model.setKeyFields(QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("name"));
    model.setQuery(QStringLiteral("SELECT id, parent, name FROM %1 ORDER BY name, id").arg(table()));
    model.setFieldTitle(QStringLiteral("name"), tr("Наименование"));
}

} // namespace korvex::reference
