#include "dlgCurr.h"

#include "amount/xAmount.h"

#include "referenceLookups.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xLookupBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace korvex::reference {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

QString numberFieldText(double value)
{
    return korvex::amount::formatNumberField(value);
}

namespace {

TxCheckedEdit *integerField(const QString &name, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, parent);
    e->setObjectName(name);
    return e;
}

void setInt(TxCheckedEdit *e, const std::optional<int> &v)
{
    if (v)
        e->setIntValue(*v);
    else
        e->clear();
}

} // namespace

// --- TdlgCurr -----------------------------------------------------------------------

TdlgCurr::TdlgCurr(TboCurrency &bo, const TCurrencyRecord &record, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgCurr"));
    setRecordKey(record.id);
    setWindowTitle(tr("Валюта"));
    m_form = new QFormLayout;
    contentLayout()->addLayout(m_form);

    // Lengths of the fin_curr columns, so that nothing typed is refused late.
    m_name = addText(tr("Полное наименование"), QStringLiteral("name"), 60);
    m_shortname = addText(tr("Краткое наименование валюты"), QStringLiteral("shortname"), 8);
    m_code = addText(tr("Код валюты"), QStringLiteral("code"), 10);
    m_sign = addText(tr("Знак валюты"), QStringLiteral("sign"), 10);
    m_fullcentname = addText(tr("Полное наименование центов"), QStringLiteral("fullcentname"), 60);
    m_shortcentname = addText(tr("Краткое наименование центов"), QStringLiteral("shortcentname"), 20);
    m_decdigits = integerField(QStringLiteral("decdigits"), this);
    m_centbase = integerField(QStringLiteral("centbase"), this);
    m_place = new QComboBox(this);
    m_place->setObjectName(QStringLiteral("place"));
    m_place->addItem(tr("После запятой"), 0);
    m_place->addItem(tr("До запятой"), 1);
    m_active = new QCheckBox(tr("Активность валюты"), this);
    m_active->setObjectName(QStringLiteral("active"));
    m_isNcu = new QCheckBox(tr("Является национальной денежной единицей"), this);
    m_isNcu->setObjectName(QStringLiteral("isncu"));
    m_form->addRow(tr("К-во десятичных знаков"), m_decdigits);
    m_form->addRow(tr("Дробная единица"), m_centbase);
    m_form->addRow(tr("Место положение знака"), m_place);
    m_form->addRow(m_active);
    m_form->addRow(m_isNcu);

    m_name->setText(m_record.name);
    m_shortname->setText(m_record.shortname);
    m_code->setText(m_record.code);
    m_sign->setText(m_record.sign);
    m_fullcentname->setText(m_record.fullcentname);
    m_shortcentname->setText(m_record.shortcentname);
    setInt(m_decdigits, m_record.decdigits);
    setInt(m_centbase, m_record.centbase);
    m_place->setCurrentIndex(m_record.place == 1 ? 1 : 0);
    m_active->setChecked(m_record.active);
    m_isNcu->setChecked(m_record.isNcu);

    addRequired(m_name, tr("Введите полное наименование валюты"));
    addRequired(m_shortname, tr("Введите краткое наименование валюты"));
    addRequired(m_code, tr("Введите код валюты"));
    addRequired(m_sign, tr("Введите знак валюты"));
    addRequired(m_fullcentname, tr("Введите полное наименование центов"));
    addRequired(m_shortcentname, tr("Введите краткое наименование центов"));
    addRequired(m_centbase, tr("Введите дробную единицу"));
    addRequired(m_decdigits, tr("Введите количество десятичных знаков"));
}

QLineEdit *TdlgCurr::addText(const QString &label, const QString &name, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    m_form->addRow(label, edit);
    return edit;
}

int TdlgCurr::writeRecord()
{
    TCurrencyRecord r = m_record;
    r.id = recordKey();
    r.name = m_name->text().trimmed();
    r.shortname = m_shortname->text().trimmed();
    r.code = m_code->text().trimmed();
    r.sign = m_sign->text().trimmed();
    r.fullcentname = m_fullcentname->text().trimmed();
    r.shortcentname = m_shortcentname->text().trimmed();
    r.centbase = m_centbase->intValue();
    r.decdigits = m_decdigits->intValue();
    r.place = m_place->currentData().toInt();
    r.active = m_active->isChecked();
    r.isNcu = m_isNcu->isChecked();
    m_bo.writeCurrency(r);
    return r.id;
}

void TdlgCurr::afterSave()
{
    m_record.id = recordKey();
}

// --- TdlgCurrRate ---------------------------------------------------------------------

TdlgCurrRate::TdlgCurrRate(TboCurrency &bo, const TRateRecord &record, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_first(record)
{
    setObjectName(QStringLiteral("dlgCurrRate"));
    setWindowTitle(tr("Курс валюты"));
    if (!isNew)
        m_original = record;
    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);

    m_from = newCurrencyBox(m_bo.context().db, QStringLiteral("fromcurr"), this);
    m_to = newCurrencyBox(m_bo.context().db, QStringLiteral("tocurr"), this);
    m_date = new TxCheckedEdit(TxCheckedEdit::Kind::Date, this);
    m_date->setObjectName(QStringLiteral("fordate"));
    m_coeff = new TxCheckedEdit(TxCheckedEdit::Kind::Float, this);
    m_coeff->setObjectName(QStringLiteral("coeff"));
    form->addRow(tr("Из какой валюты"), m_from);
    form->addRow(tr("В какую"), m_to);
    form->addRow(tr("Дата"), m_date);
    form->addRow(tr("Курс"), m_coeff);

    cancelButton()->setText(tr("&Отмена"));
    setNextEnabled(isNew);
    addRequired(m_date, tr("Введите дата"));
    addRequired(m_from, tr("Выберите валюту"), [this] { return !m_from->key().isNull(); });
    addRequired(m_to, tr("Выберите валюту"), [this] { return !m_to->key().isNull(); });
    display(record);
}

void TdlgCurrRate::display(const TRateRecord &r)
{
    m_from->setKey(r.fromCurr > 0 ? QVariant(r.fromCurr) : QVariant());
    m_to->setKey(r.toCurr > 0 ? QVariant(r.toCurr) : QVariant());
    m_date->setDateValue(r.forDate);
    if (r.coeff)
        m_coeff->setText(numberFieldText(*r.coeff));
    else
        m_coeff->clear();
}

TRateRecord TdlgCurrRate::collect() const
{
    TRateRecord r;
    r.fromCurr = m_from->key().toInt();
    r.toCurr = m_to->key().toInt();
    r.forDate = m_date->dateValue().value_or(QDate());
    r.coeff = m_coeff->floatValue();
    return r;
}

bool TdlgCurrRate::validate()
{
    // A rate row without a usable rate would only turn conversions into
    // divisions by zero later.
    const std::optional<double> coeff = m_coeff->floatValue();
    if (!coeff || *coeff <= 0) {
        fail(m_coeff, tr("Введите курс"));
        return false;
    }
    return true;
}

int TdlgCurrRate::writeRecord()
{
    // A rate row is keyed by its triple, kept in m_original.
    m_bo.writeRate(collect(), m_original);
    return 0;
}

void TdlgCurrRate::afterSave()
{
    m_original = collect();
}

void TdlgCurrRate::startNextRecord()
{
    TRateRecord next = m_first;
    next.forDate = QDate::currentDate();
    next.coeff.reset();
    m_original.reset();
    display(next);
    m_coeff->setFocus();
}

} // namespace korvex::reference
