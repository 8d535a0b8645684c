#include "frmRentEditorObjectGraph.h"

#include "graphPrint.h"
#include "xGraphControl.h"

#include "widgets/ui/xAppRegistry.h"
#include "widgets/ui/xColorBox.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xMessages.h"
#include "widgets/ui/xProgressDialog.h"
#include "widgets/xTreeModel.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

namespace korvex::graph {

using korvex::widgets::guarded;
using korvex::widgets::TxDBTreeView;
using korvex::widgets::TxTreeModel;

namespace {

constexpr int IconSize = 24;

QIcon paintedIcon(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
}

QIcon lineWidthIcon(bool wider)
{
    return paintedIcon([wider](QPainter &p) {
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(Qt::black, i + 1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(2, 8 + i * 6), QPointF(15, 8 + i * 6));
        }
        p.setPen(QPen(QColor(0x2f, 0x4f, 0x7f), 2));
        p.drawLine(QPointF(17, 6), QPointF(23, 6));
        if (wider)
            p.drawLine(QPointF(20, 3), QPointF(20, 9));
    });
}

QIcon colorIcon(TFigureColor which, const QColor &color)
{
    return paintedIcon([which, color](QPainter &p) {
        const bool line = which == TFigureColor::Line || which == TFigureColor::UseLine;
        const QRectF box(3, 3, 17, 17);
        if (line) {
            p.setPen(QPen(color, 4));
            p.setBrush(Qt::white);
        } else {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(color);
        }
        p.drawRect(box);
        if (which == TFigureColor::UseLine || which == TFigureColor::UseFill) {
            // The figure of an object in use: a marked corner.
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(Qt::black);
            p.drawEllipse(QRectF(15, 15, 8, 8));
        }
    });
}

QIcon fontIcon(const QColor &color)
{
    return paintedIcon([color](QPainter &p) {
        QFont f = p.font();
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.setPen(color);
        p.drawText(QRectF(0, 0, IconSize, IconSize - 4), Qt::AlignCenter, QStringLiteral("A"));
        p.fillRect(QRectF(4, 20, 16, 3), color);
    });
}

QIcon alignIcon(TAlignment a)
{
    return paintedIcon([a](QPainter &p) {
        p.setPen(QPen(Qt::gray, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 21, 21));
        QRectF child(9, 9, 6, 6);
        bool stretch = true;
        switch (a) {
        case TAlignment::Left: child.moveLeft(3); stretch = false; break;
        case TAlignment::Right: child.moveRight(21); stretch = false; break;
        case TAlignment::Top: child.moveTop(3); stretch = false; break;
        case TAlignment::Bottom: child.moveBottom(21); stretch = false; break;
        case TAlignment::StretchLeft: child.setLeft(3); break;
        case TAlignment::StretchRight: child.setRight(21); break;
        case TAlignment::StretchTop: child.setTop(3); break;
        case TAlignment::StretchBottom: child.setBottom(21); break;
        }
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(stretch ? QColor(0xA6, 0xCA, 0xF0) : QColor(0x2f, 0x4f, 0x7f));
        p.drawRect(child);
        if (!stretch)
            return;
        // An arrow towards the edge the figure is stretched to.
        const QPointF c = child.center();
        QPointF tip = c;
        switch (a) {
        case TAlignment::StretchLeft: tip = QPointF(child.left() + 1, c.y()); break;
        case TAlignment::StretchRight: tip = QPointF(child.right() - 1, c.y()); break;
        case TAlignment::StretchTop: tip = QPointF(c.x(), child.top() + 1); break;
        default: tip = QPointF(c.x(), child.bottom() - 1); break;
        }
        const QPointF from = QPointF(2 * c.x() - tip.x(), 2 * c.y() - tip.y()) * 0.5 + c * 0.5;
        p.drawLine(from, tip);
        const QPointF d = (tip - from) / std::max(1.0, std::hypot(tip.x() - from.x(), tip.y() - from.y()));
        const QPointF n(-d.y(), d.x());
        QPainterPath head;
        head.moveTo(tip);
        head.lineTo(tip - d * 3 + n * 2.5);
        head.lineTo(tip - d * 3 - n * 2.5);
        head.closeSubpath();
        p.fillPath(head, Qt::black);
    });
}

QIcon gridIcon()
{
    return paintedIcon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.drawLine(QPointF(8.8, 4.5), QPointF(8.8, 19.5));
        p.drawLine(QPointF(15.2, 4.5), QPointF(15.2, 19.5));
        p.drawLine(QPointF(2.5, 12), QPointF(21.5, 12));
    });
}

