#include "dlgCustomer.h"

#include "customerLookups.h"
#include "PlaceTree.h"
#include "dlgBankAccount.h"
#include "dlgClassifier.h"
#include "uiCommon.h"
#include "db/xDatabase.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvex::customers {

using namespace korvex::widgets;

namespace {
enum Page { MainPage, CodesPage, FactoryPage, PersonPage };
}

TdlgCustomer::TdlgCustomer(korvex::shell::TAppContext &context, const QString &name, int key, int kind, QWidget *parent)
    : TxEditDialog(context.db, parent)
    , m_context(context)
    , m_bo(context.db)
{
    setWindowTitle(tr("Карточка клиента"));
    setObjectName(QStringLiteral("dlgCustomer"));
    m_bo.open(key, name, kind);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildMainPage());
    m_pages->addWidget(buildCodesPage());
    m_pages->addWidget(buildFactoryPage());
    m_pages->addWidget(buildPersonPage());
    contentLayout()->addWidget(m_pages);

    m_back = new QPushButton(tr("&Назад"), this);
    m_forward = new QPushButton(tr("&Вперед"), this);
    buttonLayout()->insertWidget(1, m_back);
    buttonLayout()->insertWidget(2, m_forward);
    okButton()->setText(tr("&Готово"));
    cancelButton()->setText(tr("&Отмена"));
    nextButton()->setText(tr("&Новый"));
    // A new customer in the card's own transaction may be followed by another.
    setNextEnabled(key == -1 && !context.db.inTransaction());
    connect(m_back, &QPushButton::clicked, this, &TdlgCustomer::goBack);
    connect(m_forward, &QPushButton::clicked, this, &TdlgCustomer::goForward);
    // The page may also be switched by the base, to a required field.
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int page) {
        m_back->setEnabled(page != MainPage);
        m_forward->setEnabled(page == MainPage || page == CodesPage);
    });

    loadAll();
    showPage(MainPage);
}

template<class Record>
QLineEdit *TdlgCustomer::text(QFormLayout *form, const QString &caption, Record &record, QString Record::*member,
                              const QString &name)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    form->addRow(caption, edit);
    m_display << [edit, &record, member] { edit->setText(record.*member); };
    m_collect << [edit, &record, member] { record.*member = edit->text().trimmed(); };
    return edit;
}

namespace {

// A date field shows an invalid date as empty.
void showDate(TxCheckedEdit *edit, const QDate &date)
{
    if (date.isValid())
        edit->setDateValue(date);
    else
        edit->clear();
}

std::optional<int> lookupKey(TxLookupBox *box)
{
    box->resolveText();
    return box->intKey();
}

QVariant keyOf(const std::optional<int> &key)
{
    return key ? QVariant(*key) : QVariant();
}

} // namespace

