#include "xTreeChooser.h"

#include "xConfirmRow.h"
#include "xDBTreeView.h"
#include "widgets/xTreeModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex::widgets {

TdlgTreeChooser::TdlgTreeChooser(korvex::db::TxDatabase &db, const std::function<void(TxTreeModel &)> &setUpModel,
                                 QWidget *parent)
    : QDialog(parent)
{
    m_layout = new QVBoxLayout(this);
    m_top = new QVBoxLayout;
    m_layout->addLayout(m_top);
    m_model = new TxTreeModel(db, this);
    setUpModel(*m_model);
    m_tree = new TxDBTreeView(this);
    m_tree->setTreeModel(m_model);
    m_layout->addWidget(m_tree, 1);
    m_extra = new QVBoxLayout;
    m_layout->addLayout(m_extra);

    const TxConfirmRow row = confirmRow(this);
    m_buttons = row.layout;
    m_ok = row.ok;
    m_cancel = row.cancel;
    m_layout->addLayout(m_buttons);
    resize(460, 480);
}

TdlgTreeChooser::~TdlgTreeChooser() = default;

void TdlgTreeChooser::addMarkButtons()
{
    auto *marks = new QHBoxLayout;
    auto *all = new QPushButton(tr("Выделить все"), this);
    all->setObjectName(QStringLiteral("markAll"));
    auto *none = new QPushButton(tr("Снять выделение"), this);
    none->setObjectName(QStringLiteral("clearMarks"));
    marks->addWidget(all);
    marks->addWidget(none);
    marks->addStretch();
    // Right below the tree, above any further fields.
    m_layout->insertLayout(m_layout->indexOf(m_tree) + 1, marks);
    connect(all, &QPushButton::clicked, m_model, &TxTreeModel::markTopLevel);
    connect(none, &QPushButton::clicked, m_model, &TxTreeModel::clearMarks);
}

bool TdlgTreeChooser::load(std::optional<int> current, const QList<int> &marked, bool expandAll)
{
    if (!m_tree->reload())
        return false;
    if (expandAll)
        m_tree->expandAll();
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    if (!marked.isEmpty())
        m_model->setMarked(QList<qint64>(marked.cbegin(), marked.cend()), true);
    if (!current || *current <= 0 || !m_tree->setCurrentId(*current))
        m_tree->setCurrentIndex(m_model->index(0, 0));
    return true;
}

std::optional<int> TdlgTreeChooser::currentKey() const
{
    const std::optional<qint64> id = m_tree->currentId();
    return id ? std::optional<int>(int(*id)) : std::nullopt;
}

QList<int> TdlgTreeChooser::markedKeys() const
{
    return m_model->markedKeys();
}

void TdlgTreeChooser::accept()
{
    if (m_currentRequired && !currentKey())
        return;
    QDialog::accept();
}

} // namespace korvex::widgets
