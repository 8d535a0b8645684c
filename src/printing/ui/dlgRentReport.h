#pragma once

#include "printing/boRentReport.h"
#include "widgets/ui/xEditDialog.h"

#include <QIcon>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace korvex::documents {

// The pictures of the reports, "Рисунок 0" to "Рисунок 119": 32x32 sheets
// in twelve colours, with ten marks.
QIcon reportPicture(int index);

// The pictures of the print-form tree, 16x16.
enum class TPrintFormPicture { Folder, OpenFolder, Undetermined, Item, Detail };
QIcon printFormPicture(TPrintFormPicture picture);

// "Отчет": the type, name, template, picture and statement of a report.
class TdlgRentReport : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    TdlgRentReport(TboRentReport &bo, const TRentReportRecord &record, QWidget *parent = nullptr);

    QComboBox *typeBox() const { return m_type; }
    QLineEdit *nameBox() const { return m_name; }
    QLineEdit *fileBox() const { return m_file; }
    QComboBox *pictureBox() const { return m_picture; }
    QPlainTextEdit *sqlBox() const { return m_sql; }

protected:
    bool validate() override;
    int writeRecord() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TboRentReport &m_bo;
    TRentReportRecord m_record;
    QComboBox *m_type;
    QLineEdit *m_name;
    QLineEdit *m_file;
    QComboBox *m_picture;
    QLabel *m_shown;
    QPlainTextEdit *m_sql;
};

} // namespace korvex::documents
