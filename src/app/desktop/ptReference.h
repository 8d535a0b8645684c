#pragma once

#include "reference/boRentDenomination.h"
#include "widgets/ui/Part.h"
#include "widgets/ui/xEditDialog.h"

class QListWidget;
class QListWidgetItem;

namespace korvex::shell {

// "Справочники" (916): large icons that open the directory pages and tools.
class TptReference : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    TptReference(TAppContext &context, QWidget *parent);

    QListWidget *items() const { return m_items; }
    // Opens the item as a double click or Enter would.
    void openItem(QListWidgetItem *item);
    // Opens a tool by its name: "objectgraph", the plan editor (modal).
    void openTool(const QString &tool);

Q_SIGNALS:
    // Tools that are not pages (the object plan editor).
    void toolRequested(const QString &tool);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_items;
};

// "Деноминация": all rows of rent_denomination in an editable grid, stored
// together on "Закрыть".
class TptDenominasion : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TptDenominasion(TAppContext &context, QWidget *parent = nullptr);
    ~TptDenominasion() override;

    korvex::reference::TDenominationModel *rows() const { return m_rows; }

protected:
    int writeRecord() override;

private:
    korvex::reference::TboRentDenomination m_bo;
    korvex::reference::TDenominationModel *m_rows;
};

} // namespace korvex::shell
