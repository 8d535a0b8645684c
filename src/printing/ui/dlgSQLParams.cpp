#include "dlgSQLParams.h"

#include "widgets/ui/xMessages.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvex::documents {

TdlgSQLParams::TdlgSQLParams(const QStringList &names, Apply apply, QWidget *parent)
    : QDialog(parent)
    , m_apply(std::move(apply))
{
    setObjectName(QStringLiteral("dlgSQLParams"));
    setWindowTitle(tr("Параметры"));
    m_grid = new QTableWidget(int(names.size()), 2, this);
    m_grid->setHorizontalHeaderLabels({tr("Параметр"), tr("Значение")});
    m_grid->verticalHeader()->hide();
    int widest = QFontMetrics(font()).horizontalAdvance(tr("Параметр"));
    for (int i = 0; i < names.size(); ++i) {
        auto name = new QTableWidgetItem(names.at(i));
        name->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(i, 0, name);
        m_grid->setItem(i, 1, new QTableWidgetItem);
        widest = std::max(widest, QFontMetrics(font()).horizontalAdvance(names.at(i)));
    }
    m_grid->setColumnWidth(0, widest + 16);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    auto ok = new QPushButton(tr("Применить"), this);
    auto cancel = new QPushButton(tr("Отменить"), this);
    connect(ok, &QPushButton::clicked, this, &TdlgSQLParams::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);
    resize(420, 300);
}

QStringList TdlgSQLParams::values() const
{
    QStringList v;
    for (int i = 0; i < m_grid->rowCount(); ++i)
        v << (m_grid->item(i, 1) ? m_grid->item(i, 1)->text() : QString());
    return v;
}

void TdlgSQLParams::apply()
{
    const QString error = m_apply ? m_apply(values()) : QString();
    if (!error.isEmpty()) {
        korvex::widgets::TxMessages::error(this, error);
        return;
    }
    accept();
}

} // namespace korvex::documents
