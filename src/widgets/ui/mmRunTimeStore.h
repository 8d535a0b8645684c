#pragma once

#include "widgets/xRtsValues.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <memory>

class QAbstractItemModel;
class QAbstractItemView;
class QWidget;

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

class TmmRunTimeStore;
class TRunTimeStoreTables;
class TxDBGrid;

// The stored layout of one grid (or tree) of a form: found by user, form
// context and table name, loaded when the grid's data set first has
// columns, and saved with the form. The grid keeps its column settings by
// field name across re-queries; a tree gets them back from the snapshot
// taken before its rows were read again.
class TRunTimeStore : public QObject
{
    Q_OBJECT
public:
    TRunTimeStore(TmmRunTimeStore &owner, QAbstractItemView *view, const QString &tableName);
    ~TRunTimeStore() override;

    QAbstractItemView *view() const { return m_view; }
    TxDBGrid *grid() const;
    QString tableName() const { return m_tableName; }
    int storeKey() const { return m_storeKey; }
    bool exists() const { return m_exists; }
    bool isLoaded() const { return m_loaded; }
    const QList<TCachedStore> &entries() const { return m_entries; }

    void find(TRunTimeStoreTables &tables);
    // The data set shows columns: the layout is loaded once, later fields
    // get untouched entries.
    void opened(TRunTimeStoreTables *tables = nullptr);
    // Writes what changed since the load (everything for a new layout).
    void save(TRunTimeStoreTables &tables);

private:
    void follow(QAbstractItemModel *model);
    void closing();
    void load(TRunTimeStoreTables &tables);
    void addUntouched(const QStringList &present);
    QStringList fields() const;
    int columnOf(const QString &field) const;
    QMetaType typeOf(int column) const;
    bool isFormatted(int column) const;
    bool isNumber(int column) const;
    std::optional<TCachedStore> current(const QString &field, const TCachedStore *loaded) const;
    void apply(const TCachedStore &entry, bool loadFlag);
    TRtsGridValues currentGrid() const;
    void applyGrid(const TRtsGridValues &values);
    int toChars(int pixels) const;
    int toPixels(int chars) const;

    TmmRunTimeStore &m_owner;
    QPointer<QAbstractItemView> m_view;
    QPointer<QAbstractItemModel> m_model;
    QList<QMetaObject::Connection> m_connections;
    QString m_tableName;
    int m_storeKey = -1;
    bool m_exists = false;
    bool m_loaded = false;
    QList<TCachedStore> m_entries;            // as loaded (or last saved)
    QHash<QString, TCachedStore> m_snapshot;  // upper-case field -> values when the rows went
    QSet<QString> m_formatted;                // upper-case fields of numbers and dates
    TRtsGridValues m_loadedGrid;
};

// The run-time store of a form (a page or a window): remembers per user and
// form context how the user arranged each of the form's grids - order,
// visibility, titles, widths, formats, fonts and colours of the columns, the
// grid's own look and its conditional-formatting rules - in fin_rts and
// fin_rtsfield. Grids and trees join their form's store by themselves when
// first shown; a window's store saves when the window is hidden, a page's
// when the page goes (TPart). The connection and user are the options
// store's; without it (or with the store disabled) nothing is kept.
class TmmRunTimeStore : public QObject
{
    Q_OBJECT

public:
    // Dynamic properties of a form: its context (int, default -1) and
    // whether its grids are kept (bool, default true).
    static constexpr const char *ContextProperty = "runTimeContext";
    static constexpr const char *EnabledProperty = "runTimeStoreEnabled";

    explicit TmmRunTimeStore(QWidget *form);
    ~TmmRunTimeStore() override;

    QString TableName = QStringLiteral("fin_rts");
    QString TableFieldName = QStringLiteral("fin_rtsfield");
    int Context = -1;
    bool Enabled = true;
    int UserKey = -1;
    bool UseUserLogin = true;
    QString DatabaseName = QStringLiteral("xxx");

    // The form of a widget: the page it lies on, else its window.
    static QWidget *formOf(QWidget *widget);
    // The form's store; made on first use when create is set.
    static TmmRunTimeStore *of(QWidget *form, bool create = true);
    // A grid or tree joins its form's store (the grids do it when first shown).
    static void attachView(QAbstractItemView *view);
    // The name a grid's layout is stored under: the form's name, "." and the
    // name of its data set (the model's, else the grid's).
    static QString tableNameOf(QAbstractItemView *view, QWidget *form);

    QWidget *form() const { return m_form; }
    korvex::db::TxDatabase *database() const;
    // Enabled, and a connection to keep layouts in.
    bool isActive() const;

    void attach(QAbstractItemView *view);
    TRunTimeStore *storeOf(const QAbstractItemView *view) const;
    QList<TRunTimeStore *> stores() const;

    // Saves every loaded layout, each in one write scope; raises the first
    // failure after trying them all.
    void save();
    // save() for the form's end: failures are shown over the form.
    void saveShowingErrors();

Q_SIGNALS:
    // Before layouts are looked up and whenever a watched data set opens.
    void customGrid(korvex::widgets::TRunTimeStore *store);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_form;
    QList<TRunTimeStore *> m_stores;
};

} // namespace korvex::widgets
