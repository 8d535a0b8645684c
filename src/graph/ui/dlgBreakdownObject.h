#pragma once

#include "graph/graphBreakdown.h"

#include <QDialog>
#include <QIcon>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace korvex::widgets {
class TxCheckedEdit;
}

namespace korvex::graph {

// "Разбиение объекта": how many rows and columns a figure of width x height
// is split into (each cell at least 4 plan units), the cells' name, their
// numbering, and one of the eight orders, each shown as a picture of the
// cells numbered in that order. "Ок" refuses values that cannot split the
// figure and keeps the dialog open.
class TdlgBreakdownObject : public QDialog
{
    Q_OBJECT
public:
    TdlgBreakdownObject(const TBreakdownParams &params, int width, int height, QWidget *parent = nullptr);
    ~TdlgBreakdownObject() override;

    // The values on "Ок".
    const TBreakdownParams &params() const { return m_params; }

    QSpinBox *rowsBox() const { return m_rows; }
    QSpinBox *columnsBox() const { return m_columns; }
    QAbstractButton *orderButton(int order) const;
    QPushButton *okButton() const { return m_ok; }

    // The picture of an order: a 3 x 3 grid numbered as that order numbers it.
    static QIcon orderPicture(int order, int size = 48);

private:
    bool collect();
    void numberingToggled(bool on);

    TBreakdownParams m_params;
    int m_width;
    int m_height;
    QSpinBox *m_rows;
    QSpinBox *m_columns;
    QLineEdit *m_name;
    QCheckBox *m_numbering;
    korvex::widgets::TxCheckedEdit *m_start;
    korvex::widgets::TxCheckedEdit *m_step;
    QButtonGroup *m_orders;
    QPushButton *m_ok;
};

} // namespace korvex::graph
