#include "dlgBreakdownObject.h"

#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xConfirmRow.h"
#include "widgets/ui/xMessages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace korvex::graph {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxMessages;

QIcon TdlgBreakdownObject::orderPicture(int order, int size)
{
    // The picture is made by the breakdown itself, so it numbers the cells
    // exactly as the order will.
    TBreakdownParams p;
    p.rows = p.columns = 3;
    p.name.clear();
    p.order = order;
    const QList<TBreakdownCell> cells = breakdownCells(12, 12, p);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double cell = (size - 2) / 3.0;
    auto centre = [&](const TBreakdownCell &c) {
        return QPointF(1 + (c.column - 0.5) * cell, 1 + (c.row - 0.5) * cell);
    };
    painter.setPen(QPen(Qt::gray, 1));
    for (int i = 0; i <= 3; ++i) {
        painter.drawLine(QPointF(1 + i * cell, 1), QPointF(1 + i * cell, size - 1));
        painter.drawLine(QPointF(1, 1 + i * cell), QPointF(size - 1, 1 + i * cell));
    }
    QFont font = painter.font();
    font.setPixelSize(std::max(7, int(cell * 0.55)));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x2f, 0x4f, 0x7f));
    for (const TBreakdownCell &c : cells) {
        const QPointF m = centre(c);
        painter.drawText(QRectF(m.x() - cell / 2, m.y() - cell / 2, cell, cell), Qt::AlignCenter, c.name);
    }
    // The first cell marked: where the numbering starts.
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    const QPointF first = centre(cells.first());
    painter.drawRect(QRectF(first.x() - cell / 2 + 1, first.y() - cell / 2 + 1, cell - 2, cell - 2));
    return QIcon(pixmap);
}

TdlgBreakdownObject::TdlgBreakdownObject(const TBreakdownParams &params, int width, int height, QWidget *parent)
    : QDialog(parent)
    , m_params(params)
    , m_width(width)
    , m_height(height)
{
    setObjectName(QStringLiteral("dlgBreakdownObject"));
    setWindowTitle(tr("Разбиение объекта"));
    auto *layout = new QVBoxLayout(this);

    auto *size = new QHBoxLayout;
    auto spin = [this](const QString &name, int most, int value) {
        auto *box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(1, std::max(1, most));
        box->setValue(std::clamp(value, 1, std::max(1, most)));
        box->setToolTip(tr("Не более %1").arg(std::max(0, most)));
        return box;
    };
    m_rows = spin(QStringLiteral("rows"), TBreakdownParams::maxRows(height), params.rows);
    m_columns = spin(QStringLiteral("columns"), TBreakdownParams::maxColumns(width), params.columns);
    size->addWidget(new QLabel(tr("Количество строк"), this));
    size->addWidget(m_rows);
    size->addSpacing(12);
    size->addWidget(new QLabel(tr("столбцов"), this));
    size->addWidget(m_columns);
    size->addStretch();
    layout->addLayout(size);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(params.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(50);  // room for the number within the figure's name
    form->addRow(tr("Наименование"), m_name);
    m_numbering = new QCheckBox(tr("Нумерация"), this);
    m_numbering->setObjectName(QStringLiteral("numbering"));
    m_numbering->setChecked(params.numbering);
    form->addRow(m_numbering);
    auto number = [this](const QString &name, int value) {
        auto *edit = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
        edit->setObjectName(name);
        edit->setEmptyAllowed(false);
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(90);
        edit->setIntValue(value);
        return edit;
    };
    m_start = number(QStringLiteral("start"), params.start);
    m_step = number(QStringLiteral("step"), params.step);
    form->addRow(tr("Нумеровать с "), m_start);
    form->addRow(tr("Шаг формирования"), m_step);
    layout->addLayout(form);
    connect(m_numbering, &QCheckBox::toggled, this, &TdlgBreakdownObject::numberingToggled);
    numberingToggled(params.numbering);

    auto *orders = new QGroupBox(tr("Порядок формирования"), this);
    auto *grid = new QGridLayout(orders);
    m_orders = new QButtonGroup(this);
    m_orders->setExclusive(true);
    for (int order = 1; order <= 8; ++order) {
        auto *button = new QToolButton(orders);
        button->setObjectName(QStringLiteral("order%1").arg(order));
        button->setCheckable(true);
        button->setIcon(orderPicture(order));
        button->setIconSize(QSize(48, 48));
        button->setAutoRaise(false);
        m_orders->addButton(button, order);
        grid->addWidget(button, (order - 1) / 4, (order - 1) % 4);
    }
    if (QAbstractButton *chosen = m_orders->button(params.order >= 1 && params.order <= 8 ? params.order : 1))
        chosen->setChecked(true);
    layout->addWidget(orders);

    const korvex::widgets::TxConfirmRow row = korvex::widgets::confirmRow(this, [this] { return collect(); });
    m_ok = row.ok;
    layout->addLayout(row.layout);
}

TdlgBreakdownObject::~TdlgBreakdownObject() = default;

QAbstractButton *TdlgBreakdownObject::orderButton(int order) const
{
    return m_orders->button(order);
}

void TdlgBreakdownObject::numberingToggled(bool on)
{
    m_start->setEnabled(on);
    m_step->setEnabled(on);
}

bool TdlgBreakdownObject::collect()
{
    TBreakdownParams p = m_params;
    p.rows = m_rows->value();
    p.columns = m_columns->value();
    p.name = m_name->text();
    p.numbering = m_numbering->isChecked();
    // A field left with bad text has its earlier value back already.
    p.start = m_start->intValue().value_or(m_params.start);
    p.step = m_step->intValue().value_or(m_params.step);
    p.order = m_orders->checkedId();
    const QString fault = p.check(m_width, m_height);
    if (!fault.isEmpty()) {
        TxMessages::warning(this, fault, korvex::widgets::TxPrompt::attentionBang());
        m_rows->setFocus();
        return false;
    }
    m_params = p;
    return true;
}

} // namespace korvex::graph