QIcon printerIcon()
{
    return paintedIcon([](QPainter &p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 2.5, 11, 7));
        p.setBrush(QColor(0x80, 0x80, 0x80));
        p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 14.5, 11, 7));
    });
}

// A name the file systems accept, from the plan's title.
QString fileNameFrom(const QString &title)
{
    QString name = title.trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name) {
        if (forbidden.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    }
    return name.isEmpty() ? QCoreApplication::translate("TfrmRentEditorObjectGraph", "План") : name;
}

} // namespace

TfrmRentEditorObjectGraph::TfrmRentEditorObjectGraph(korvex::shell::TAppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                          | Qt::WindowCloseButtonHint)
    , m_context(context)
    , m_windows(context, this)
{
    setObjectName(QStringLiteral("frmRentEditorObjectGraph"));
    setWindowTitle(tr("Графический редактор объектов"));
    m_graph = new TboRentGraph(context, &m_windows, this);
    m_model = new TxTreeModel(context.db, this);
    m_graph->setUpTree(*m_model);

    auto *layout = new QVBoxLayout(this);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("EditorSplitter"));
    m_splitter->addWidget(buildTreePane());
    m_splitter->addWidget(buildDrawingPane());
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({300, 700});
    layout->addWidget(m_splitter, 1);

    auto *menuBar = new QMenuBar(this);
    QMenu *figures = menuBar->addMenu(tr("&Объект"));
    figures->addActions({m_add, m_addChild, m_breakdown, m_edit, m_delete, m_bind});
    figures->addSeparator();
    figures->addActions({m_move, m_moveTop});
    QMenu *plan = menuBar->addMenu(tr("&План"));
    plan->addAction(findChild<QAction *>(QStringLiteral("actSavePdf")));
    plan->addAction(findChild<QAction *>(QStringLiteral("actPrint")));
    layout->setMenuBar(menuBar);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *close = new QPushButton(tr("Закрыть"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    // The switches and the scale as the user left them.
    m_graph->readEditorOptions();
    m_scalePercent = int(std::lround(m_graph->Scale() * 100));
    m_scale->setEditText(QString::number(m_scalePercent));
    m_outer->setChecked(m_graph->DrawOuterLevels());
    m_use->setChecked(m_graph->ShowUse());
    connect(m_outer, &QCheckBox::toggled, this, [this](bool on) {
        m_graph->setDrawOuterLevels(on);
        redraw();
    });
    connect(m_use, &QCheckBox::toggled, this, [this](bool on) {
        m_graph->setShowUse(on);
        redraw();
    });

    resize(1040, 700);
    (new korvex::widgets::TFormPlaceSaver(this, true))->restore();
    reloadAll(std::nullopt);
    m_tree->expandToDepth(0);
}

TfrmRentEditorObjectGraph::~TfrmRentEditorObjectGraph() = default;

QAction *TfrmRentEditorObjectGraph::newAction(const QString &name, const QString &text, const QIcon &icon,
                                              const std::function<void()> &handler)
{
    auto *action = new QAction(icon, text, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { guarded(this, handler); });
    return action;
}

QWidget *TfrmRentEditorObjectGraph::buildTreePane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);

    QStyle *s = style();
    m_add = newAction(QStringLiteral("actAdd"), tr("Добавить"), s->standardIcon(QStyle::SP_FileIcon),
                      [this] { addFigure(false); });
    m_add->setShortcut(QKeySequence(Qt::Key_Insert));
    m_addChild = newAction(QStringLiteral("actAddChild"), tr("Подуровень"), s->standardIcon(QStyle::SP_FileDialogNewFolder),
                           [this] { addFigure(true); });
    m_addChild->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    m_breakdown = newAction(QStringLiteral("actBreakdown"), tr("Разбиение объекта на сектора"), gridIcon(),
                            [this] { breakdownFigure(); });
    m_edit = newAction(QStringLiteral("actEdit"), tr("Редактировать"), s->standardIcon(QStyle::SP_FileDialogContentsView),
                       [this] { editFigure(); });
    m_edit->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    m_delete = newAction(QStringLiteral("actDelete"), tr("Удалить"), s->standardIcon(QStyle::SP_TrashIcon),
                         [this] { deleteFigure(); });
    m_delete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    m_bind = newAction(QStringLiteral("actBind"), tr("Привязка к объекту"), s->standardIcon(QStyle::SP_DirLinkIcon),
                       [this] { bindFigure(); });
    m_move = newAction(QStringLiteral("actMove"), tr("Перенести объект"), s->standardIcon(QStyle::SP_ArrowRight),
                       [this] { moveMarkedHere(); });
    m_moveTop = newAction(QStringLiteral("actMoveTop"), tr("Переместить в главную группу"),
                          s->standardIcon(QStyle::SP_ArrowUp), [this] { moveMarkedToTop(); });
    m_figureActions = {m_addChild, m_breakdown, m_edit, m_delete, m_bind};

    auto *bar = new QToolBar(pane);
    bar->setObjectName(QStringLiteral("TreeToolBar"));
    bar->setIconSize(QSize(IconSize, IconSize));
    bar->addActions({m_add, m_addChild, m_breakdown, m_edit, m_delete, m_bind});
    layout->addWidget(bar);

    m_tree = new TxDBTreeView(pane);
    m_tree->setObjectName(QStringLiteral("ObjectGraphTree"));
    m_tree->setTreeModel(m_model);
    m_tree->setHeaderHidden(true);
    // One column of names, as wide as the longest (the pane scrolls).
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_tree->addActions({m_add, m_addChild, m_breakdown, m_edit, m_delete, m_bind});
    auto *separator = new QAction(m_tree);
    separator->setSeparator(true);
    m_tree->addAction(separator);
    m_tree->addActions({m_move, m_moveTop});
    layout->addWidget(m_tree, 1);

    connect(m_tree, &TxDBTreeView::currentIdChanged, this, [this] { guarded(this, [this] { currentChanged(); }); });
    connect(m_tree, &QAbstractItemView::doubleClicked, this, [this] { m_edit->trigger(); });
    connect(m_model, &TxTreeModel::marksChanged, this, &TfrmRentEditorObjectGraph::updateActions);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TfrmRentEditorObjectGraph::updateActions);
    return pane;
}

