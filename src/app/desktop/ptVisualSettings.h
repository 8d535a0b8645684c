#pragma once

#include "widgets/ui/Part.h"

namespace korvex::widgets {
class TRtsRowsModel;
class TxDBGrid;
}

namespace korvex::shell {

// "Настройки таблиц" (999): the stored grid layouts of every user and,
// below, the columns of the layout chosen above, edited in place. A change
// shows in the grids of other pages the next time they open; deleting a
// layout gives its user the grid as designed again.
class TptVisualSettings : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptVisualSettings(TAppContext &context, QWidget *parent);

    korvex::widgets::TRtsRowsModel *layouts() const { return m_layouts; }
    korvex::widgets::TRtsRowsModel *columns() const { return m_columns; }
    korvex::widgets::TxDBGrid *layoutGrid() const { return m_layoutGrid; }
    korvex::widgets::TxDBGrid *columnGrid() const { return m_columnGrid; }

protected:
    void actionDelete() override;
    void actionRefresh() override;

private:
    void showColumns();

    korvex::widgets::TRtsRowsModel *m_layouts;
    korvex::widgets::TRtsRowsModel *m_columns;
    korvex::widgets::TxDBGrid *m_layoutGrid;
    korvex::widgets::TxDBGrid *m_columnGrid;
};

} // namespace korvex::shell