QWidget *TdlgCustomer::buildMainPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    TCustomerRecord &c = m_bo.customer();

    m_kind = new QComboBox(page);
    m_kind->setObjectName(QStringLiteral("kind"));
    m_kind->addItems({tr("Предприятие"), tr("Банк"), tr("Физическое лиц"), tr("Частный предприниматель")});
    form->addRow(tr("Тип:"), m_kind);
    m_display << [this, &c] { m_kind->setCurrentIndex(c.kind - 1); };
    m_collect << [this, &c] { c.kind = m_kind->currentIndex() + 1; };
    connect(m_kind, &QComboBox::currentIndexChanged, this, &TdlgCustomer::kindChanged);

    auto *external = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, page);
    external->setObjectName(QStringLiteral("externalkey"));
    form->addRow(tr("Внешний код:"), external);
    m_display << [external, &c] {
        if (c.externalKey)
            external->setIntValue(*c.externalKey);
        else
            external->clear();
    };
    m_collect << [external, &c] { c.externalKey = external->intValue(); };
    text(form, tr("Код:"), c, &TCustomerRecord::code, QStringLiteral("cst_customer_code"));

    // A classifier typed that does not exist, or the "..." button, opens its dialog.
    auto lookup = [&](TxLookupBox *box, bool companyKind) {
        box->setChooserVisible(true);
        connect(box, &TxLookupBox::textNotFound, this,
                [this, box, companyKind](const QString &typed) { newClassifier(box, companyKind, typed); });
        connect(box, &TxLookupBox::chooserClicked, this,
                [this, box, companyKind] { newClassifier(box, companyKind, box->text()); });
        return box;
    };
    m_propertyKind = lookup(newPropertyKindBox(m_context.db, QStringLiteral("propertykindkey"), page), false);
    form->addRow(tr("Форма собственности:"), m_propertyKind);
    m_companyKind = lookup(newCompanyKindBox(m_context.db, QStringLiteral("companykindkey"), page), true);
    form->addRow(tr("Форма общества:"), m_companyKind);
    m_display << [this, &c] {
        m_propertyKind->setKey(keyOf(c.propertyKindKey));
        m_companyKind->setKey(keyOf(c.companyKindKey));
    };
    m_collect << [this, &c] {
        c.propertyKindKey = lookupKey(m_propertyKind);
        c.companyKindKey = lookupKey(m_companyKind);
    };

    m_name = text(form, tr("Наименование:"), c, &TCustomerRecord::name, QStringLiteral("cst_customer_name"));
    addRequired(m_name, tr("Введите наименование"));
    text(form, tr("Полное наименование:"), c, &TCustomerRecord::fullname, QStringLiteral("cst_customer_fullname"));
    text(form, tr("Телефон:"), c, &TCustomerRecord::phone, QStringLiteral("cst_customer_phone"));
    text(form, tr("Факс:"), c, &TCustomerRecord::fax, QStringLiteral("cst_customer_fax"));
    text(form, tr("e-mail:"), c, &TCustomerRecord::email, QStringLiteral("cst_customer_email"));
    text(form, tr("URL:"), c, &TCustomerRecord::url, QStringLiteral("cst_customer_url"));
    text(form, tr("Почтовый ящик:"), c, &TCustomerRecord::pobox, QStringLiteral("cst_customer_pobox"));
    text(form, tr("Индекс:"), c, &TCustomerRecord::zipcode, QStringLiteral("cst_customer_zipcode"));

    auto *addressRow = new QHBoxLayout;
    m_address = new QLineEdit(page);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setReadOnly(true);
    auto *addressButton = new QPushButton(tr("&Адрес..."), page);
    addressButton->setObjectName(QStringLiteral("addressButton"));
    addressRow->addWidget(m_address, 1);
    addressRow->addWidget(addressButton);
    form->addRow(tr("Адрес:"), addressRow);
    connect(addressButton, &QPushButton::clicked, this, [this] { guarded(this, [this] { chooseAddress(); }); });

    text(form, tr("Юридический адрес:"), c, &TCustomerRecord::domicile, QStringLiteral("cst_customer_domicile"));
    auto *disabled = new QCheckBox(tr("Не активен"), page);
    disabled->setObjectName(QStringLiteral("disabled"));
    form->addRow(QString(), disabled);
    m_display << [disabled, &c] { disabled->setChecked(c.disabled); };
    m_collect << [disabled, &c] { c.disabled = disabled->isChecked(); };
    return page;
}