QWidget *TfrmRentEditorObjectGraph::buildDrawingPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *switches = new QHBoxLayout;
    auto *scaleLabel = new QLabel(tr("Масштаб:"), pane);
    m_scale = new QComboBox(pane);
    m_scale->setObjectName(QStringLiteral("scale"));
    m_scale->setEditable(true);
    m_scale->setInsertPolicy(QComboBox::NoInsert);
    m_scale->addItems({QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"),
                       QStringLiteral("300")});
    m_scale->setMinimumWidth(80);
    scaleLabel->setBuddy(m_scale);
    connect(m_scale->lineEdit(), &QLineEdit::editingFinished, this, &TfrmRentEditorObjectGraph::applyScaleText);
    connect(m_scale, &QComboBox::activated, this, &TfrmRentEditorObjectGraph::applyScaleText);
    m_outer = new QCheckBox(tr("Рисовать внешние уровни уровни"), pane);
    m_outer->setObjectName(QStringLiteral("drawouterlevels"));
    m_use = new QCheckBox(tr("Задействованные объекты"), pane);
    m_use->setObjectName(QStringLiteral("showuse"));
    switches->addWidget(scaleLabel);
    switches->addWidget(m_scale);
    switches->addSpacing(16);
    switches->addWidget(m_outer);
    switches->addSpacing(16);
    switches->addWidget(m_use);
    switches->addStretch();
    layout->addLayout(switches);

    auto *bar = new QToolBar(pane);
    bar->setObjectName(QStringLiteral("DrawingToolBar"));
    bar->setIconSize(QSize(IconSize, IconSize));
    auto lineWidth = [this](const QString &name, const QString &text, int delta) {
        return newAction(name, text, lineWidthIcon(delta > 0), [this, delta] {
            if (const std::optional<int> key = currentFigure()) {
                m_graph->changeLineWidth(*key, delta);
                redraw();
            }
        });
    };
    QAction *wider = lineWidth(QStringLiteral("actWidthUp"), tr("Увеличить ширину линии"), 1);
    QAction *narrower = lineWidth(QStringLiteral("actWidthDown"), tr("Уменьшить ширину линии"), -1);
    bar->addActions({wider, narrower});
    bar->addSeparator();
    struct ColorAction {
        TFigureColor which;
        const char *name;
        QString text;
    };
    const ColorAction colours[] = {
        {TFigureColor::Line, "actLineColor", tr("Цвет линии")},
        {TFigureColor::Fill, "actGraphColor", tr("Цвет объекта")},
        {TFigureColor::UseLine, "actUseLineColor", tr("Цвет линии задействованного объекта")},
        {TFigureColor::UseFill, "actUseGraphColor", tr("Цвет задействованного объекта")},
    };
    for (const ColorAction &c : colours) {
        const TFigureColor which = c.which;
        m_colorActions[int(which)] = newAction(QString::fromLatin1(c.name), c.text, colorIcon(which, Qt::white),
                                               [this, which] { changeColor(which); });
        bar->addAction(m_colorActions[int(which)]);
    }
    m_font = newAction(QStringLiteral("actFont"), tr("Шрифт"), fontIcon(Qt::black), [this] { changeFont(); });
    bar->addAction(m_font);
    bar->addSeparator();
    m_figureActions << wider << narrower << m_colorActions[0] << m_colorActions[1] << m_colorActions[2]
                    << m_colorActions[3] << m_font;

    struct AlignAction {
        TAlignment alignment;
        const char *name;
        QString text;
    };
    const AlignAction alignments[] = {
        {TAlignment::Left, "actAlignLeft", tr("Выровнять по левому краю")},
        {TAlignment::Right, "actAlignRight", tr("Выровнять по правому краю")},
        {TAlignment::Top, "actAlignTop", tr("Выровнять по верхнему краю")},
        {TAlignment::Bottom, "actAlignBottom", tr("Выровнять по нижнему краю")},
        {TAlignment::StretchLeft, "actStretchLeft", tr("Растянуть до левого края")},
        {TAlignment::StretchRight, "actStretchRight", tr("Растянуть до правого края")},
        {TAlignment::StretchTop, "actStretchTop", tr("Растянуть до верхнего края")},
        {TAlignment::StretchBottom, "actStretchBottom", tr("Растянуть до нижнего края")},
    };
    for (const AlignAction &a : alignments) {
        const TAlignment alignment = a.alignment;
        QAction *action = newAction(QString::fromLatin1(a.name), a.text, alignIcon(alignment),
                                    [this, alignment] { align(alignment); });
        m_alignActions << action;
        bar->addAction(action);
    }
    bar->addSeparator();
    bar->addAction(newAction(QStringLiteral("actSavePdf"), tr("Сохранить как PDF"),
                             style()->standardIcon(QStyle::SP_DialogSaveButton), [this] { savePdf(); }));
    bar->addAction(newAction(QStringLiteral("actPrint"), tr("Печать"), printerIcon(), [this] { print(); }));
    layout->addWidget(bar);

    m_view = new TxGraphControl(*m_graph, pane);
    layout->addWidget(m_view, 1);
    connect(m_view, &TxGraphControl::OnNewObject, this, [this](int key) { selectFigure(key); });
    connect(m_view, &TxGraphControl::OnNewChangeObject, this, [this](int key, int x1, int y1, int x2, int y2) {
        guarded(this, [&] { m_graph->applyChange({key, x1, y1, x2, y2}); });
        redraw();
    });
    connect(m_view, &TxGraphControl::drawFailed, this,
            [this](const QString &message) { korvex::widgets::TxMessages::error(this, message); });
    return pane;
}

