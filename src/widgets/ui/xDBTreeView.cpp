#include "xDBTreeView.h"

#include "mmRunTimeStore.h"
#include "xGridDisplay.h"
#include "xGuard.h"
#include "xMessages.h"
#include "amount/xAmount.h"

#include "db/xDbError.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

namespace korvex::widgets {

namespace {

// Numbers are typed as text and checked by the model, which accepts both
// decimal separators and refuses the rest with a message.
class NumberDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        auto *model = qobject_cast<const TxTreeModel *>(index.model());
        if (!model || !model->isNumberColumn(index.column()))
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *editor = new QLineEdit(parent);
        editor->setAlignment(Qt::AlignRight);
        return editor;
    }
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QAbstractItemModel *model = index.model();
        showNumber(*option, index,
                   numberKindOfColumn(*model, index.column(),
                                      model->headerData(index.column(), Qt::Horizontal, Qt::EditRole).toString()));
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            const QVariant v = index.data(Qt::EditRole);
            line->setText(v.isNull() ? QString() : korvex::amount::formatNumberField(v.toDouble()));
            line->selectAll();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            model->setData(index, line->text(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

} // namespace

TxDBTreeView::TxDBTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setItemDelegate(new NumberDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    header()->setResizeContentsPrecision(100);
    // A width the user (or a stored layout) gives is kept from then on.
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_applying && m_model && size > 0)
            m_fixedWidths.insert(m_model->headerData(column, Qt::Horizontal, Qt::EditRole).toString().toUpper());
    });
}

void TxDBTreeView::fitColumns()
{
    if (!m_model)
        return;
    const QScopedValueRollback applying(m_applying, true);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const QString field = m_model->headerData(column, Qt::Horizontal, Qt::EditRole).toString().toUpper();
        if (field.isEmpty() || m_fixedWidths.contains(field) || isColumnHidden(column))
            continue;
        setColumnWidth(column, fittingColumnWidth(this, header(), column));
        if (m_model->rowCount() > 0 && isVisible())
            m_fixedWidths.insert(field);
    }
}

void TxDBTreeView::setTreeModel(TxTreeModel *model)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_model = model;
    setModel(model);
    if (!model)
        return;
    m_connections << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &TxDBTreeView::rememberState);
    m_connections << connect(model, &QAbstractItemModel::modelReset, this, &TxDBTreeView::restoreState);
    m_connections << connect(model, &QAbstractItemModel::modelReset, this, &TxDBTreeView::fitColumns);
    m_connections << connect(model, &TxTreeModel::cellRefused, this, [this](const QModelIndex &, const QString &text) {
        TxMessages::warning(this, text, TxPrompt::attentionBang());
    });
    m_connections << connect(model, &TxTreeModel::loadFailed, this,
                             [this](const QString &text) { TxMessages::error(this, text); });
    m_connections << connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        const auto id = currentId();
        Q_EMIT currentIdChanged(id ? QVariant(*id) : QVariant());
    });
}

std::optional<qint64> TxDBTreeView::currentId() const
{
    return m_model ? m_model->idOf(currentIndex()) : std::nullopt;
}

bool TxDBTreeView::setCurrentId(qint64 id)
{
    if (!m_model)
        return false;
    const QModelIndex index = m_model->indexOf(id);
    if (!index.isValid())
        return false;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        expand(p);
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

bool TxDBTreeView::reload()
{
    if (!m_model)
        return false;
    try {
        m_model->load();
        return true;
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
        return false;
    }
}

TxTreeModel::MoveResult TxDBTreeView::moveMarked(std::optional<qint64> target)
{
    TxTreeModel::MoveResult result;
    if (!m_model)
        return result;
    try {
        result = m_model->moveMarked(target);
    } catch (const db::EDatabaseError &e) {
        TxMessages::error(this, e.message());
        return result;
    }
    TxMessages::information(this, TxTreeModel::moveMessage(result), TxPrompt::attentionBang());
    return result;
}

void TxDBTreeView::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    // The first showing joins the form's run-time store (the user's columns).
    if (!m_shownOnce) {
        m_shownOnce = true;
        guarded(this, [this] { TmmRunTimeStore::attachView(this); });
    }
}

void TxDBTreeView::setFieldWidth(const QString &field, int width)
{
    if (!m_model)
        return;
    const int column = m_model->columnOf(field);
    if (column < 0)
        return;
    // Never narrower than the title.
    const QScopedValueRollback applying(m_applying, true);
    setColumnWidth(column, qMax(width, header()->sectionSizeHint(column)));
    m_fixedWidths.insert(field.toUpper());
}

void TxDBTreeView::rememberState()
{
    m_keepCurrent = currentId();
    m_keepParent = m_keepCurrent ? m_model->parentOf(*m_keepCurrent) : std::nullopt;
    m_keepExpanded.clear();
    std::vector<QModelIndex> stack{QModelIndex()};
    while (!stack.empty()) {
        const QModelIndex parent = stack.back();
        stack.pop_back();
        for (int r = 0, n = m_model->rowCount(parent); r < n; ++r) {
            const QModelIndex child = m_model->index(r, 0, parent);
            if (isExpanded(child)) {
                m_keepExpanded.insert(*m_model->idOf(child));
                stack.push_back(child);
            }
        }
    }
}

void TxDBTreeView::restoreState()
{
    for (qint64 id : std::as_const(m_keepExpanded)) {
        const QModelIndex index = m_model->indexOf(id);
        if (index.isValid())
            expand(index);
    }
    if ((m_keepCurrent && setCurrentId(*m_keepCurrent)) || (m_keepParent && setCurrentId(*m_keepParent)))
        return;
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
}

} // namespace korvex::widgets
