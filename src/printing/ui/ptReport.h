#pragma once

#include "printWindows.h"
#include "printing/boRentPrintDocument.h"
#include "printing/boRentReport.h"
#include "widgets/ui/xTreePart.h"

class QListWidget;
class QMenu;

namespace korvex::widgets {
class TxDBTreeView;
class TxQueryModel;
class TxTreeModel;
}

namespace korvex::documents {

// "Отчеты" (50): the reports of a level as a catalogue of pictures, and the
// print forms as a tree.
class TptReport : public korvex::widgets::TTreePart
{
    Q_OBJECT
public:
    enum Tab { ReportsTab = 0, PrintFormsTab };

    TptReport(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptReport() override;

    QListWidget *reports() const { return m_reports; }
    korvex::widgets::TxDBTreeView *printForms() const { return m_tree; }
    TboRentReport &report() { return m_report; }
    int level() const { return m_level; }

    // Reads the reports of the level (0: the top) and shows the report given.
    void openLevel(int parent, int current = 0);
    // "Выполнить": opens the level below the report, or runs it.
    void runCurrent();
    void levelUp();
    void levelTop();
    int currentReport() const;
    // The picture of a print form in the tree: a folder (open when
    // expanded) for a group, a sheet for a document template, a sheet with
    // lines for a form that prints only a register, a question mark for a
    // form that prints nothing.
    QIcon formPicture(const QModelIndex &index) const;

protected:
    void actionAdd() override;
    void actionAddChild() override;
    void actionEdit() override;
    void actionDelete() override;
    void actionRefresh() override;

private:
    TPrintWindows m_windows;
    TboRentPrintDocument m_printDocument;
    TboRentReport m_report;
    QListWidget *m_reports = nullptr;
    korvex::widgets::TxTreeModel *m_forms = nullptr;
    korvex::widgets::TxDBTreeView *m_tree = nullptr;
    korvex::widgets::TxQueryModel *m_formList = nullptr;
    QMenu *m_printMenu = nullptr;
    int m_level = 0;
};

} // namespace korvex::documents