QWidget *TdlgCustomer::buildCodesPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    TCustomerRecord &c = m_bo.customer();
    text(form, tr("ОКОНХ:"), c, &TCustomerRecord::okonh, QStringLiteral("cst_customer_okonh"));
    text(form, tr("СОАТО:"), c, &TCustomerRecord::soato, QStringLiteral("cst_customer_soato"));
    text(form, tr("УНН:"), c, &TCustomerRecord::unn, QStringLiteral("cst_customer_unn"));
    text(form, tr("ОКПО:"), c, &TCustomerRecord::okpo, QStringLiteral("cst_customer_okpo"));
    text(form, tr("СООУ:"), c, &TCustomerRecord::soou, QStringLiteral("cst_customer_soou"));

    m_bankCodes = new QWidget(page);
    auto *bankForm = new QFormLayout(m_bankCodes);
    bankForm->setContentsMargins(0, 0, 0, 0);
    text(bankForm, tr("МФО:"), m_bo.factory(), &TFactoryRecord::mfo, QStringLiteral("cst_factory_mfo"));
    text(bankForm, tr("Код:"), m_bo.factory(), &TFactoryRecord::code, QStringLiteral("cst_factory_code"));
    layout->addWidget(m_bankCodes);

    auto *group = new QGroupBox(tr("Банковские счета"), page);
    auto *groupLayout = new QVBoxLayout(group);
    m_accounts = new QTableWidget(0, 3, group);
    m_accounts->setObjectName(QStringLiteral("accounts"));
    m_accounts->setHorizontalHeaderLabels({tr("Наименование"), tr("Банк"), tr("Номер счета")});
    m_accounts->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_accounts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_accounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_accounts->horizontalHeader()->setStretchLastSection(true);
    m_accounts->verticalHeader()->hide();
    groupLayout->addWidget(m_accounts);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(tr("Добавить..."), group);
    auto *edit = new QPushButton(tr("Изменить..."), group);
    auto *remove = new QPushButton(tr("Удалить"), group);
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    groupLayout->addLayout(buttons);
    layout->addWidget(group, 1);
    connect(add, &QPushButton::clicked, this, [this] { guarded(this, [this] { addAccount(); }); });
    connect(edit, &QPushButton::clicked, this, [this] { guarded(this, [this] { editAccount(); }); });
    connect(m_accounts, &QTableWidget::cellDoubleClicked, this, [this] { guarded(this, [this] { editAccount(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { removeAccount(); });
    return page;
}

QWidget *TdlgCustomer::buildFactoryPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    TFactoryRecord &f = m_bo.factory();
    auto *found = new TxCheckedEdit(TxCheckedEdit::Kind::Date, page);
    found->setObjectName(QStringLiteral("founddate"));
    form->addRow(tr("Дата основания "), found);
    m_display << [found, &f] { showDate(found, f.foundDate); };
    m_collect << [found, &f] { f.foundDate = found->dateValue().value_or(QDate()); };
    text(form, tr("ФИО руководителя:"), f, &TFactoryRecord::director, QStringLiteral("cst_factory_director"));
    text(form, tr("ФИО гл. бухгалтера:"), f, &TFactoryRecord::bookkeeper, QStringLiteral("cst_factory_bookkeeper"));

    auto *phones = new QGroupBox(tr("Телефоны"), page);
    auto *phoneForm = new QFormLayout(phones);
    text(phoneForm, tr("Приемная"), f, &TFactoryRecord::reception, QStringLiteral("cst_factory_reception"));
    text(phoneForm, tr("Бухгалтерия"), f, &TFactoryRecord::accounting, QStringLiteral("cst_factory_accounting"));
    text(phoneForm, tr("ОК"), f, &TFactoryRecord::personal, QStringLiteral("cst_factory_personal"));
    text(phoneForm, tr("Маркетинг"), f, &TFactoryRecord::marketing, QStringLiteral("cst_factory_mareketing"));
    text(phoneForm, tr("Снабжение"), f, &TFactoryRecord::supply, QStringLiteral("cst_factory_supply"));
    text(phoneForm, tr("Сбыт"), f, &TFactoryRecord::sales, QStringLiteral("cst_factory_sales"));
    layout->addWidget(phones);

    auto *contact = new QGroupBox(tr("Контактное лицо"), page);
    auto *contactForm = new QFormLayout(contact);
    TExecutorRecord &e = m_bo.executor();
    text(contactForm, tr("ФИО:"), e, &TExecutorRecord::name, QStringLiteral("ir_executor_name"));
    text(contactForm, tr("Тел:"), e, &TExecutorRecord::phone, QStringLiteral("ir_executor_phone"));
    text(contactForm, tr("Факс:"), e, &TExecutorRecord::fax, QStringLiteral("ir_executor_fax"));
    text(contactForm, tr("e-mail:"), e, &TExecutorRecord::email, QStringLiteral("ir_executor_email"));
    layout->addWidget(contact);
    layout->addStretch();
    return page;
}

QWidget *TdlgCustomer::buildPersonPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    TPersonRecord &p = m_bo.person();
    text(form, tr("Фамилия"), p, &TPersonRecord::lastName, QStringLiteral("cst_person_lastname"));
    text(form, tr("Имя"), p, &TPersonRecord::name, QStringLiteral("cst_person_name"));
    text(form, tr("Отчество"), p, &TPersonRecord::middleName, QStringLiteral("cst_person_medname"));

    auto *passport = new QGroupBox(tr("Паспортные данные"), page);
    auto *passportForm = new QFormLayout(passport);
    text(passportForm, tr("Серия:"), p, &TPersonRecord::passportSeries, QStringLiteral("cst_person_psprtseria"));
    text(passportForm, tr("Номер:"), p, &TPersonRecord::passportNumber, QStringLiteral("cst_person_psprtnumber"));
    auto *issued = new TxCheckedEdit(TxCheckedEdit::Kind::Date, passport);
    issued->setObjectName(QStringLiteral("psprtdate"));
    passportForm->addRow(tr("Дата:"), issued);
    m_display << [issued, &p] { showDate(issued, p.passportDate); };
    m_collect << [issued, &p] { p.passportDate = issued->dateValue().value_or(QDate()); };
    text(passportForm, tr("Кем выдан:"), p, &TPersonRecord::passportIssuer, QStringLiteral("cst_person_psprtadmin"));
    layout->addWidget(passport);

    m_registration = new QGroupBox(tr("Сведения о регистрации"), page);
    m_registration->setObjectName(QStringLiteral("registration"));
    auto *regForm = new QFormLayout(m_registration);
    text(regForm, tr("Номер:"), p, &TPersonRecord::regNumber, QStringLiteral("cst_person_regnumber"));
    auto *regDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, m_registration);
    regDate->setObjectName(QStringLiteral("regdate"));
    regForm->addRow(tr("Дата:"), regDate);
    m_display << [regDate, &p] { showDate(regDate, p.regDate); };
    m_collect << [regDate, &p] { p.regDate = regDate->dateValue().value_or(QDate()); };
    text(regForm, tr("Кем зарегистрирован:"), p, &TPersonRecord::regIssuer, QStringLiteral("cst_person_regadmin"));
    layout->addWidget(m_registration);
    layout->addStretch();
    return page;
}

