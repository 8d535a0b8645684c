#pragma once

#include "shell/AppContext.h"

#include <QObject>
#include <QString>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::reference {

class TReferenceDialogs;

// One row of a small named tree (rent_location, rent_objecttype).
struct TRentTreeRecord {
    int id = 0;  // 0: a new row
    std::optional<int> parent;
    QString name;
};

// The locations and the object types are the same kind of table: a tree of
// names. This is their common business object; the two classes below name
// its table and its dialog.
class TboRentTreeItem : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Location, ObjectType };

    TboRentTreeItem(Kind kind, korvex::shell::TAppContext &context, TReferenceDialogs *dialogs, QObject *owner);

    Kind kind() const { return m_kind; }
    QString table() const;
    // The dialog's caption: "Место расположения" or "Тип объекта".
    QString title() const;

    // A new row under parent (0: at the top) named name. newKey: the last row
    // stored.
    bool newItem(int parent, const QString &name, int *newKey);
    bool editItem(int key);
    // Asks first; a row still referenced is reported and kept.
    bool deleteItem(int key);

    std::optional<TRentTreeRecord> readItem(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeItem(TRentTreeRecord &record);

    // The tree of the table, by name.
    void setUpTree(korvex::widgets::TxTreeModel &model) const;

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    Kind m_kind;
    korvex::shell::TAppContext &m_context;
    TReferenceDialogs *m_dialogs;
};

class TboRentLocation : public TboRentTreeItem
{
    Q_OBJECT
public:
    explicit TboRentLocation(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                             QObject *owner = nullptr)
        : TboRentTreeItem(Kind::Location, context, dialogs, owner)
    {
    }
    bool NewLocation(int parent, const QString &name, int *newKey = nullptr) { return newItem(parent, name, newKey); }
    bool EditLocation(int key) { return editItem(key); }
    bool DeleteLocation(int key) { return deleteItem(key); }
};

class TboRentObjectType : public TboRentTreeItem
{
    Q_OBJECT
public:
    explicit TboRentObjectType(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                               QObject *owner = nullptr)
        : TboRentTreeItem(Kind::ObjectType, context, dialogs, owner)
    {
    }
    bool NewObjectType(int parent, const QString &name, int *newKey = nullptr) { return newItem(parent, name, newKey); }
    bool EditObjectType(int key) { return editItem(key); }
    bool DeleteObjectType(int key) { return deleteItem(key); }
};

} // namespace korvex::reference
