#include "dlgCustomer.h"

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

    loadAll();
    showPage(MainPage);
}

QLineEdit *TdlgCustomer::text(QFormLayout *form, const QString &caption, TCachedRow &row, const QString &field)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(row.table() + QLatin1Char('_') + field);
    form->addRow(caption, edit);
    m_binder.text(edit, row, field);
    return edit;
}

QWidget *TdlgCustomer::buildMainPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    TCachedRow &c = m_bo.customer();

    m_kind = new QComboBox(page);
    m_kind->setObjectName(QStringLiteral("kind"));
    m_kind->addItems({tr("Предприятие"), tr("Банк"), tr("Физическое лиц"), tr("Частный предприниматель")});
    form->addRow(tr("Тип:"), m_kind);
    m_binder.position(m_kind, c, QStringLiteral("kind"), 1);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &TdlgCustomer::kindChanged);

    auto *external = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, page);
    external->setObjectName(QStringLiteral("externalkey"));
    form->addRow(tr("Внешний код:"), external);
    m_binder.number(external, c, QStringLiteral("externalkey"));
    text(form, tr("Код:"), c, QStringLiteral("code"));

    auto lookup = [&](const QString &objectName, const QString &table, const QString &keyField, bool companyKind) {
        auto *box = new TxLookupBox(page);
        box->setObjectName(objectName);
        box->setSource(std::make_unique<TxTableLookup>(m_context.db, table, keyField, QStringLiteral("name")));
        connect(box, &TxLookupBox::textNotFound, this,
                [this, box, companyKind](const QString &typed) { newClassifier(box, companyKind, typed); });
        connect(box, &TxLookupBox::chooserClicked, this,
                [this, box, companyKind] { newClassifier(box, companyKind, box->text()); });
        return box;
    };
    m_propertyKind = lookup(QStringLiteral("propertykindkey"), QStringLiteral("fin_propertykind"),
                            QStringLiteral("propertykindkey"), false);
    form->addRow(tr("Форма собственности:"), m_propertyKind);
    m_binder.lookup(m_propertyKind, c, QStringLiteral("propertykindkey"));
    m_companyKind = lookup(QStringLiteral("companykindkey"), QStringLiteral("fin_companykind"),
                           QStringLiteral("companykindkey"), true);
    form->addRow(tr("Форма общества:"), m_companyKind);
    m_binder.lookup(m_companyKind, c, QStringLiteral("companykindkey"));

    m_name = text(form, tr("Наименование:"), c, QStringLiteral("name"));
    text(form, tr("Полное наименование:"), c, QStringLiteral("fullname"));
    text(form, tr("Телефон:"), c, QStringLiteral("phone"));
    text(form, tr("Факс:"), c, QStringLiteral("fax"));
    text(form, tr("e-mail:"), c, QStringLiteral("email"));
    text(form, tr("URL:"), c, QStringLiteral("url"));
    text(form, tr("Почтовый ящик:"), c, QStringLiteral("pobox"));
    text(form, tr("Индекс:"), c, QStringLiteral("zipcode"));

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

    text(form, tr("Юридический адрес:"), c, QStringLiteral("domicile"));
    auto *disabled = new QCheckBox(tr("Не активен"), page);
    disabled->setObjectName(QStringLiteral("disabled"));
    form->addRow(QString(), disabled);
    m_binder.check(disabled, c, QStringLiteral("disabled"));
    return page;
}

