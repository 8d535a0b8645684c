#pragma once

#include "xGridConditions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvex::widgets {

// "Отображение условия в колонках:": the fields of the data set, ticked for
// the columns in which a rule shows its format.
class TfrmConditionColumns : public QDialog
{
    Q_OBJECT
public:
    TfrmConditionColumns(const QList<TGridField> &fields, const QStringList &columns, QWidget *parent = nullptr);
    QStringList columns() const;
    QListWidget *list() const { return m_list; }

private:
    QListWidget *m_list;
};

// "Условное форматирование": edits a copy of a grid's rules, one rule at a
// time. Values are shown with the columns' titles in place of field names
// and stored with field names. "Готово" gives a rule without columns its
// test field as its column, calculates the formulas once on the record
// given, and closes only when every rule passes; "Отменить" leaves the
// grid's rules as they were.
class TfrmConditionalFormatting : public QDialog
{
    Q_OBJECT
public:
    TfrmConditionalFormatting(const QList<TGridField> &fields, const QList<TCondition> &rules,
                              TConditionTester &tester, const QList<TRecordValue> &record, QWidget *parent = nullptr);

    QList<TCondition> rules() const { return m_rules; }
    int currentRule() const { return m_index; }
    void showRule(int index);

    // The dialog's buttons as the user presses them.
    void previous();
    void next();
    void addRule();
    void deleteRule();
    void chooseColumns();
    bool done();

private:
    void storeRule();
    void updateState();
    void updateSample();
    QList<TFieldLabel> labels() const;

    QList<TGridField> m_fields;
    QList<TCondition> m_rules;
    TConditionTester &m_tester;
    QList<TRecordValue> m_record;
    int m_index = -1;
    bool m_showing = false;

    QComboBox *m_field;
    QComboBox *m_operation;
    QLineEdit *m_value1;
    QLabel *m_and;
    QLineEdit *m_value2;
    QCheckBox *m_formulas;
    QLabel *m_sample;
    QCheckBox *m_useColor;
    QPushButton *m_color;
    QCheckBox *m_useFont;
    QPushButton *m_font;
    QPushButton *m_columns;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_add;
    QPushButton *m_delete;
};

} // namespace korvex::widgets
