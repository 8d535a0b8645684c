#pragma once

#include "customers/Classifiers.h"
#include "widgets/ui/xEditDialog.h"

#include <QList>
#include <utility>
#include <memory>

class QFormLayout;
class QLineEdit;
class QCheckBox;
class QComboBox;

namespace korvex::widgets {
class TxCheckedEdit;
class TxLookupBox;
}

namespace korvex::customers {

// The one behaviour of the classifier dialogs: created with an initial name
// and a key (-1 for a new row), a new row takes its key from the table's key
// procedure and the name columns the initial text; "&Следующий" (a new row
// outside the caller's transaction only) saves and starts the next new row
// with the same defaults; "&Готово" saves in a transaction of its own or
// inside the caller's. The result is the saved key, -1 when nothing was saved.
class TdlgClassifier : public korvex::widgets::TxEditDialog
{
    Q_OBJECT
public:
    // The dialog of one of the four classifiers that have a name only (and a
    // full name): forms of ownership, company forms, branches, kinds of
    // activity.
    static std::unique_ptr<TdlgClassifier> create(TClassifier kind, korvex::db::TxDatabase &db,
                                                  const QString &initialName, int key, QWidget *parent);

    int key() const { return m_bo.key(); }
    TboClassifier &classifier() { return m_bo; }

protected:
    TdlgClassifier(korvex::db::TxDatabase &db, TClassifier kind, QWidget *parent);

    // Subclasses build their fields, then start(). A text or check field
    // shows the record's member of that name.
    QLineEdit *addText(const QString &caption, QString TClassifierRecord::*member, const QString &name);
    QCheckBox *addCheck(const QString &caption, bool TClassifierRecord::*member, const QString &name);
    QFormLayout *form() const { return m_form; }
    void start(const QString &initialName, int key, const TClassifierRecord &defaults, bool nextAllowed = true);

    // The fields a subclass adds itself.
    virtual void display(const TClassifierRecord &record) { Q_UNUSED(record); }
    virtual void collect(TClassifierRecord &record) const { Q_UNUSED(record); }

    int writeRecord() override;
    void afterSave() override;
    void startNextRecord() override;

private:
    void displayAll();

    TboClassifier m_bo;
    QFormLayout *m_form;
    QList<std::pair<QLineEdit *, QString TClassifierRecord::*>> m_texts;
    QList<std::pair<QCheckBox *, bool TClassifierRecord::*>> m_checks;
    TClassifierRecord m_defaults;
};

// "Форма собственности"
class TdlgPropertyKind : public TdlgClassifier
{
    Q_OBJECT
public:
    TdlgPropertyKind(korvex::db::TxDatabase &db, const QString &initialName, int key, QWidget *parent = nullptr);
};

// "Тип компании"
class TDlgCompanyKind : public TdlgClassifier
{
    Q_OBJECT
public:
    TDlgCompanyKind(korvex::db::TxDatabase &db, const QString &initialName, int key, QWidget *parent = nullptr);
};

// "Отрасль"
class TdlgBranch : public TdlgClassifier
{
    Q_OBJECT
public:
    TdlgBranch(korvex::db::TxDatabase &db, const QString &initialName, int key, QWidget *parent = nullptr);
};

// "Вид деятельности"
class TdlgActCategory : public TdlgClassifier
{
    Q_OBJECT
public:
    TdlgActCategory(korvex::db::TxDatabase &db, const QString &initialName, int key, QWidget *parent = nullptr);
};

// "Тип месторасположения": a kind of place with its grade and the place of
// its abbreviation in an address.
class TdlgPlaceKind : public TdlgClassifier
{
    Q_OBJECT
public:
    TdlgPlaceKind(korvex::db::TxDatabase &db, const QString &initialName, int key, int defaultGrade,
                  QWidget *parent = nullptr);

protected:
    void display(const TClassifierRecord &record) override;
    void collect(TClassifierRecord &record) const override;
    void startNextRecord() override;

private:
    korvex::widgets::TxCheckedEdit *m_grade;
    QComboBox *m_stand;
};

// "Место": a place of the address tree. Never offers "&Следующий".
class TdlgPlace : public TdlgClassifier
{
    Q_OBJECT
public:
    TdlgPlace(korvex::db::TxDatabase &db, const QString &initialName, int key, const QVariant &defaultParent,
              const QVariant &defaultKind, QWidget *parent = nullptr);

    korvex::widgets::TxLookupBox *kindBox() const { return m_kind; }

protected:
    void display(const TClassifierRecord &record) override;
    void collect(TClassifierRecord &record) const override;

private:
    korvex::widgets::TxLookupBox *m_kind;
    korvex::widgets::TxLookupBox *m_parent;
};

} // namespace korvex::customers
