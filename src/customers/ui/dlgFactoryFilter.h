#pragma once

#include "customers/FactoryFilter.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace korvex::db {
class TxDatabase;
}
namespace korvex::widgets {
class TxLookupBox;
}

namespace korvex::customers {

class TPlaceTreeView;

// "Фильтр": the conditions of the enterprise or bank list. Works on a copy
// of the caller's filter; after "&Готово" the caller takes filter() over.
class TdlgFactoryFilter : public QDialog
{
    Q_OBJECT
public:
    TdlgFactoryFilter(korvex::db::TxDatabase &db, const TFactoryFilter &filter, QWidget *parent = nullptr);

    // The conditions as the dialog shows them (after "&Готово": as confirmed).
    const TFactoryFilter &filter() const { return m_filter; }
    // Takes the controls' state into the filter, as "&Готово" does.
    void confirm();

    QCheckBox *stateCheck() const { return m_stateCheck; }
    QComboBox *stateList() const { return m_state; }
    QCheckBox *propertyCheck() const { return m_propertyCheck; }
    korvex::widgets::TxLookupBox *propertyBox() const { return m_property; }
    QCheckBox *companyCheck() const { return m_companyCheck; }
    korvex::widgets::TxLookupBox *companyBox() const { return m_company; }
    QCheckBox *fieldCheck(TFactoryFilter::Field f) const { return m_rows[f].check; }
    QComboBox *fieldMode(TFactoryFilter::Field f) const { return m_rows[f].mode; }
    QLineEdit *fieldMask(TFactoryFilter::Field f) const { return m_rows[f].mask; }
    QCheckBox *placeCheck() const { return m_placeCheck; }
    TPlaceTreeView *placeTree() const { return m_places; }

private:
    struct ConditionRow {
        QCheckBox *check = nullptr;
        QComboBox *mode = nullptr;
        QLineEdit *mask = nullptr;
    };
    QWidget *buildInfoTab();
    QWidget *buildAddressTab();
    void display(const TFactoryFilter &filter);
    void enableRows();
    void openPlaces();
    // A look-up stands on the stored key, or on the last row when the key
    // is gone.
    static void standOn(korvex::widgets::TxLookupBox *box, int key);

    korvex::db::TxDatabase &m_db;
    TFactoryFilter m_filter;
    QTabWidget *m_tabs;
    QCheckBox *m_stateCheck;
    QComboBox *m_state;
    QCheckBox *m_propertyCheck;
    korvex::widgets::TxLookupBox *m_property;
    QCheckBox *m_companyCheck;
    korvex::widgets::TxLookupBox *m_company;
    std::array<ConditionRow, TFactoryFilter::FieldCount> m_rows;
    QCheckBox *m_placeCheck;
    TPlaceTreeView *m_places;
};

} // namespace korvex::customers
