#pragma once

#include "calc/boRentSQL.h"
#include "widgets/ui/Part.h"

#include <QAbstractTableModel>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::calc {

// The rows of a console query, held in memory: the console's transaction is
// closed once they are read. A title click sorts them here.
class TSqlResultModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setResult(TSqlResult result);
    const TSqlResult &result() const { return m_result; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    TSqlResult m_result;
};

// "SQL- запросы" (123): a free SQL console on the program's connection. A
// statement runs in a transaction of the console's own (TboRentSQL), never
// inside another window's.
class TptSQL : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { StatementTab = 0, ResultTab = 1, TablesTab = 2 };

    TptSQL(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptSQL() override;

    QPlainTextEdit *statementEdit() const { return m_text; }
    QLineEdit *tableEdit() const { return m_table; }
    TSqlResultModel *resultModel() const { return m_result; }
    TSqlResultModel *tableModel() const { return m_tableRows; }

    // The buttons: "Open", "Execute", the table tab's "Open".
    void openQuery();
    void executeStatement();
    void openTable();
    // "Загрузить" and "Сохранить" with the file given; false (and a message
    // shown) when the file cannot be read or written.
    bool loadFile(const QString &path);
    bool saveFile(const QString &path);

private:
    korvex::widgets::TxDBGrid *newGrid(const QString &name, TSqlResultModel *model);
    void failed(const QString &word, const QString &detail);

    TboRentSQL m_console;
    QPlainTextEdit *m_text;
    QLabel *m_status;
    TSqlResultModel *m_result;
    korvex::widgets::TxDBGrid *m_resultGrid;
    QLineEdit *m_table;
    TSqlResultModel *m_tableRows;
    korvex::widgets::TxDBGrid *m_tableGrid;
};

} // namespace korvex::calc