void TdlgCustomer::display()
{
    for (const auto &show : std::as_const(m_display))
        show();
}

void TdlgCustomer::collect()
{
    for (const auto &take : std::as_const(m_collect))
        take();
}

void TdlgCustomer::loadAll()
{
    display();
    m_address->setText(m_bo.addressText());
    fillAccounts();
    kindChanged(m_kind->currentIndex());
}

void TdlgCustomer::kindChanged(int index)
{
    const int kind = index + 1;
    m_bo.setKind(kind);
    m_bankCodes->setVisible(kind == 2);
    m_registration->setVisible(kind == 4);
}

int TdlgCustomer::currentPage() const
{
    return m_pages->currentIndex();
}

void TdlgCustomer::showPage(int page)
{
    m_pages->setCurrentIndex(page);
    m_back->setEnabled(page != MainPage);
    m_forward->setEnabled(page == MainPage || page == CodesPage);
}

void TdlgCustomer::goForward()
{
    if (currentPage() == MainPage)
        showPage(CodesPage);
    else if (currentPage() == CodesPage)
        showPage(TboCustomer::hasFactoryDetails(m_bo.kind()) ? FactoryPage : PersonPage);
}

void TdlgCustomer::goBack()
{
    if (currentPage() == CodesPage)
        showPage(MainPage);
    else if (currentPage() != MainPage)
        showPage(CodesPage);
}

void TdlgCustomer::newClassifier(TxLookupBox *box, bool companyKind, const QString &name)
{
    guarded(this, [&] {
        auto dialog = TdlgClassifier::create(companyKind ? TClassifier::CompanyKind : TClassifier::PropertyKind,
                                             m_context.db, name.trimmed(), -1, this);
        dialog->exec();
        const int saved = dialog->savedKey();
        if (saved > 0) {
            box->reload();
            box->setKey(saved);
        }
    });
}

void TdlgCustomer::chooseAddress()
{
    TdlgPlaceTree tree(m_context.db, keyOf(m_bo.customer().placeKey), this);
    if (tree.exec() != QDialog::Accepted)
        return;
    const auto place = tree.currentKey();
    if (!place || !TxMessages::confirm(this, tr("Изменить адрес?")))
        return;
    m_bo.setPlace(*place);
    m_address->setText(m_bo.addressText());
}

void TdlgCustomer::fillAccounts()
{
    m_accounts->setRowCount(0);
    for (const TBankAccount &a : m_bo.accounts()) {
        const int row = m_accounts->rowCount();
        m_accounts->insertRow(row);
        m_accounts->setItem(row, 0, new QTableWidgetItem(a.name));
        m_accounts->setItem(row, 1, new QTableWidgetItem(a.bankName));
        m_accounts->setItem(row, 2, new QTableWidgetItem(a.account));
    }
}

void TdlgCustomer::addAccount()
{
    TdlgBankAccount dialog(m_context, nullptr, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_bo.addAccount(dialog.account());
    fillAccounts();
    m_accounts->setCurrentCell(m_accounts->rowCount() - 1, 0);
}

void TdlgCustomer::editAccount()
{
    const int row = m_accounts->currentRow();
    if (row < 0 || row >= m_bo.accounts().size())
        return;
    TdlgBankAccount dialog(m_context, &m_bo.accounts().at(row), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_bo.changeAccount(row, dialog.account());
    fillAccounts();
    m_accounts->setCurrentCell(row, 0);
}

void TdlgCustomer::removeAccount()
{
    const int row = m_accounts->currentRow();
    if (row < 0 || row >= m_bo.accounts().size())
        return;
    if (!TxMessages::confirm(this, tr("Удалить счет?"), tr("Вниание")))
        return;
    m_bo.removeAccount(row);
    fillAccounts();
}

int TdlgCustomer::writeRecord()
{
    collect();
    m_bo.write();
    return m_bo.key();
}

void TdlgCustomer::afterSave()
{
    m_bo.confirm();
}

void TdlgCustomer::startNextRecord()
{
    // The saved customer is committed; the next one starts afresh.
    m_bo.open(-1, QString(), m_bo.kind());
    loadAll();
    showPage(MainPage);
    m_name->setFocus();
}

} // namespace korvex::customers
