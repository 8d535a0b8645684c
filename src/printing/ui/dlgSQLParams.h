#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QTableWidget;

namespace korvex::documents {

// "Параметры": one row per parameter name, "Параметр" / "Значение".
// "Применить" hands the values over; an error text it answers is shown and
// the dialog stays open.
class TdlgSQLParams : public QDialog
{
    Q_OBJECT
public:
    using Apply = std::function<QString(const QStringList &values)>;
    TdlgSQLParams(const QStringList &names, Apply apply, QWidget *parent = nullptr);

    QTableWidget *grid() const { return m_grid; }
    QStringList values() const;
    void apply();

private:
    Apply m_apply;
    QTableWidget *m_grid;
};

} // namespace korvex::documents
