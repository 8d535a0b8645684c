#include "dlgRentReckoning.h"

#include "calc/boRentVariable.h"
#include "calc/calcDialogs.h"
#include "db/xDbError.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::calc {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;

namespace {

// The formula cell's editor: the text and a button that asks for a variable.
class FormulaEditor : public QWidget
{
    Q_OBJECT
public:
    explicit FormulaEditor(QWidget *parent)
        : QWidget(parent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("formulaEdit"));
        line->setMaxLength(254);
        line->setFrame(false);
        button = new QToolButton(this);
        button->setObjectName(QStringLiteral("chooseVariable"));
        button->setText(QStringLiteral("..."));
        button->setToolTip(tr("Выбор переменной"));
        // The text keeps the focus, so that the click does not end the edit.
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(line, 1);
        layout->addWidget(button);
        setFocusProxy(line);
        setAutoFillBackground(true);
    }
    QLineEdit *line;
    QToolButton *button;
};

// Striped like every grid; the name and formula cells take no more than
// their columns hold, and the formula cell carries the chooser button.
class StepDelegate : public QStyledItemDelegate
{
public:
    StepDelegate(TxDBGrid *grid, TdlgRentReckoning *dialog)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
        , m_dialog(dialog)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (index.column() != TReckoningStepModel::FormulaColumn) {
            QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
            if (auto *line = qobject_cast<QLineEdit *>(editor); line && index.column() == TReckoningStepModel::NameColumn)
                line->setMaxLength(60);
            return editor;
        }
        auto *editor = new FormulaEditor(parent);
        const QPersistentModelIndex cell(index);
        QObject::connect(editor->button, &QToolButton::clicked, editor, [this, editor, cell] {
            // The step being edited is posted first; the chooser then runs
            // once the editor is gone.
            auto *self = const_cast<StepDelegate *>(this);
            Q_EMIT self->commitData(editor);
            Q_EMIT self->closeEditor(editor, QAbstractItemDelegate::NoHint);
            QPointer<TdlgRentReckoning> dialog(m_dialog);
            const int row = cell.row();
            QMetaObject::invokeMethod(
                m_dialog, [dialog, row] { if (dialog) dialog->chooseVariableFor(row); }, Qt::QueuedConnection);
        });
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *f = qobject_cast<FormulaEditor *>(editor))
            f->line->setText(index.data(Qt::EditRole).toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *f = qobject_cast<FormulaEditor *>(editor))
            model->setData(index, f->line->text());
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        m_grid->styleCell(index, *option);
    }

private:
    TxDBGrid *m_grid;
    TdlgRentReckoning *m_dialog;
};

} // namespace

