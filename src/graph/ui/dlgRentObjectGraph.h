#pragma once

#include "graph/boRentGraph.h"
#include "widgets/ui/xEditDialog.h"

#include <QColor>
#include <QFont>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace korvex::reference {
class TboRentObject;
}

namespace korvex::widgets {
class TxCheckedEdit;
class TxColorBox;
class TxLookupBox;
}

namespace korvex::graph {

// "Графический объект": one figure of the plan - the leased object it
// stands for, its name, corners, line width, the four colours, its type and
// its font. "Ок" stores the figure through the business object.
class TdlgRentObjectGraph : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentObjectGraph(TboRentGraph &bo, korvex::reference::TboRentObject &objects, const TRentFigure &figure,
                        bool isNew, QWidget *parent = nullptr);
    ~TdlgRentObjectGraph() override;

    // The figure as last stored (its key set once it was).
    const TRentFigure &figure() const { return m_figure; }

    QFont sampleFont() const { return m_font; }
    QColor sampleColor() const { return m_fontColor; }
    QLabel *sample() const { return m_sample; }
    QPushButton *fontButton() const { return m_fontButton; }

protected:
    int writeRecord() override;

private:
    void display(const TRentFigure &f);
    void showSample();
    void chooseFont();

    TboRentGraph &m_bo;
    TRentFigure m_figure;
    korvex::widgets::TxLookupBox *m_object;
    QLineEdit *m_name;
    korvex::widgets::TxCheckedEdit *m_x1;
    korvex::widgets::TxCheckedEdit *m_y1;
    korvex::widgets::TxCheckedEdit *m_x2;
    korvex::widgets::TxCheckedEdit *m_y2;
    QSpinBox *m_lineWidth;
    korvex::widgets::TxColorBox *m_colors[4];  // by TFigureColor
    QComboBox *m_type;
    QLabel *m_sample;
    QPushButton *m_fontButton;
    QFont m_font;
    QColor m_fontColor;
};

} // namespace korvex::graph
