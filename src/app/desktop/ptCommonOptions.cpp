#include "ptCommonOptions.h"

#include "reference/ui/referenceLookups.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"
#include "widgets/ui/xRtsColors.h"
#include "widgets/xRtsValues.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvex::shell {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxLookupBox;

namespace {

// The standard colours: the stored name and the name shown.
const std::pair<const char *, const char *> Colors[] = {
    {"clBlack", QT_TRANSLATE_NOOP("TptCommonOptions", "Черный")},
    {"clMaroon", QT_TRANSLATE_NOOP("TptCommonOptions", "Темно-бордовый")},
    {"clGreen", QT_TRANSLATE_NOOP("TptCommonOptions", "Зеленый")},
    {"clOlive", QT_TRANSLATE_NOOP("TptCommonOptions", "Оливковый")},
    {"clNavy", QT_TRANSLATE_NOOP("TptCommonOptions", "Темно-синий")},
    {"clPurple", QT_TRANSLATE_NOOP("TptCommonOptions", "Фиолетовый")},
    {"clTeal", QT_TRANSLATE_NOOP("TptCommonOptions", "Сине-зеленый")},
    {"clGray", QT_TRANSLATE_NOOP("TptCommonOptions", "Серый")},
    {"clSilver", QT_TRANSLATE_NOOP("TptCommonOptions", "Серебристый")},
    {"clRed", QT_TRANSLATE_NOOP("TptCommonOptions", "Красный")},
    {"clLime", QT_TRANSLATE_NOOP("TptCommonOptions", "Салатовый")},
    {"clYellow", QT_TRANSLATE_NOOP("TptCommonOptions", "Желтый")},
    {"clBlue", QT_TRANSLATE_NOOP("TptCommonOptions", "Синий")},
    {"clFuchsia", QT_TRANSLATE_NOOP("TptCommonOptions", "Розовый")},
    {"clAqua", QT_TRANSLATE_NOOP("TptCommonOptions", "Голубой")},
    {"clWhite", QT_TRANSLATE_NOOP("TptCommonOptions", "Белый")},
    {"clMoneyGreen", QT_TRANSLATE_NOOP("TptCommonOptions", "Светло-зеленый")},
    {"clSkyBlue", QT_TRANSLATE_NOOP("TptCommonOptions", "Небесно-голубой")},
    {"clCream", QT_TRANSLATE_NOOP("TptCommonOptions", "Кремовый")},
    {"clMedGray", QT_TRANSLATE_NOOP("TptCommonOptions", "Светло-серый")},
};

QIcon swatch(const QString &colorText)
{
    QPixmap p(16, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setPen(Qt::black);
    const std::optional<int> c = korvex::widgets::rts::parseColor(colorText);
    painter.setBrush(c ? korvex::widgets::toQColor(*c) : QColor(Qt::transparent));
    painter.drawRect(0, 0, 15, 11);
    return QIcon(p);
}

// A colour pick list of the standard colours; a stored colour of no name
// joins the list.
QComboBox *colorBox(const QString &name, const QString &value, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setMinimumWidth(200);
    for (const auto &[stored, shown] : Colors)
        box->addItem(swatch(QString::fromLatin1(stored)), QCoreApplication::translate("TptCommonOptions", shown),
                     QString::fromLatin1(stored));
    int i = box->findData(value, Qt::UserRole, Qt::MatchFixedString);
    if (i < 0 && korvex::widgets::rts::parseColor(value)) {
        box->addItem(swatch(value), value, value);
        i = box->count() - 1;
    }
    box->setCurrentIndex(qMax(0, i));
    return box;
}

TxCheckedEdit *intEdit(int value, const QString &name, QWidget *parent)
{
    auto *e = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, parent);
    e->setObjectName(name);
    e->setEmptyAllowed(false);
    e->setIntValue(value);
    e->setMinimumWidth(120);
    return e;
}

QButtonGroup *choice(const QString &title, const QStringList &items, std::optional<int> value, const QString &name,
                     QVBoxLayout *into, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto *layout = new QHBoxLayout(box);
    auto *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), box);
        group->addButton(b, i);
        layout->addWidget(b);
        if (value == i)
            b->setChecked(true);
    }
    layout->addStretch();
    into->addWidget(box);
    return group;
}

std::optional<int> chosen(const QButtonGroup *g)
{
    const int id = g->checkedId();
    return id >= 0 ? std::optional<int>(id) : std::nullopt;
}

QWidget *tabPage(QWidget *parent, QFormLayout *&form, QVBoxLayout *&column)
{
    auto *page = new QWidget(parent);
    column = new QVBoxLayout(page);
    form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    column->addLayout(form);
    return page;
}

} // namespace

