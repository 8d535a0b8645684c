#pragma once

#include <QDialog>

class QListWidget;

namespace korvex::calc {

// "Выбор переменной": the built-in variables of the reckoning engine, one
// line "NAME: description" each. "Ок" (or a double click) chooses the
// selected line's name.
class TdlgRentChooseVariable : public QDialog
{
    Q_OBJECT
public:
    explicit TdlgRentChooseVariable(QWidget *parent = nullptr);

    QListWidget *standardList() const { return m_standard; }
    // The name chosen by "Ок"; empty before.
    QString chosenName() const { return m_chosen; }

    void accept() override;

private:
    QListWidget *m_standard;
    QString m_chosen;
};

} // namespace korvex::calc
