#include "dlgRentObjectGraph.h"

#include "reference/boRentObject.h"
#include "reference/ui/referenceLookups.h"
#include "widgets/ui/xCheckedEdit.h"
#include "widgets/ui/xColorBox.h"
#include "widgets/ui/xLookupBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace korvex::graph {

using korvex::widgets::TxCheckedEdit;
using korvex::widgets::TxColorBox;

namespace {

// The longest outline the program draws, in pixels.
constexpr int MaxLineWidth = 100;

} // namespace

TdlgRentObjectGraph::TdlgRentObjectGraph(TboRentGraph &bo, korvex::reference::TboRentObject &objects,
                                         const TRentFigure &figure, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_figure(figure)
{
    setObjectName(QStringLiteral("dlgRentObjectGraph"));
    setRecordKey(isNew ? 0 : figure.id);
    setWindowTitle(tr("Графический объект"));

    auto *form = new QFormLayout;
    contentLayout()->addLayout(form);
    m_object = korvex::reference::newObjectChooserBox(objects, QStringLiteral("object"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    form->addRow(tr("Объект"), m_object);
    form->addRow(tr("Наименование"), m_name);

    auto corner = [this](const QString &name) {
        auto *edit = new TxCheckedEdit(TxCheckedEdit::Kind::Integer, this);
        edit->setObjectName(name);
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(90);
        return edit;
    };
    auto pair = [this](QWidget *a, QWidget *b) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("X"), this));
        row->addWidget(a);
        row->addSpacing(12);
        row->addWidget(new QLabel(QStringLiteral("Y"), this));
        row->addWidget(b);
        row->addStretch();
        return row;
    };
    m_x1 = corner(QStringLiteral("x1"));
    m_y1 = corner(QStringLiteral("y1"));
    m_x2 = corner(QStringLiteral("x2"));
    m_y2 = corner(QStringLiteral("y2"));
    form->addRow(tr("Координаты верхнего левого угла"), pair(m_x1, m_y1));
    form->addRow(tr("Координаты нижнего правого угла"), pair(m_x2, m_y2));
    m_lineWidth = new QSpinBox(this);
    m_lineWidth->setObjectName(QStringLiteral("linewidth"));
    m_lineWidth->setRange(1, MaxLineWidth);
    m_lineWidth->setMaximumWidth(90);
    form->addRow(tr("Ширина линии"), m_lineWidth);

    // Colours of a free figure beside those of a figure in use.
    auto colorGroup = [this](const QString &title, TFigureColor line, TFigureColor fill, const QString &prefix) {
        auto *group = new QGroupBox(title, this);
        auto *groupForm = new QFormLayout(group);
        m_colors[int(line)] = new TxColorBox(group);
        m_colors[int(line)]->setObjectName(prefix + QStringLiteral("linecolor"));
        m_colors[int(fill)] = new TxColorBox(group);
        m_colors[int(fill)]->setObjectName(prefix + QStringLiteral("graphcolor"));
        groupForm->addRow(tr("Линии"), m_colors[int(line)]);
        groupForm->addRow(tr("Цвет объекта"), m_colors[int(fill)]);
        return group;
    };
    auto *colours = new QHBoxLayout;
    colours->addWidget(colorGroup(tr("Для свободного объекта"), TFigureColor::Line, TFigureColor::Fill, QString()));
    colours->addWidget(
        colorGroup(tr("Для задействованного объекта"), TFigureColor::UseLine, TFigureColor::UseFill, QStringLiteral("use")));
    contentLayout()->addLayout(colours);

    auto *lower = new QFormLayout;
    contentLayout()->addLayout(lower);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("graphtype"));
    m_type->addItems({tr("Прямоугольник"), tr("Линия"), tr("Окружность"), tr("Текст")});
    lower->addRow(tr("Тип объекта"), m_type);

    auto *fontRow = new QHBoxLayout;
    m_sample = new QLabel(tr("ABC abc АБВ абв"), this);
    m_sample->setObjectName(QStringLiteral("fontsample"));
    m_sample->setFrameShape(QFrame::StyledPanel);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(40);
    m_sample->setAutoFillBackground(true);
    m_fontButton = new QPushButton(tr("Шрифт"), this);
    m_fontButton->setObjectName(QStringLiteral("font"));
    fontRow->addWidget(m_sample, 1);
    fontRow->addWidget(m_fontButton);
    lower->addRow(fontRow);
    connect(m_fontButton, &QPushButton::clicked, this, [this] { korvex::widgets::guarded(this, [this] { chooseFont(); }); });

    addRequired(m_name, tr("Введите наименование объекта"));
    for (TxCheckedEdit *e : {m_x1, m_y1, m_x2, m_y2})
        addRequired(e, tr("Введите координаты объекта"));
    display(m_figure);
    resize(560, 0);
}

TdlgRentObjectGraph::~TdlgRentObjectGraph() = default;

void TdlgRentObjectGraph::display(const TRentFigure &f)
{
    m_object->setIntKey(f.objectKey);
    m_name->setText(f.name);
    m_x1->setIntValue(f.x1);
    m_y1->setIntValue(f.y1);
    m_x2->setIntValue(f.x2);
    m_y2->setIntValue(f.y2);
    m_lineWidth->setValue(std::clamp(f.lineWidth, 1, MaxLineWidth));
    for (TFigureColor c : {TFigureColor::Line, TFigureColor::Fill, TFigureColor::UseLine, TFigureColor::UseFill})
        m_colors[int(c)]->setColor(TboRentGraph::figureColor(f, c));
    m_type->setCurrentIndex(f.graphType >= 0 && f.graphType < m_type->count() ? f.graphType : 0);
    m_font = TboRentGraph::figureFont(f);
    m_fontColor = TboRentGraph::figureFontColor(f);
    showSample();
}

void TdlgRentObjectGraph::showSample()
{
    m_sample->setFont(m_font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, m_fontColor);
    palette.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(palette);
}

void TdlgRentObjectGraph::chooseFont()
{
    QFont font = m_font;
    QColor color = m_fontColor;
    if (!korvex::widgets::TxFontDialog::getFont(this, font, color, tr("Шрифт")))
        return;
    m_font = font;
    m_fontColor = color;
    showSample();
}

int TdlgRentObjectGraph::writeRecord()
{
    TRentFigure f = m_figure;
    f.id = recordKey();
    f.objectKey = m_object->intKey();
    f.name = m_name->text().trimmed();
    f.x1 = m_x1->intValue().value_or(0);
    f.y1 = m_y1->intValue().value_or(0);
    f.x2 = m_x2->intValue().value_or(0);
    f.y2 = m_y2->intValue().value_or(0);
    f.lineWidth = m_lineWidth->value();
    for (TFigureColor c : {TFigureColor::Line, TFigureColor::Fill, TFigureColor::UseLine, TFigureColor::UseFill})
        TboRentGraph::setFigureColor(f, c, m_colors[int(c)]->color());
    f.graphType = m_type->currentIndex();
    TboRentGraph::setFigureFont(f, m_font, m_fontColor);
    m_bo.writeFigure(f);
    m_figure = f;
    return f.id;
}

} // namespace korvex::graph
