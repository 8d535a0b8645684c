#pragma once

#include "accounting/xImportKorvex.h"

#include <QDialog>
#include <QSet>

class QDateEdit;
class QPushButton;

namespace korvex::shell {
class TmmOptions;
}
namespace korvex::widgets {
class TxDBGrid;
}

namespace korvex::accounting {

class TEntryListModel;
class TRegisterModel;

// "Операции": the entry chooser of the register import. It lists the entry
// templates of the operation type (all ticked) and, for the ticked ones and
// the period, the register rows of the bookkeeping system ("Проводки из
// бухгалтерии"), none ticked at first; rows of one entry number and date
// are ticked together. The period comes from the user's options
// dlgimportoperation_datebegin and dlgimportoperation_dateend and goes back
// there as the window closes.
class TfrmImportOperation : public QDialog
{
    Q_OBJECT
public:
    TfrmImportOperation(TxImportKorvex &import, korvex::shell::TmmOptions &options, QWidget *parent = nullptr);
    ~TfrmImportOperation() override;

    // What the user chose (read after "&Готово").
    TImportChoice choice() const;

    // "Проводки из бухгалтерии": the register rows of the ticked entries and
    // the period; with no entry ticked the list stays empty.
    void showRegister();
    void checkAll();    // "Выбрать все"
    void uncheckAll();  // "Снять выборку"

    korvex::widgets::TxDBGrid *entryGrid() const { return m_entryGrid; }
    korvex::widgets::TxDBGrid *registerGrid() const { return m_registerGrid; }
    TEntryListModel *entries() const { return m_entries; }
    TRegisterModel *registerRows() const { return m_register; }
    QDateEdit *beginEdit() const { return m_begin; }
    QDateEdit *endEdit() const { return m_end; }

    void done(int result) override;

private:
    TxImportKorvex &m_import;
    korvex::shell::TmmOptions &m_options;
    TEntryListModel *m_entries;
    TRegisterModel *m_register;
    korvex::widgets::TxDBGrid *m_entryGrid;
    korvex::widgets::TxDBGrid *m_registerGrid;
    QDateEdit *m_begin;
    QDateEdit *m_end;
};

// The chooser the windows give the import: the window above, over the
// active window.
class TImportChooserWindow : public TEntryChooser
{
public:
    TImportChooserWindow(korvex::shell::TmmOptions &options, QWidget *parent)
        : m_options(options), m_parent(parent) {}
    bool choose(TxImportKorvex &import, TImportChoice &choice) override;

private:
    korvex::shell::TmmOptions &m_options;
    QWidget *m_parent;
};

} // namespace korvex::accounting