TptCommonOptions::TptCommonOptions(TAppContext &context, QWidget *parent)
    : TPart(context, 110, parent)
    , m_loaded(TCommonSettings::read(context.options))
{
    setTitles(QStringLiteral("ptCommonOptions"), tr("Настройки"), tr("Общие настройки"));
    addTab(tr("&Общие"), buildGeneral());
    addTab(tr("&Договора"), buildContracts());
    addTab(tr("&Счета"), buildInvoices());
    addTab(tr("&Графические объекты"), buildObjects());
    restorePlacement();
}

TptCommonOptions::~TptCommonOptions()
{
    korvex::widgets::guarded(parentWidget(), [this] { save(); });
}

QWidget *TptCommonOptions::buildGeneral()
{
    QFormLayout *form;
    QVBoxLayout *column;
    QWidget *page = tabPage(this, form, column);
    m_currency = korvex::reference::newCurrencyBox(context().db, QStringLiteral("CurrencyBox"), page);
    m_currency->setMinimumWidth(300);
    m_currency->setIntKey(m_loaded.CurrKey);
    form->addRow(tr("Валюта по умолчанию"), m_currency);
    m_payment = korvex::widgets::newTableBox(context().db, QStringLiteral("rent_payment"), QStringLiteral("id"),
                                             QStringLiteral("name"), QStringLiteral("PaymentBox"), page);
    m_payment->setMinimumWidth(300);
    m_payment->setIntKey(m_loaded.PaymentKey);
    form->addRow(tr("Форма оплаты по умолчанию"), m_payment);
    m_reckoning = choice(tr("Рассчитывать"), {tr("Валютная цена"), tr("Рублевая цена")}, m_loaded.NCUReckoning,
                         QStringLiteral("Reckoning"), column, page);
    const QStringList ways{tr("Последовательное"), tr("Пропорциональное")};
    m_breakService = choice(tr("Разбиение платежа в разрезе услуг"), ways, m_loaded.BreakPayBillService,
                            QStringLiteral("BreakService"), column, page);
    m_breakObject = choice(tr("Разбиение платежа в разрезе объектов"), ways, m_loaded.BreakPayBillObject,
                           QStringLiteral("BreakObject"), column, page);
    column->addStretch();
    return page;
}

QWidget *TptCommonOptions::buildContracts()
{
    QFormLayout *form;
    QVBoxLayout *column;
    QWidget *page = tabPage(this, form, column);
    m_contractNumber = intEdit(m_loaded.ContractNumber, QStringLiteral("ContractNumber"), page);
    form->addRow(tr("Последний номер договора"), m_contractNumber);
    m_paymentDay = intEdit(m_loaded.ContractPaymentDay, QStringLiteral("PaymentDay"), page);
    form->addRow(tr("Заплатить до (число месяц)"), m_paymentDay);
    m_expireDate = new TxCheckedEdit(TxCheckedEdit::Kind::Date, page);
    m_expireDate->setObjectName(QStringLiteral("ExpireDate"));
    m_expireDate->setEmptyAllowed(false);
    m_expireDate->setDateValue(m_loaded.ContractExpireDate);
    m_expireDate->setMinimumWidth(120);
    form->addRow(tr("Дата закрытия договора"), m_expireDate);
    m_countDays = intEdit(m_loaded.CountContractDay, QStringLiteral("CountDays"), page);
    form->addRow(tr("Количество дней для закрытия договора"), m_countDays);
    m_autoReplace = new QCheckBox(tr("Автоматическое перенос формул из прайс листа"), page);
    m_autoReplace->setObjectName(QStringLiteral("AutoReplace"));
    m_autoReplace->setChecked(m_loaded.AutoReplaceReckoning);
    form->addRow(QString(), m_autoReplace);
    column->addStretch();
    return page;
}

QWidget *TptCommonOptions::buildInvoices()
{
    QFormLayout *form;
    QVBoxLayout *column;
    QWidget *page = tabPage(this, form, column);
    m_invoiceNumber = intEdit(m_loaded.InvoiceNumber, QStringLiteral("InvoiceNumber"), page);
    form->addRow(tr("Последний номер счета"), m_invoiceNumber);
    m_invoiceType = korvex::widgets::newTableBox(context().db, QStringLiteral("rent_invoicetype"), QStringLiteral("id"),
                                                 QStringLiteral("name"), QStringLiteral("InvoiceTypeBox"), page);
    m_invoiceType->setMinimumWidth(300);
    m_invoiceType->setIntKey(m_loaded.InvoiceTypeKey);
    form->addRow(tr("Тип задолженности по умолчанию"), m_invoiceType);
    // The pay bills' counter is a common setting too.
    m_payBillNumber = intEdit(m_loaded.PayBillNumber, QStringLiteral("PayBillNumber"), page);
    form->addRow(tr("Последний номер платежа"), m_payBillNumber);
    column->addStretch();
    return page;
}

