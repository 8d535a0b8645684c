#include "frmConditionalFormatting.h"

#include "xConfirmRow.h"
#include "xMessages.h"
#include "xRtsColors.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::widgets {

TfrmConditionColumns::TfrmConditionColumns(const QList<TGridField> &fields, const QStringList &columns, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConditionColumns"));
    setWindowTitle(tr("Отображение условия в колонках:"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Отображение условия в колонках:"), this));
    m_list = new QListWidget(this);
    for (const TGridField &f : fields) {
        auto *item = new QListWidgetItem(f.label, m_list);
        item->setData(Qt::UserRole, f.name);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(columns.contains(f.name, Qt::CaseInsensitive) ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(m_list);
    layout->addLayout(confirmRow(this, tr("&Готово"), tr("&Отменить")).layout);
}

QStringList TfrmConditionColumns::columns() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out << m_list->item(i)->data(Qt::UserRole).toString();
    return out;
}

TfrmConditionalFormatting::TfrmConditionalFormatting(const QList<TGridField> &fields, const QList<TCondition> &rules,
                                                     TConditionTester &tester, const QList<TRecordValue> &record,
                                                     QWidget *parent)
    : QDialog(parent)
    , m_fields(fields)
    , m_rules(rules)
    , m_tester(tester)
    , m_record(record)
{
    setObjectName(QStringLiteral("frmConditionalFormatting"));
    setWindowTitle(tr("Условное форматирование"));
    auto *layout = new QVBoxLayout(this);

    auto *form = new QFormLayout;
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("Field"));
    for (const TGridField &f : m_fields)
        m_field->addItem(f.label, f.name);
    form->addRow(tr("Колонка:"), m_field);
    m_operation = new QComboBox(this);
    m_operation->setObjectName(QStringLiteral("Operation"));
    m_operation->addItems(conditionOpNames());
    form->addRow(tr("Операция:"), m_operation);
    auto *values = new QHBoxLayout;
    m_value1 = new QLineEdit(this);
    m_value1->setObjectName(QStringLiteral("Value1"));
    m_and = new QLabel(tr(" и "), this);
    m_value2 = new QLineEdit(this);
    m_value2->setObjectName(QStringLiteral("Value2"));
    values->addWidget(m_value1, 1);
    values->addWidget(m_and);
    values->addWidget(m_value2, 1);
    form->addRow(tr("Условие:"), values);
    m_formulas = new QCheckBox(tr("Рассчитывать формулы"), this);
    m_formulas->setObjectName(QStringLiteral("Formulas"));
    form->addRow(QString(), m_formulas);
    layout->addLayout(form);

    auto *look = new QGroupBox(tr("Отображение ячейки при выполнении условия:"), this);
    auto *lookLayout = new QHBoxLayout(look);
    m_sample = new QLabel(look);
    m_sample->setObjectName(QStringLiteral("Sample"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(140, 40);
    m_sample->setFrameShape(QFrame::Box);
    m_sample->setAutoFillBackground(true);
    lookLayout->addWidget(m_sample, 1);
    auto *switches = new QFormLayout;
    m_useColor = new QCheckBox(tr("Использовать цвет"), look);
    m_useColor->setObjectName(QStringLiteral("UseColor"));
    m_color = new QPushButton(tr("Цвет"), look);
    m_useFont = new QCheckBox(tr("Использовать шрифт"), look);
    m_useFont->setObjectName(QStringLiteral("UseFont"));
    m_font = new QPushButton(tr("Шрифт"), look);
    switches->addRow(m_useColor, m_color);
    switches->addRow(m_useFont, m_font);
    lookLayout->addLayout(switches);
    layout->addWidget(look);

    auto *moves = new QHBoxLayout;
    m_previous = new QPushButton(tr("<< Предыдущее"), this);
    m_next = new QPushButton(tr("Следующее >>"), this);
    m_add = new QPushButton(tr("Добавить"), this);
    m_delete = new QPushButton(tr("Удалить"), this);
    m_columns = new QPushButton(tr("Отображать в ..."), this);
    for (QPushButton *b : {m_previous, m_next, m_add, m_delete, m_columns})
        moves->addWidget(b);
    moves->addStretch();
    layout->addLayout(moves);
    TxConfirmRow row = confirmRow(this, tr("Готово"), tr("Отменить"), [this] { return done(); });
    layout->addLayout(row.layout);

    connect(m_previous, &QPushButton::clicked, this, &TfrmConditionalFormatting::previous);
    connect(m_next, &QPushButton::clicked, this, &TfrmConditionalFormatting::next);
    connect(m_add, &QPushButton::clicked, this, &TfrmConditionalFormatting::addRule);
    connect(m_delete, &QPushButton::clicked, this, &TfrmConditionalFormatting::deleteRule);
    connect(m_columns, &QPushButton::clicked, this, &TfrmConditionalFormatting::chooseColumns);
    connect(m_operation, &QComboBox::currentIndexChanged, this, [this] { updateState(); });
    connect(m_useColor, &QCheckBox::toggled, this, [this] {
        if (!m_showing && m_index >= 0)
            m_rules[m_index].UseColor = m_useColor->isChecked();
        updateState();
    });
    connect(m_useFont, &QCheckBox::toggled, this, [this] {
        if (!m_showing && m_index >= 0)
            m_rules[m_index].UseFont = m_useFont->isChecked();
        updateState();
    });
    connect(m_color, &QPushButton::clicked, this, [this] {
        if (m_index < 0)
            return;
        const QColor c = QColorDialog::getColor(toQColor(m_rules[m_index].Color), this);
        if (c.isValid())
            m_rules[m_index].Color = toStoredColor(c);
        updateSample();
    });
    connect(m_font, &QPushButton::clicked, this, [this] {
        if (m_index < 0)
            return;
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, toQFont(m_rules[m_index].Font, font()), this);
        if (ok)
            m_rules[m_index].Font = toConditionFont(f, toQColor(m_rules[m_index].Font.color));
        updateSample();
    });

    showRule(m_rules.isEmpty() ? -1 : 0);
}

QList<TFieldLabel> TfrmConditionalFormatting::labels() const
{
    QList<TFieldLabel> out;
    for (const TGridField &f : m_fields)
        out << TFieldLabel{f.name, f.label};
    return out;
}

void TfrmConditionalFormatting::showRule(int index)
{
    m_index = index;
    m_showing = true;
    if (index >= 0 && index < m_rules.size()) {
        const TCondition &r = m_rules.at(index);
        int field = m_field->findData(r.Field, Qt::UserRole, Qt::MatchFixedString);
        if (field < 0 && m_field->count() > 0) {
            field = 0;
            if (!r.Field.isEmpty())
                TxMessages::warning(this, tr("Не найдено поле ") + r.Field + QStringLiteral(". ")
                                              + tr("При нажатии кнопки Готово условия могут быть сохранены неправильно!"));
        }
        m_field->setCurrentIndex(field);
        m_operation->setCurrentIndex(r.Operation < ConditionOpCount ? r.Operation : 0);
        m_value1->setText(namesToLabels(r.Value1, labels()));
        m_value2->setText(namesToLabels(r.Value2, labels()));
        m_formulas->setChecked(r.Formulas);
        m_useColor->setChecked(r.UseColor);
        m_useFont->setChecked(r.UseFont);
    } else {
        m_index = -1;
        m_field->setCurrentIndex(-1);
        m_operation->setCurrentIndex(-1);
        m_value1->clear();
        m_value2->clear();
        m_formulas->setChecked(false);
        m_useColor->setChecked(false);
        m_useFont->setChecked(false);
    }
    m_showing = false;
    updateState();
}

void TfrmConditionalFormatting::storeRule()
{
    if (m_index < 0 || m_index >= m_rules.size())
        return;
    TCondition &r = m_rules[m_index];
    if (m_field->currentIndex() >= 0)
        r.Field = m_field->currentData().toString();
    r.Operation = quint8(qMax(0, m_operation->currentIndex()));
    r.Value1 = labelsToNames(m_value1->text(), labels());
    r.Value2 = labelsToNames(m_value2->text(), labels());
    r.Formulas = m_formulas->isChecked();
    r.UseColor = m_useColor->isChecked();
    r.UseFont = m_useFont->isChecked();
}

void TfrmConditionalFormatting::updateState()
{
    const bool any = m_index >= 0;
    for (QWidget *w : std::initializer_list<QWidget *>{m_field, m_operation, m_value1, m_value2, m_formulas, m_useColor,
                                                       m_useFont, m_columns, m_delete})
        w->setEnabled(any);
    const bool two = usesTwoValues(m_operation->currentIndex());
    m_and->setVisible(two);
    m_value2->setVisible(two);
    m_color->setEnabled(any && m_useColor->isChecked());
    m_font->setEnabled(any && m_useFont->isChecked());
    m_previous->setEnabled(m_index > 0);
    m_next->setEnabled(any && m_index < m_rules.size() - 1);
    updateSample();
}

void TfrmConditionalFormatting::updateSample()
{
    QPalette p = palette();
    QFont f = font();
    const TCondition *r = m_index >= 0 ? &m_rules.at(m_index) : nullptr;
    const bool useColor = r && m_useColor->isChecked();
    const bool useFont = r && m_useFont->isChecked();
    if (useColor)
        p.setColor(QPalette::Window, toQColor(r->Color));
    if (useFont) {
        f = toQFont(r->Font, f);
        p.setColor(QPalette::WindowText, toQColor(r->Font.color));
    }
    m_sample->setPalette(p);
    m_sample->setFont(f);
    m_sample->setText(useColor || useFont ? QStringLiteral("AaBbБбЯя") : tr("Формат не задан"));
}

void TfrmConditionalFormatting::previous()
{
    storeRule();
    if (m_index > 0)
        showRule(m_index - 1);
}

void TfrmConditionalFormatting::next()
{
    storeRule();
    if (m_index < m_rules.size() - 1)
        showRule(m_index + 1);
}

void TfrmConditionalFormatting::addRule()
{
    storeRule();
    TCondition rule;
    if (!m_fields.isEmpty())
        rule.Field = m_fields.first().name;
    // A new rule's font starts as the one the grid shows.
    rule.Font = toConditionFont(font(), palette().color(QPalette::Text));
    m_rules << rule;
    showRule(int(m_rules.size()) - 1);
}

void TfrmConditionalFormatting::deleteRule()
{
    if (m_index < 0)
        return;
    if (!TxMessages::confirm(this, tr("Удалить условие?")))
        return;
    m_rules.removeAt(m_index);
    showRule(m_rules.isEmpty() ? -1 : qMin(m_index, int(m_rules.size()) - 1));
}

void TfrmConditionalFormatting::chooseColumns()
{
    if (m_index < 0)
        return;
    storeRule();
    TfrmConditionColumns dlg(m_fields, m_rules.at(m_index).Columns, this);
    if (dlg.exec() == QDialog::Accepted)
        m_rules[m_index].Columns = dlg.columns();
}

bool TfrmConditionalFormatting::done()
{
    storeRule();
    // Every rule is checked before any is taken, so a refused rule leaves the
    // grid's rules as they were.
    QList<TCondition> checked = m_rules;
    for (int i = 0; i < checked.size(); ++i) {
        TCondition &r = checked[i];
        if (r.Columns.isEmpty()) {
            const auto f = std::find_if(m_fields.cbegin(), m_fields.cend(),
                                        [&](const TGridField &g) { return g.name.compare(r.Field, Qt::CaseInsensitive) == 0; });
            if (f == m_fields.cend() || !f->visible) {
                TxMessages::warning(this, tr("Выбранная колонка") + QStringLiteral(" \"") + r.Field + QStringLiteral("\" ")
                                              + tr("условия не является видимой в таблице!")
                                              + tr("Необходимо выбрать отображаемое поле!"));
                showRule(i);
                return false;
            }
            r.Columns = QStringList{f->name};
        }
        if (r.Formulas && !m_tester.calculate(r, m_record)) {
            TxMessages::error(this, tr("Ошибка в формуле!"));
            showRule(i);
            return false;
        }
    }
    m_rules = checked;
    return true;
}

} // namespace korvex::widgets
