#include "dlgFactoryFilter.h"

#include "customerLookups.h"
#include "PlaceTree.h"
#include "uiCommon.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/xQueryModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

TdlgFactoryFilter::TdlgFactoryFilter(korvex::db::TxDatabase &db, const TFactoryFilter &filter, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_filter(filter)
{
    setWindowTitle(tr("Фильтр"));
    setObjectName(QStringLiteral("dlgFactoryFilter"));
    auto *layout = new QVBoxLayout(this);
    addHeading(layout, tr(" Установите условия отбора предприятий"));
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildAddressTab(), tr("Адрес"));
    m_tabs->addTab(buildInfoTab(), tr("Информация"));
    m_tabs->setCurrentIndex(1);
    layout->addWidget(m_tabs, 1);

    layout->addLayout(confirmRow(this, tr("&Готово"), tr("&Отмена"), [this] {
        confirm();
        return true;
    }).layout);

    display(m_filter);
}

QWidget *TdlgFactoryFilter::buildInfoTab()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    int row = 0;

    m_stateCheck = new QCheckBox(tr("Состояние"), page);
    m_state = new QComboBox(page);
    m_state->addItems({tr("Активен"), tr("Не активен")});
    grid->addWidget(m_stateCheck, row, 0);
    grid->addWidget(m_state, row++, 1, 1, 2);

    auto lookup = [&](QCheckBox *&check, TxLookupBox *&box, const QString &caption, TxLookupBox *made) {
        check = new QCheckBox(caption, page);
        box = made;
        grid->addWidget(check, row, 0);
        grid->addWidget(box, row++, 1, 1, 2);
    };
    lookup(m_propertyCheck, m_property, tr("Форма собственности"), newPropertyKindBox(m_db, QString(), page));
    lookup(m_companyCheck, m_company, tr("Вид компании"), newCompanyKindBox(m_db, QString(), page));

    const QString captions[TFactoryFilter::FieldCount] = {tr("Наименование"), tr("Индекс"), tr("Почтовый ящик"),
                                                          tr("УНН (ИНН)"), tr("ОКПО"), tr("Телефон"),
                                                          tr("Факс"), tr("e-mail"), tr("URL")};
    for (int i = 0; i < TFactoryFilter::FieldCount; ++i) {
        ConditionRow &r = m_rows[i];
        r.check = new QCheckBox(captions[i], page);
        r.check->setObjectName(QStringLiteral("use") + TFactoryFilter::fieldName(TFactoryFilter::Field(i)));
        r.mode = new QComboBox(page);
        r.mode->addItems({tr("равняется"), tr("содержит"), tr("начинается с"), tr("оканчивается на")});
        r.mask = new QLineEdit(page);
        grid->addWidget(r.check, row, 0);
        grid->addWidget(r.mode, row, 1);
        grid->addWidget(r.mask, row++, 2);
        connect(r.check, &QCheckBox::toggled, this, [this, i](bool on) {
            // A list that becomes enabled without a choice takes the stored
            // mode, or "содержит".
            if (on && m_rows[i].mode->currentIndex() < 0) {
                const int stored = m_filter.use(TFactoryFilter::Field(i));
                m_rows[i].mode->setCurrentIndex(stored < 0 ? TFactoryFilter::Contains : stored);
            }
            enableRows();
        });
    }
    for (QCheckBox *c : {m_stateCheck, m_propertyCheck, m_companyCheck})
        connect(c, &QCheckBox::toggled, this, &TdlgFactoryFilter::enableRows);
    connect(m_stateCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (on && m_state->currentIndex() < 0)
            m_state->setCurrentIndex(m_filter.disabledValue() < 0 ? 0 : m_filter.disabledValue());
    });
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget *TdlgFactoryFilter::buildAddressTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_placeCheck = new QCheckBox(tr("Адрес предприятия"), page);
    m_places = new TPlaceTreeView(m_db, page);
    layout->addWidget(m_placeCheck);
    layout->addWidget(m_places, 1);
    connect(m_placeCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            openPlaces();
        enableRows();
    });
    return page;
}

void TdlgFactoryFilter::openPlaces()
{
    if (m_places->isLoaded())
        return;
    m_places->reload();
    if (m_filter.placeValue() > 0)
        m_places->setCurrentKey(m_filter.placeValue());
}

void TdlgFactoryFilter::standOn(TxLookupBox *box, int key)
{
    const QList<TxLookupRow> &rows = box->source()->rows();
    for (const TxLookupRow &r : rows) {
        if (sameKey(r.key, key)) {
            box->setKey(r.key);
            return;
        }
    }
    box->setKey(rows.isEmpty() ? QVariant() : rows.last().key);
}

void TdlgFactoryFilter::display(const TFactoryFilter &filter)
{
    m_state->setCurrentIndex(filter.disabledValue() < 0 ? -1 : filter.disabledValue());
    m_stateCheck->setChecked(filter.disabledValue() != -1);
    standOn(m_property, filter.propertyKindValue());
    m_propertyCheck->setChecked(filter.propertyKindValue() != -1);
    standOn(m_company, filter.companyKindValue());
    m_companyCheck->setChecked(filter.companyKindValue() != -1);
    for (int i = 0; i < TFactoryFilter::FieldCount; ++i) {
        const auto f = TFactoryFilter::Field(i);
        ConditionRow &r = m_rows[i];
        r.mode->setCurrentIndex(filter.use(f));
        r.mask->setText(filter.mask(f));
        r.check->setChecked(filter.use(f) != -1);
    }
    m_placeCheck->setChecked(filter.placeValue() != -1);
    enableRows();
}

void TdlgFactoryFilter::enableRows()
{
    m_state->setEnabled(m_stateCheck->isChecked());
    m_property->setEnabled(m_propertyCheck->isChecked());
    m_company->setEnabled(m_companyCheck->isChecked());
    for (ConditionRow &r : m_rows) {
        r.mode->setEnabled(r.check->isChecked());
        r.mask->setEnabled(r.check->isChecked());
    }
    m_places->setEnabled(m_placeCheck->isChecked());
}

void TdlgFactoryFilter::confirm()
{
    auto keyOf = [](TxLookupBox *box) {
        box->resolveText();
        return box->key().isNull() ? -1 : box->key().toInt();
    };
    m_filter.setDisabledValue(m_stateCheck->isChecked() ? m_state->currentIndex() : -1);
    m_filter.setPropertyKindValue(m_propertyCheck->isChecked() ? keyOf(m_property) : -1);
    m_filter.setCompanyKindValue(m_companyCheck->isChecked() ? keyOf(m_company) : -1);
    for (int i = 0; i < TFactoryFilter::FieldCount; ++i) {
        const auto f = TFactoryFilter::Field(i);
        const ConditionRow &r = m_rows[i];
        m_filter.setUse(f, r.check->isChecked() ? r.mode->currentIndex() : -1);
        m_filter.setMask(f, r.check->isChecked() ? r.mask->text() : QString());
    }
    const auto place = m_places->currentKey();
    m_filter.setPlaceValue(m_placeCheck->isChecked() && place ? *place : -1);
}

} // namespace korvex::customers
