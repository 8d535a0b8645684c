#pragma once

#include "referenceWindows.h"
#include "reference/boCurrency.h"
#include "widgets/ui/Part.h"

class QActionGroup;
class QMenu;
class QToolButton;

namespace korvex::widgets {
class TxDBGrid;
class TxQueryModel;
}

namespace korvex::reference {

// "Курсы валют" (300): the rate matrix of a base currency and the currency
// list.
class TptCurrency : public korvex::widgets::TPart
{
    Q_OBJECT
public:
    enum Tab { RatesTab = 0, CurrenciesTab = 1 };
    // The currency list's filter.
    enum class Filter { All, Active, Inactive };

    TptCurrency(korvex::shell::TAppContext &context, QWidget *parent);
    ~TptCurrency() override;

    TboCurrency &currency() { return *m_bo; }
    TRateMatrix *matrix() const { return m_matrix; }
    korvex::widgets::TxDBGrid *matrixGrid() const { return m_matrixGrid; }
    korvex::widgets::TxDBGrid *currencyGrid() const { return m_currencyGrid; }

    void setBaseCurrency(int key);
    void setFilter(Filter filter);
    Filter filter() const { return m_filter; }

protected:
    void actionAdd() override;
    void actionEdit() override;
    void actionDelete() override;

private:
    QWidget *buildRatesTab();
    QWidget *buildCurrenciesTab();
    void rebuildBaseMenu();
    void loadMatrix();
    void loadCurrencies();
    // The stored rate under the matrix's current cell (none for an empty cell
    // or one derived from the reverse rate).
    std::optional<TRateRecord> currentDirectRate() const;
    // Edits or deletes the rate under the current cell or the current
    // currency, then shows the lists again.
    void changeCurrent(bool (TboCurrency::*onRate)(int, int, const QDate &), bool (TboCurrency::*onCurrency)(int));

    TReferenceWindows m_windows;
    TboCurrency *m_bo;
    TRateMatrix *m_matrix;
    korvex::widgets::TxDBGrid *m_matrixGrid;
    QToolButton *m_baseButton;
    QMenu *m_baseMenu;
    QActionGroup *m_baseGroup;
    QDate m_keepDate;  // the current cell across a reload
    int m_keepCurrency = 0;

    korvex::widgets::TxQueryModel *m_currencies;
    korvex::widgets::TxDBGrid *m_currencyGrid;
    QToolButton *m_filterButton;
    Filter m_filter = Filter::Active;
};

} // namespace korvex::reference
