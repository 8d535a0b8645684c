#include "ptSQL.h"

#include "db/xDbError.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xMessages.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <algorithm>

namespace korvex::calc {

using korvex::widgets::TxDBGrid;
using korvex::widgets::TxMessages;
using korvex::widgets::TxPrompt;

// --- TSqlResultModel ----------------------------------------------------------------

void TSqlResultModel::setResult(TSqlResult result)
{
    beginResetModel();
    m_result = std::move(result);
    endResetModel();
}

int TSqlResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_result.rows.size());
}

int TSqlResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_result.columns.size());
}

QVariant TSqlResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariantList &row = m_result.rows.at(index.row());
    return index.column() < row.size() ? row.at(index.column()) : QVariant();
}

QVariant TSqlResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_result.columns.size())
        return m_result.columns.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TSqlResultModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    Q_EMIT layoutAboutToBeChanged();
    // NULL first, then by value; values that do not compare keep their order.
    auto less = [column](const QVariantList &a, const QVariantList &b) {
        const QVariant &x = a.at(column);
        const QVariant &y = b.at(column);
        if (x.isNull() || y.isNull())
            return x.isNull() && !y.isNull();
        return QVariant::compare(x, y) == QPartialOrdering::Less;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(m_result.rows.begin(), m_result.rows.end(), less);
    else
        std::stable_sort(m_result.rows.begin(), m_result.rows.end(),
                         [&less](const QVariantList &a, const QVariantList &b) { return less(b, a); });
    Q_EMIT layoutChanged();
}

// --- TptSQL -----------------------------------------------------------------------------

TptSQL::TptSQL(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 123, parent)
    , m_console(context.db)
{
    setTitles(QStringLiteral("ptSQL"), tr("Настройки"), tr("SQL- запросы"));

    auto *statement = new QWidget(this);
    auto *statementLayout = new QVBoxLayout(statement);
    m_text = new QPlainTextEdit(statement);
    m_text->setObjectName(QStringLiteral("SqlText"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_text->setFont(mono);
    statementLayout->addWidget(m_text, 1);
    auto *buttons = new QHBoxLayout;
    auto button = [&](const QString &text, const QString &name, void (TptSQL::*handler)()) {
        auto *b = new QPushButton(text, statement);
        b->setObjectName(name);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded(this, [&] { (this->*handler)(); }); });
    };
    button(QStringLiteral("Open"), QStringLiteral("openButton"), &TptSQL::openQuery);
    button(QStringLiteral("Execute"), QStringLiteral("executeButton"), &TptSQL::executeStatement);
    auto *load = new QPushButton(tr("Загрузить"), statement);
    auto *save = new QPushButton(tr("Сохранить"), statement);
    buttons->addWidget(load);
    buttons->addWidget(save);
    m_status = new QLabel(statement);
    m_status->setObjectName(QStringLiteral("status"));
    buttons->addWidget(m_status, 1);
    statementLayout->addLayout(buttons);
    connect(load, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Загрузить"), QString(), tr("*.sql (*.sql)"));
        if (!path.isEmpty())
            loadFile(path);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Сохранить"), QString(), tr("*.sql (*.sql)"));
        if (!path.isEmpty())
            saveFile(path);
    });

    m_result = new TSqlResultModel(this);
    m_resultGrid = newGrid(QStringLiteral("ResultGrid"), m_result);

    auto *tables = new QWidget(this);
    auto *tablesLayout = new QVBoxLayout(tables);
    auto *tableRow = new QHBoxLayout;
    m_table = new QLineEdit(tables);
    m_table->setObjectName(QStringLiteral("TableName"));
    auto *openTableButton = new QPushButton(QStringLiteral("Open"), tables);
    openTableButton->setObjectName(QStringLiteral("openTableButton"));
    tableRow->addWidget(new QLabel(tr("Таблица"), tables));
    tableRow->addWidget(m_table, 1);
    tableRow->addWidget(openTableButton);
    tablesLayout->addLayout(tableRow);
    m_tableRows = new TSqlResultModel(this);
    m_tableGrid = newGrid(QStringLiteral("TableGrid"), m_tableRows);
    tablesLayout->addWidget(m_tableGrid, 1);
    connect(openTableButton, &QPushButton::clicked, this, [this] { guarded(this, [&] { openTable(); }); });
    connect(m_table, &QLineEdit::returnPressed, this, [this] { guarded(this, [&] { openTable(); }); });

    addTab(tr("SQL &запрос"), statement);
    addTab(tr("&Результаты"), m_resultGrid);
    addTab(tr("&Таблицы"), tables);
    setActions({});
    restorePlacement();
}

TptSQL::~TptSQL() = default;

TxDBGrid *TptSQL::newGrid(const QString &name, TSqlResultModel *model)
{
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(name);
    grid->setModel(model);
    return grid;
}

void TptSQL::failed(const QString &word, const QString &detail)
{
    // The server's text follows the word: in a console it is the answer.
    TxMessages::error(this, detail.isEmpty() ? word : word + QLatin1Char('\n') + detail, TxPrompt::attentionBang());
}

void TptSQL::openQuery()
{
    try {
        m_result->setResult(m_console.open(m_text->toPlainText()));
    } catch (const korvex::db::EDatabaseError &e) {
        failed(tr("Ощибка"), e.message());
        return;
    }
    m_status->setText(tr("Строк: %1").arg(m_result->rowCount()));
    setCurrentTab(ResultTab);
}

void TptSQL::executeStatement()
{
    int touched = -1;
    try {
        touched = m_console.execute(m_text->toPlainText());
    } catch (const korvex::db::EDatabaseError &e) {
        failed(tr("Ошибка"), e.message());
        return;
    }
    m_status->setText(touched >= 0 ? tr("Выполнено. Изменено строк: %1").arg(touched) : tr("Выполнено"));
}

void TptSQL::openTable()
{
    try {
        m_tableRows->setResult(m_console.openTable(m_table->text()));
    } catch (const korvex::db::EDatabaseError &e) {
        failed(tr("Ошибка"), e.message());
    }
}

bool TptSQL::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failed(tr("Ошибка"), file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    // Scripts of the older workstations are in Windows-1251.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder cp1251("windows-1251");
        if (cp1251.isValid())
            text = cp1251.decode(bytes);
    }
    m_text->setPlainText(text);
    return true;
}

bool TptSQL::saveFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(m_text->toPlainText().toUtf8()) < 0) {
        failed(tr("Ошибка"), file.errorString());
        return false;
    }
    return true;
}

} // namespace korvex::calc
