#pragma once

#include "graphWindows.h"
#include "graph/boRentGraph.h"

#include <QDialog>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QSplitter;
class QToolBar;

namespace korvex::widgets {
class TxDBTreeView;
class TxTreeModel;
}

namespace korvex::graph {

class TxGraphControl;

// "Графический редактор объектов": the figure tree with its marks at the
// left, the plan at the right. Choosing a figure in the tree or on the plan
// selects it; the tree's tool bar adds, splits, edits, deletes and binds
// figures, its menu moves the marked ones; the drawing tool bar changes the
// current figure's line, colours, font and place within its parent and
// stores it at once. The scale and the two switches are read from the
// options when the editor opens and written back when it closes.
class TfrmRentEditorObjectGraph : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmRentEditorObjectGraph(korvex::shell::TAppContext &context, QWidget *parent = nullptr);
    ~TfrmRentEditorObjectGraph() override;

    TboRentGraph &graph() const { return *m_graph; }
    korvex::widgets::TxDBTreeView *tree() const { return m_tree; }
    korvex::widgets::TxTreeModel *treeModel() const { return m_model; }
    TxGraphControl *view() const { return m_view; }
    QComboBox *scaleBox() const { return m_scale; }
    QCheckBox *outerLevelsSwitch() const { return m_outer; }
    QCheckBox *showUseSwitch() const { return m_use; }

    std::optional<int> currentFigure() const;
    // Selects the figure in the tree, which redraws the plan with it selected.
    bool selectFigure(int key);

    // The tree's operations, as its tool bar runs them.
    void addFigure(bool below);
    void breakdownFigure();
    void editFigure();
    void deleteFigure();
    void bindFigure();
    // "Перенести объект": the marked figures under the current one;
    // "Переместить в главную группу": to the top.
    void moveMarkedHere();
    void moveMarkedToTop();
    // "Сохранить как PDF" and "Печать".
    void savePdf();
    void print();

    // Draws the plan again; a failure is shown.
    void redraw();

public Q_SLOTS:
    void done(int result) override;

private:
    QWidget *buildTreePane();
    QWidget *buildDrawingPane();
    QAction *newAction(const QString &name, const QString &text, const QIcon &icon,
                       const std::function<void()> &handler);
    // The figures and the tree read again, key made current, the plan redrawn.
    void reloadAll(std::optional<int> key);
    void currentChanged();
    void updateActions();
    void applyScaleText();
    void changeColor(TFigureColor which);
    void changeFont();
    void align(TAlignment alignment);

    korvex::shell::TAppContext &m_context;
    TGraphWindows m_windows;
    TboRentGraph *m_graph;
    korvex::widgets::TxTreeModel *m_model;
    korvex::widgets::TxDBTreeView *m_tree;
    TxGraphControl *m_view;
    QComboBox *m_scale;
    QCheckBox *m_outer;
    QCheckBox *m_use;
    QSplitter *m_splitter;
    int m_scalePercent = 100;
    bool m_optionsWritten = false;

    QAction *m_add;
    QAction *m_addChild;
    QAction *m_breakdown;
    QAction *m_edit;
    QAction *m_delete;
    QAction *m_bind;
    QAction *m_move;
    QAction *m_moveTop;
    QList<QAction *> m_figureActions;  // need a current figure
    QList<QAction *> m_alignActions;   // need a figure with a parent
    QAction *m_colorActions[4] = {};   // by TFigureColor
    QAction *m_font = nullptr;
};

} // namespace korvex::graph