std::optional<int> TfrmRentEditorObjectGraph::currentFigure() const
{
    const std::optional<qint64> id = m_tree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

bool TfrmRentEditorObjectGraph::selectFigure(int key)
{
    if (!m_tree->setCurrentId(key))
        return false;
    m_tree->setFocus();
    return true;
}

void TfrmRentEditorObjectGraph::redraw()
{
    guarded(this, [this] { m_view->Draw(); });
    updateActions();
}

void TfrmRentEditorObjectGraph::reloadAll(std::optional<int> key)
{
    guarded(this, [this] { m_graph->load(); });
    m_tree->reload();
    if (key)
        m_tree->setCurrentId(*key);
    m_graph->setSelectedFigure(currentFigure().value_or(0));
    redraw();
}

void TfrmRentEditorObjectGraph::currentChanged()
{
    m_graph->setSelectedFigure(currentFigure().value_or(0));
    redraw();
}

void TfrmRentEditorObjectGraph::updateActions()
{
    const std::optional<int> key = currentFigure();
    const TRentFigure *f = key ? m_graph->figure(*key) : nullptr;
    for (QAction *a : std::as_const(m_figureActions))
        a->setEnabled(f != nullptr);
    const bool hasParent = f && f->parent && m_graph->figure(*f->parent);
    for (QAction *a : std::as_const(m_alignActions))
        a->setEnabled(hasParent);
    const bool marked = m_model->markedCount() > 0;
    m_move->setEnabled(marked && key.has_value());
    m_moveTop->setEnabled(marked);
    // The colour buttons show the current figure's colours.
    const TRentFigure shown = f ? *f : TRentFigure{};
    for (TFigureColor c : {TFigureColor::Line, TFigureColor::Fill, TFigureColor::UseLine, TFigureColor::UseFill})
        m_colorActions[int(c)]->setIcon(colorIcon(c, TboRentGraph::figureColor(shown, c)));
    m_font->setIcon(fontIcon(TboRentGraph::figureFontColor(shown)));
}

void TfrmRentEditorObjectGraph::applyScaleText()
{
    // Anything but a whole percentage above 0 gives the previous one back.
    const int percent = TboRentGraph::scalePercent(m_scale->currentText(), m_scalePercent);
    if (m_scale->currentText() != QString::number(percent))
        m_scale->setEditText(QString::number(percent));
    if (percent == m_scalePercent || !m_graph->setScale(percent / 100.0))
        return;
    m_scalePercent = percent;
    redraw();
}

void TfrmRentEditorObjectGraph::addFigure(bool below)
{
    const std::optional<int> current = currentFigure();
    if (below && !current)
        return;
    // A new figure goes beside the current one (at the top in an empty
    // plan), or inside it for a sub-level.
    std::optional<int> parent = current;
    if (!below && current) {
        const std::optional<qint64> p = m_model->parentOf(*current);
        parent = p ? std::optional<int>(int(*p)) : std::nullopt;
    }
    int key = 0;
    if (m_graph->NewFigure(parent, &key))
        reloadAll(key);
}

void TfrmRentEditorObjectGraph::breakdownFigure()
{
    const std::optional<int> key = currentFigure();
    if (!key)
        return;
    korvex::widgets::TxProgressDialog progress(this);
    progress.setWindowTitle(tr("Разбиение объекта на сектора"));
    if (m_graph->BreakdownFigure(*key, font(), &progress) > 0) {
        reloadAll(key);
        m_tree->expand(m_model->indexOf(*key));
    }
}

void TfrmRentEditorObjectGraph::editFigure()
{
    if (const std::optional<int> key = currentFigure(); key && m_graph->EditFigure(*key))
        reloadAll(key);
}

void TfrmRentEditorObjectGraph::deleteFigure()
{
    // The tree makes the former parent current once the figure is gone.
    if (const std::optional<int> key = currentFigure(); key && m_graph->DeleteFigure(*key))
        reloadAll(std::nullopt);
}

void TfrmRentEditorObjectGraph::bindFigure()
{
    if (const std::optional<int> key = currentFigure(); key && m_graph->BindObject(*key))
        reloadAll(key);
}

void TfrmRentEditorObjectGraph::moveMarkedHere()
{
    const std::optional<int> target = currentFigure();
    if (!target || m_model->markedCount() == 0)
        return;
    m_tree->moveMarked(*target);
    reloadAll(target);
}

void TfrmRentEditorObjectGraph::moveMarkedToTop()
{
    if (m_model->markedCount() == 0)
        return;
    m_tree->moveMarked(std::nullopt);
    reloadAll(currentFigure());
}

void TfrmRentEditorObjectGraph::changeColor(TFigureColor which)
{
    const std::optional<int> key = currentFigure();
    const TRentFigure *f = key ? m_graph->figure(*key) : nullptr;
    if (!f)
        return;
    const QColor chosen = QColorDialog::getColor(TboRentGraph::figureColor(*f, which), this,
                                                 m_colorActions[int(which)]->text());
    if (!chosen.isValid())
        return;
    m_graph->changeColor(*key, which, chosen);
    redraw();
}

void TfrmRentEditorObjectGraph::changeFont()
{
    const std::optional<int> key = currentFigure();
    const TRentFigure *f = key ? m_graph->figure(*key) : nullptr;
    if (!f)
        return;
    QFont font = TboRentGraph::figureFont(*f);
    QColor color = TboRentGraph::figureFontColor(*f);
    if (!korvex::widgets::TxFontDialog::getFont(this, font, color, tr("Шрифт")))
        return;
    m_graph->changeFont(*key, font, color);
    redraw();
}

void TfrmRentEditorObjectGraph::align(TAlignment alignment)
{
    if (const std::optional<int> key = currentFigure(); key && m_graph->alignFigure(*key, alignment))
        redraw();
}

void TfrmRentEditorObjectGraph::savePdf()
{
    const std::optional<int> start = m_graph->startFigure();
    const QString title = start ? m_graph->figure(*start)->name : QString();
    QFileDialog dialog(this, tr("Сохранить как PDF"), QDir::home().filePath(fileNameFrom(title) + QStringLiteral(".pdf")),
                       tr("Документ PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_graph->SavePdf(dialog.selectedFiles().constFirst());
}

void TfrmRentEditorObjectGraph::print()
{
    printPlanWithDialog(*m_graph, this);
}

void TfrmRentEditorObjectGraph::done(int result)
{
    if (!m_optionsWritten) {
        m_optionsWritten = true;
        guarded(this, [this] { m_graph->writeEditorOptions(); });
    }
    QDialog::done(result);
}

} // namespace korvex::graph