QWidget *TdlgCustomer::buildCodesPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    TCachedRow &c = m_bo.customer();
    text(form, tr("ОКОНХ:"), c, QStringLiteral("okonh"));
    text(form, tr("СОАТО:"), c, QStringLiteral("soato"));
    text(form, tr("УНН:"), c, QStringLiteral("unn"));
    text(form, tr("ОКПО:"), c, QStringLiteral("okpo"));
    text(form, tr("СООУ:"), c, QStringLiteral("soou"));

    m_bankCodes = new QWidget(page);
    auto *bankForm = new QFormLayout(m_bankCodes);
    bankForm->setContentsMargins(0, 0, 0, 0);
    text(bankForm, tr("МФО:"), m_bo.factory(), QStringLiteral("mfo"));
    text(bankForm, tr("Код:"), m_bo.factory(), QStringLiteral("code"));
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
    TCachedRow &f = m_bo.factory();
    auto *found = new TxCheckedEdit(TxCheckedEdit::Kind::Date, page);
    found->setObjectName(QStringLiteral("founddate"));
    form->addRow(tr("Дата основания "), found);
    m_binder.date(found, f, QStringLiteral("founddate"));
    text(form, tr("ФИО руководителя:"), f, QStringLiteral("director"));
    text(form, tr("ФИО гл. бухгалтера:"), f, QStringLiteral("bookkeeper"));

    auto *phones = new QGroupBox(tr("Телефоны"), page);
    auto *phoneForm = new QFormLayout(phones);
    text(phoneForm, tr("Приемная"), f, QStringLiteral("reception"));
    text(phoneForm, tr("Бухгалтерия"), f, QStringLiteral("accounting"));
    text(phoneForm, tr("ОК"), f, QStringLiteral("personal"));
    text(phoneForm, tr("Маркетинг"), f, QStringLiteral("mareketing"));
    text(phoneForm, tr("Снабжение"), f, QStringLiteral("supply"));
    text(phoneForm, tr("Сбыт"), f, QStringLiteral("sales"));
    layout->addWidget(phones);

    auto *contact = new QGroupBox(tr("Контактное лицо"), page);
    auto *contactForm = new QFormLayout(contact);
    TCachedRow &e = m_bo.executor();
    text(contactForm, tr("ФИО:"), e, QStringLiteral("name"));
    text(contactForm, tr("Тел:"), e, QStringLiteral("phone"));
    text(contactForm, tr("Факс:"), e, QStringLiteral("fax"));
    text(contactForm, tr("e-mail:"), e, QStringLiteral("email"));
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
    TCachedRow &p = m_bo.person();
    text(form, tr("Фамилия"), p, QStringLiteral("lastname"));
    text(form, tr("Имя"), p, QStringLiteral("name"));
    text(form, tr("Отчество"), p, QStringLiteral("medname"));

    auto *passport = new QGroupBox(tr("Паспортные данные"), page);
    auto *passportForm = new QFormLayout(passport);
    text(passportForm, tr("Серия:"), p, QStringLiteral("psprtseria"));
    text(passportForm, tr("Номер:"), p, QStringLiteral("psprtnumber"));
    auto *issued = new TxCheckedEdit(TxCheckedEdit::Kind::Date, passport);
    issued->setObjectName(QStringLiteral("psprtdate"));
    passportForm->addRow(tr("Дата:"), issued);
    m_binder.date(issued, p, QStringLiteral("psprtdate"));
    text(passportForm, tr("Кем выдан:"), p, QStringLiteral("psprtadmin"));
    layout->addWidget(passport);

    m_registration = new QGroupBox(tr("Сведения о регистрации"), page);
    m_registration->setObjectName(QStringLiteral("registration"));
    auto *regForm = new QFormLayout(m_registration);
    text(regForm, tr("Номер:"), p, QStringLiteral("regnumber"));
    auto *regDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, m_registration);
    regDate->setObjectName(QStringLiteral("regdate"));
    regForm->addRow(tr("Дата:"), regDate);
    m_binder.date(regDate, p, QStringLiteral("regdate"));
    text(regForm, tr("Кем зарегистрирован:"), p, QStringLiteral("regadmin"));
    layout->addWidget(m_registration);
    layout->addStretch();
    return page;
}

void TdlgCustomer::loadAll()
{
    m_binder.load();
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
    TdlgPlaceTree tree(m_context.db, m_bo.customer().value(QStringLiteral("placekey")), this);
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

void TdlgCustomer::writeRecord()
{
    m_binder.store();
    m_bo.setKind(m_kind->currentIndex() + 1);
    m_bo.write();
}

void TdlgCustomer::afterSave()
{
    m_bo.confirm();
    m_savedKey = m_bo.key();
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
