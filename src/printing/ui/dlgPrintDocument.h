#pragma once

#include "printing/boRentPrintDocument.h"
#include "widgets/ui/xEditDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace korvex::documents {

// "Печатная форма": the type, the document's name and template, the group
// switch, and the register's name, template and list name.
class TdlgPrintDocument : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgPrintDocument(TboRentPrintDocument &bo, const TPrintFormRecord &record, bool isNew, QWidget *parent = nullptr);

    QComboBox *typeBox() const { return m_type; }
    QLineEdit *nameBox() const { return m_name; }
    QLineEdit *pathBox() const { return m_path; }
    QCheckBox *groupBox() const { return m_group; }
    QLineEdit *registerNameBox() const { return m_registerName; }
    QLineEdit *registerPathBox() const { return m_registerPath; }
    QLineEdit *tableBox() const { return m_table; }

protected:
    int writeRecord() override;
    void startNextRecord() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRecord(const TPrintFormRecord &record);
    QWidget *fileRow(QLineEdit *box);

    TboRentPrintDocument &m_bo;
    TPrintFormRecord m_record;
    QComboBox *m_type;
    QLineEdit *m_name;
    QLineEdit *m_path;
    QCheckBox *m_group;
    QLineEdit *m_registerName;
    QLineEdit *m_registerPath;
    QLineEdit *m_table;
};

} // namespace korvex::documents
