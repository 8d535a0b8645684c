#pragma once

#include "shell/AppContext.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::reference {

class TReferenceDialogs;

// One row of rent_object as the object dialog edits it.
struct TRentObjectRecord {
    int id = 0;  // 0: a new object
    std::optional<int> parent;
    QString name;
    std::optional<int> locationKey;
    std::optional<int> objectTypeKey;
    QString description;
    QString attribute;
    bool boolAttribute = false;  // "Признак 2"
    bool complete = false;       // "Проверка на задействованность"
    bool isGroup = false;        // "Группа"
    bool disabled = false;       // "Не активный"
    std::optional<double> coef1;
    std::optional<double> coef2;
    std::optional<double> coef3;
};

// What the object chooser is asked and answers.
struct TObjectChoice {
    int objectKey = 0;          // in: shown selected; out: the current row
    QList<int> marked;          // out: the marked rows
    bool showSwitches = false;  // in
    bool allObjects = false;    // out: "Все объекты"
    bool includeGroup = false;  // out: "Включать группу в отчет"
};

// The leased objects: a tree of premises with a location, a type, three
// coefficients the formulas read and four flags.
class TboRentObject : public QObject
{
    Q_OBJECT
public:
    explicit TboRentObject(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                           QObject *owner = nullptr);

    // A new object under parent (0: at the top), with the default location and
    // type of the options. newKey: the last object stored.
    bool NewObject(int parent, int *newKey = nullptr);
    bool EditObject(int key);
    // Asks first; an object still referenced is reported and kept.
    bool DeleteObject(int key);
    // Moves the object under target (0: the top). Onto itself: nothing
    // changes, true. Otherwise the server's rent_p_testreplaceobject decides.
    bool MoveObject(int key, int target);

    // Shows the chooser. list (when given) receives the marked keys one per
    // line, or the chosen key when nothing is marked; the flags are the
    // switches' states when they were shown, false otherwise.
    bool ChooseObject(int &objectKey, QString *list = nullptr, bool showSwitches = false, bool *allObjects = nullptr,
                      bool *includeGroup = nullptr);
    // The chooser's list: marked keys one per line, else the chosen one.
    static QString choiceList(const QList<int> &marked, int chosen);

    // --- Rows, for the dialogs and pages ---------------------------------------
    TRentObjectRecord newRecord(std::optional<int> parent) const;
    std::optional<TRentObjectRecord> readObject(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeObject(TRentObjectRecord &record);
    // Stores one coefficient ("coef1", "coef2", "coef3") typed into the tree.
    void writeCoefficient(qint64 key, const QString &field, const QVariant &value);

    // The object tree: every object, with its location and type names when it
    // has them (forChooser: only objects with both), by name. Marks, the
    // coefficient cells and moves through the server's test are set up.
    void setUpTree(korvex::widgets::TxTreeModel &model, bool forChooser);

    // What the page's two extra tabs list for an object.
    static QString usedInContractsSql();    // one value: the object
    static QString contractHistorySql();    // one value: the object

    korvex::shell::TAppContext &context() const { return m_context; }
    TReferenceDialogs *dialogs() const { return m_dialogs; }

private:
    TReferenceDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TReferenceDialogs *m_dialogs;
};

} // namespace korvex::reference