TdlgRentReckoning::TdlgRentReckoning(TboRentReckoningType &bo, const TReckoningType &type, bool isNew, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_type(type)
{
    setObjectName(QStringLiteral("dlgRentReckoning"));
    setWindowTitle(tr("Формула"));

    auto *head = new QGroupBox(tr("Расчетная формула"), this);
    auto *form = new QFormLayout(head);
    m_name = new QLineEdit(head);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(60);
    m_description = new QLineEdit(head);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setMaxLength(254);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Описание"), m_description);
    contentLayout()->addWidget(head);

    auto *body = new QGroupBox(tr("Рассчет"), this);
    auto *bodyLayout = new QVBoxLayout(body);
    m_steps = new TReckoningStepModel(this);
    m_grid = new TxDBGrid(body);
    m_grid->setObjectName(QStringLiteral("StepGrid"));
    m_grid->setSortingByTitle(false);
    m_grid->setModel(m_steps);
    m_grid->setItemDelegate(new StepDelegate(m_grid, this));
    m_grid->setReadOnly(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setFieldTitle(QStringLiteral("NUMBER"), tr("Номер"));
    m_grid->setFieldTitle(QStringLiteral("NAME"), tr("Наименование"));
    m_grid->setFieldTitle(QStringLiteral("FORMULA"), tr("Формула"));
    m_grid->setFieldTitle(QStringLiteral("ROUNDING"), tr("Округление"));
    m_grid->setFieldWidth(QStringLiteral("NUMBER"), 60);
    m_grid->setFieldWidth(QStringLiteral("NAME"), 140);
    m_grid->setFieldWidth(QStringLiteral("FORMULA"), 320);
    m_grid->setFieldWidth(QStringLiteral("ROUNDING"), 90);
    bodyLayout->addWidget(m_grid, 1);
    connect(m_steps, &TReckoningStepModel::cellRefused, this,
            [this](const QString &message) { showMessage(this, messageCaption(), message); });

    auto *stepButtons = new QHBoxLayout;
    auto *add = new QPushButton(tr("Добавить позицию"), body);
    add->setObjectName(QStringLiteral("addStep"));
    add->setToolTip(QKeySequence(Qt::Key_Insert).toString(QKeySequence::NativeText));
    auto *remove = new QPushButton(tr("Удалить позицию"), body);
    remove->setObjectName(QStringLiteral("removeStep"));
    remove->setToolTip(QKeySequence(Qt::CTRL | Qt::Key_Delete).toString(QKeySequence::NativeText));
    stepButtons->addWidget(add);
    stepButtons->addWidget(remove);
    stepButtons->addStretch();
    bodyLayout->addLayout(stepButtons);
    contentLayout()->addWidget(body, 1);
    connect(add, &QPushButton::clicked, this, &TdlgRentReckoning::addStep);
    connect(remove, &QPushButton::clicked, this, &TdlgRentReckoning::removeCurrentStep);
    auto *insertKey = new QShortcut(QKeySequence(Qt::Key_Insert), m_grid);
    insertKey->setContext(Qt::WidgetShortcut);
    connect(insertKey, &QShortcut::activated, this, &TdlgRentReckoning::addStep);
    auto *deleteKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete), m_grid);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &TdlgRentReckoning::removeCurrentStep);

    setNextEnabled(isNew);
    display(m_type);
    resize(680, 460);
}

TdlgRentReckoning::~TdlgRentReckoning() = default;

void TdlgRentReckoning::display(const TReckoningType &type)
{
    m_name->setText(type.name);
    m_description->setText(type.description);
    m_steps->setSteps(type.steps);
}

void TdlgRentReckoning::addStep()
{
    const int row = m_steps->appendStep();
    const QModelIndex name = m_steps->index(row, TReckoningStepModel::NameColumn);
    m_grid->setCurrentIndex(name);
    m_grid->setFocus();
    m_grid->edit(name);
}

void TdlgRentReckoning::removeCurrentStep()
{
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid())
        m_steps->removeRecord(current.row());
}

void TdlgRentReckoning::chooseVariableFor(int row)
{
    TCalcDialogs *dialogs = m_bo.dialogs();
    if (!dialogs || row < 0 || row >= m_steps->rowCount())
        return;
    // The built-in variables and the user variables of the dictionary.
    TboRentVariable dictionary(m_bo.context(), dialogs);
    const QString name = dictionary.ChooseVariable();
    if (name.isEmpty())
        return;
    m_steps->appendToFormula(row, name);
    m_grid->setCurrentIndex(m_steps->index(row, TReckoningStepModel::FormulaColumn));
}

bool TdlgRentReckoning::validate()
{
    if (const std::optional<TStepFault> fault = TboRentReckoningType::checkSteps(m_steps->steps())) {
        m_grid->setCurrentIndex(m_steps->index(fault->row, TReckoningStepModel::NameColumn));
        fail(m_grid, fault->message);
        return false;
    }
    return true;
}

int TdlgRentReckoning::writeRecord()
{
    TReckoningType type = m_type;
    type.name = m_name->text().trimmed();
    type.description = m_description->text().trimmed();
    type.steps = m_steps->steps();
    m_bo.writeType(type);
    m_written = type;
    return type.id;
}

void TdlgRentReckoning::afterSave()
{
    m_type = m_written;
    m_steps->setSteps(m_type.steps);
}

void TdlgRentReckoning::startNextRecord()
{
    try {
        m_type = m_bo.newType(m_type.parent, QString());
    } catch (const korvex::db::EDatabaseError &e) {
        // The type just stored stays stored; without a key there is no next one.
        TxMessages::error(this, e.message());
        accept();
        return;
    }
    display(m_type);
    m_name->setFocus();
}

} // namespace korvex::calc

#include "dlgRentReckoning.moc"