QWidget *TptCommonOptions::buildObjects()
{
    QFormLayout *form;
    QVBoxLayout *column;
    QWidget *page = tabPage(this, form, column);
    m_lineColor = colorBox(QStringLiteral("LineColor"), m_loaded.ObjectLineColor, page);
    form->addRow(tr("Цвет линии"), m_lineColor);
    m_graphColor = colorBox(QStringLiteral("GraphColor"), m_loaded.ObjectGraphColor, page);
    form->addRow(tr("Цвет объекта"), m_graphColor);

    auto *used = new QGroupBox(tr("Для задействованного объекта"), page);
    auto *usedForm = new QFormLayout(used);
    usedForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_useLineColor = colorBox(QStringLiteral("UseLineColor"), m_loaded.ObjectUseLineColor, used);
    usedForm->addRow(tr("Цвет линии"), m_useLineColor);
    m_useGraphColor = colorBox(QStringLiteral("UseGraphColor"), m_loaded.ObjectUseGraphColor, used);
    usedForm->addRow(tr("Цвет объекта"), m_useGraphColor);
    column->addWidget(used);

    auto *fontBox = new QGroupBox(tr("Шрифт объекта"), page);
    auto *fontLayout = new QHBoxLayout(fontBox);
    m_fontSample = new QLabel(QStringLiteral("ABC abc АБВ абв"), fontBox);
    m_fontSample->setObjectName(QStringLiteral("FontSample"));
    m_fontSample->setFrameShape(QFrame::StyledPanel);
    m_fontSample->setMinimumSize(200, 40);
    m_font = korvex::widgets::toQFont(m_loaded.ObjectFontName.value_or(QString()), m_loaded.ObjectFontSize.value_or(0),
                                      m_loaded.ObjectFontStyle.value_or(QString()), m_fontSample->font());
    m_fontColor = colorBox(QStringLiteral("FontColor"), m_loaded.ObjectFontColor.value_or(QStringLiteral("clBlack")), fontBox);
    auto *choose = new QPushButton(tr("Шрифт"), fontBox);
    connect(choose, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, m_font, this);
        if (ok) {
            m_font = f;
            m_fontChosen = true;
            showFont();
        }
    });
    connect(m_fontColor, &QComboBox::currentIndexChanged, this, [this] {
        m_fontChosen = true;
        showFont();
    });
    fontLayout->addWidget(m_fontSample);
    fontLayout->addWidget(m_fontColor);
    fontLayout->addWidget(choose);
    fontLayout->addStretch();
    column->addWidget(fontBox);
    column->addStretch();
    showFont();
    return page;
}

void TptCommonOptions::showFont()
{
    m_fontSample->setFont(m_font);
    QPalette p = m_fontSample->palette();
    if (const std::optional<int> c = korvex::widgets::rts::parseColor(m_fontColor->currentData().toString()))
        p.setColor(QPalette::WindowText, korvex::widgets::toQColor(*c));
    m_fontSample->setPalette(p);
}

TCommonSettings TptCommonOptions::settings() const
{
    TCommonSettings s = m_loaded;
    s.CurrKey = m_currency->intKey();
    s.PaymentKey = m_payment->intKey();
    s.NCUReckoning = chosen(m_reckoning);
    s.BreakPayBillService = chosen(m_breakService);
    s.BreakPayBillObject = chosen(m_breakObject);
    // A field left with text that is no number keeps the value it had.
    s.ContractNumber = m_contractNumber->intValue().value_or(m_loaded.ContractNumber);
    s.ContractPaymentDay = m_paymentDay->intValue().value_or(m_loaded.ContractPaymentDay);
    s.ContractExpireDate = m_expireDate->dateValue().value_or(m_loaded.ContractExpireDate);
    s.CountContractDay = m_countDays->intValue().value_or(m_loaded.CountContractDay);
    s.AutoReplaceReckoning = m_autoReplace->isChecked();
    s.InvoiceNumber = m_invoiceNumber->intValue().value_or(m_loaded.InvoiceNumber);
    s.InvoiceTypeKey = m_invoiceType->intKey();
    s.PayBillNumber = m_payBillNumber->intValue().value_or(m_loaded.PayBillNumber);
    s.ObjectLineColor = m_lineColor->currentData().toString();
    s.ObjectGraphColor = m_graphColor->currentData().toString();
    s.ObjectUseLineColor = m_useLineColor->currentData().toString();
    s.ObjectUseGraphColor = m_useGraphColor->currentData().toString();
    // The sample's own font is written only once the user chose one, so that
    // the plan keeps drawing with its editor's font until then.
    if (m_fontChosen || m_loaded.ObjectFontName) {
        s.ObjectFontName = m_font.family();
        s.ObjectFontSize = m_font.pointSize() > 0 ? m_font.pointSize() : 8;
        s.ObjectFontStyle = korvex::widgets::styleLetters(m_font);
        s.ObjectFontColor = m_fontColor->currentData().toString();
    }
    return s;
}

void TptCommonOptions::save()
{
    settings().write(context().options);
}

} // namespace korvex::shell
