#include "ptCustomer.h"

#include "PlaceTree.h"
#include "dlgClassifier.h"
#include "dlgCustomer.h"
#include "dlgFactoryFilter.h"
#include "shell/mmOptions.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/ui/xDBTreeView.h"
#include "widgets/ui/xMessages.h"
#include "widgets/xQueryModel.h"
#include "widgets/xTreeModel.h"

#include <QListWidget>
#include <QPushButton>

namespace korvex::customers {

using namespace korvex::widgets;
using Action = TPart::Action;

namespace {

const QString TabOption = QStringLiteral("cst_curref");

const char *const TabCaptions[TptCustomer::TabCount] = {
    QT_TRANSLATE_NOOP("TptCustomer", "Предприятия"),
    QT_TRANSLATE_NOOP("TptCustomer", "Банки"),
    QT_TRANSLATE_NOOP("TptCustomer", "Виды населенных пунктов"),
    QT_TRANSLATE_NOOP("TptCustomer", "Населенные пункты"),
    QT_TRANSLATE_NOOP("TptCustomer", "Форма собственности"),
    QT_TRANSLATE_NOOP("TptCustomer", "Тип компании"),
    QT_TRANSLATE_NOOP("TptCustomer", "Отрасли"),
    QT_TRANSLATE_NOOP("TptCustomer", "Виды деятельности"),
};

// The grids' names: the key of each list's stored layout.
const char *const GridNames[TptCustomer::TabCount] = {
    "Enterprises", "Banks", "PlaceKinds", "Places", "PropertyKinds", "CompanyKinds", "Branches", "Activities",
};

} // namespace

TptCustomer::TptCustomer(korvex::shell::TAppContext &context, QWidget *parent)
    : TPart(context, 918, parent)
    , m_dm(std::make_unique<TdmCustomer>(context))
{
    setObjectName(QStringLiteral("ptCustomer"));
    setCaption(tr("Справочник клиентов"));

    for (int t = 0; t < TabCount; ++t) {
        const auto tab = Tab(t);
        QWidget *content = nullptr;
        if (tab == PlaceKinds) {
            m_kindModel = new TxTreeModel(context.db, this);
            m_kindModel->setQuery(TdmCustomer::placeKindList());
            m_kindModel->setKeyFields(QStringLiteral("placekindkey"), QStringLiteral("parent"), QStringLiteral("name"));
            m_kindModel->setDisplayFields({QStringLiteral("abbr"), QStringLiteral("grade")});
            m_kindModel->setFieldTitle(QStringLiteral("name"), tr("Полное наименование"));
            m_kindModel->setFieldTitle(QStringLiteral("abbr"), tr("Краткое наименование"));
            m_kindModel->setFieldTitle(QStringLiteral("grade"), tr("Уровень"));
            m_kindTree = new TxDBTreeView(this);
            m_kindTree->setObjectName(QStringLiteral("placeKinds"));
            m_kindTree->setTreeModel(m_kindModel);
            connect(m_kindTree, &QTreeView::doubleClicked, this, [this] { trigger(Action::Edit); });
            content = m_kindTree;
        } else if (tab == Places) {
            m_places = new TPlaceTreeView(context.db, this);
            m_places->setObjectName(QStringLiteral("places"));
            connect(m_places, &QTreeView::doubleClicked, this, [this] { trigger(Action::Edit); });
            content = m_places;
        } else {
            content = buildGrid(tab);
        }
        addTab(tr(TabCaptions[t]), content);
    }

    m_filter = addButton(tr("Фильтр..."), [this] { editFilter(); });
    m_cut = addButton(tr("Вырезать"), [this] { cutPlace(); });
    m_paste = addButton(tr("Вставить"), [this] { pastePlaces(false); });
    m_replace = addButton(tr("Заменить"), [this] { pastePlaces(true); });
    m_clear = addButton(tr("Очистить"), [this] { clearClipboard(); });

    restorePlacement();
    m_ready = true;
    const int stored = qBound(0, context.options.integerOption(TabOption, int(Banks)), int(TabCount) - 1);
    // A list that cannot be opened is reported; the page stays usable.
    if (stored == currentTab())
        guarded(this, [&] { tabChanged(stored); });
    else
        setCurrentTab(stored);
}

TptCustomer::~TptCustomer() = default;

QWidget *TptCustomer::buildGrid(Tab tab)
{
    auto *model = new TxQueryModel(context().db, this);
    auto *grid = new TxDBGrid(this);
    grid->setObjectName(QString::fromLatin1(GridNames[tab]));
    grid->setModel(model);
    m_models[tab] = model;
    m_grids[tab] = grid;
    if (tab == Enterprises || tab == Banks) {
        grid->setKeyField(TFactoryFilter::listKey());
        model->setKeyField(TFactoryFilter::listKey());
        struct Column {
            const char *field;
            const char *title;
            int width;
        };
        static const Column columns[] = {
            {"name", QT_TRANSLATE_NOOP("TptCustomer", "Наименование"), 220},
            {"unn", QT_TRANSLATE_NOOP("TptCustomer", "УНН"), 90},
            {"companykindname", QT_TRANSLATE_NOOP("TptCustomer", "Форма общества"), 110},
            {"propertykindname", QT_TRANSLATE_NOOP("TptCustomer", "Форма собственности"), 150},
            {"phone", QT_TRANSLATE_NOOP("TptCustomer", "Телефон"), 120},
            {"zipcode", QT_TRANSLATE_NOOP("TptCustomer", "Индекс"), 60},
            {"domicile", QT_TRANSLATE_NOOP("TptCustomer", "Юридический адрес"), 260},
            {"email", QT_TRANSLATE_NOOP("TptCustomer", "e-mail"), 140},
            {"fullname", QT_TRANSLATE_NOOP("TptCustomer", "Полное наименование"), 280},
            {"okpo", QT_TRANSLATE_NOOP("TptCustomer", "ОКПО"), 100},
            {"code", QT_TRANSLATE_NOOP("TptCustomer", "Код"), 60},
        };
        int position = 0;
        for (const Column &c : columns) {
            grid->setFieldTitle(QString::fromLatin1(c.field), tr(c.title));
            grid->setFieldWidth(QString::fromLatin1(c.field), c.width);
            grid->setFieldPosition(QString::fromLatin1(c.field), position++);
        }
        for (const char *hidden : {"customerkey", "id", "kind", "companykindkey", "propertykindkey", "placekey", "pobox",
                                   "fax", "url", "okonh", "soato", "soou", "externalkey", "disabled"})
            grid->setFieldVisible(QString::fromLatin1(hidden), false);
    } else {
        const TClassifierInfo &info = TClassifiers::info(classifierOf(tab));
        model->setStatement(TdmCustomer::classifierList(classifierOf(tab)), {}, QStringLiteral("name"));
        grid->setKeyField(info.keyField);
        grid->setFieldVisible(info.keyField, false);
        grid->setFieldTitle(QStringLiteral("name"), tab == CompanyKinds ? tr("Краткое наименование") : tr("Наименование"));
        grid->setFieldTitle(QStringLiteral("fullname"), tr("Полное наименование"));
        grid->setFieldWidth(QStringLiteral("name"), 260);
        grid->setFieldWidth(QStringLiteral("fullname"), 360);
    }
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { trigger(Action::Edit); });
    return grid;
}

TClassifier TptCustomer::classifierOf(Tab tab) const
{
    switch (tab) {
    case PlaceKinds: return TClassifier::PlaceKind;
    case Places: return TClassifier::Place;
    case PropertyKinds: return TClassifier::PropertyKind;
    case CompanyKinds: return TClassifier::CompanyKind;
    case Branches: return TClassifier::Branch;
    default: return TClassifier::ActCategory;
    }
}

int TptCustomer::customerKind() const
{
    return currentTab() == Banks ? TdmCustomer::Bank : TdmCustomer::Enterprise;
}

void TptCustomer::openTab(Tab tab)
{
    if (m_opened[tab])
        return;
    // Marked first: a list that failed to open is not tried again on every
    // visit; "Перечитать" tries it.
    m_opened[tab] = true;
    switch (tab) {
    case Enterprises:
    case Banks:
        m_models[tab]->setStatement(m_dm->customerList(tab == Banks ? TdmCustomer::Bank : TdmCustomer::Enterprise),
                                    TFactoryFilter::listOrder());
        m_models[tab]->open();
        if (m_models[tab]->rowCount() > 0)
            m_grids[tab]->setCurrentIndex(m_models[tab]->index(0, m_grids[tab]->fieldColumn(QStringLiteral("name"))));
        break;
    case PlaceKinds:
        m_kindTree->reload();
        m_kindTree->expandAll();
        break;
    case Places:
        m_places->reload();
        break;
    default:
        m_models[tab]->open();
        break;
    }
}

void TptCustomer::tabChanged(int index)
{
    if (!m_ready || index < 0 || index >= TabCount)
        return;
    const auto tab = Tab(index);
    setSection(caption(), tr(TabCaptions[index]));
    updateButtons();
    context().options.SetIntegerOption(TabOption, true, index);
    openTab(tab);
}

void TptCustomer::updateButtons()
{
    const int tab = currentTab();
    const bool customers = tab == Enterprises || tab == Banks;
    if (tab == Places) {
        setActions({Action::Add, Action::AddChild, Action::Edit, Action::Delete, Action::Refresh});
        actionButton(Action::Add)->setText(tr("&Уровень..."));
        actionButton(Action::AddChild)->setText(tr("&Подуровень..."));
    } else {
        setActions({Action::Add, Action::Edit, Action::Delete, Action::Refresh});
        actionButton(Action::Add)->setText(customers ? tr("Добавить...") : tr("&Добавить..."));
    }
    actionButton(Action::Edit)->setText(customers ? tr("Изменить...") : tr("&Изменить..."));
    actionButton(Action::Delete)->setText(customers ? tr("Удалить") : tr("&Удалить"));
    actionButton(Action::Refresh)->setText(customers ? tr("Перечитать")
                                                     : (tab == PlaceKinds ? tr("&Перечить") : tr("&Перечитать")));
    m_filter->setVisible(customers);
    for (QPushButton *b : {m_cut, m_paste, m_replace, m_clear})
        b->setVisible(tab == Places);
    const bool clip = m_dm->hasClipboard();
    m_paste->setEnabled(clip);
    m_replace->setEnabled(clip);
    m_clear->setEnabled(clip);
}

// --- Actions ------------------------------------------------------------------

void TptCustomer::actionAdd()
{
    switch (currentTab()) {
    case Enterprises:
    case Banks: editCustomer(-1); break;
    case PlaceKinds: editPlaceKind(-1); break;
    case Places: m_places->addPlace(false); break;
    default: editClassifier(-1); break;
    }
}

void TptCustomer::actionAddChild()
{
    if (currentTab() == Places)
        m_places->addPlace(true);
}

void TptCustomer::actionEdit()
{
    const int tab = currentTab();
    switch (tab) {
    case Enterprises:
    case Banks:
        if (const QVariant key = m_grids[tab]->currentKey(); !key.isNull() && key.toInt() > 0)
            editCustomer(key.toInt());
        break;
    case PlaceKinds:
        if (const auto id = m_kindTree->currentId())
            editPlaceKind(int(*id));
        break;
    case Places: m_places->editCurrent(); break;
    default:
        if (const QVariant key = m_grids[tab]->currentKey(); !key.isNull())
            editClassifier(key.toInt());
        break;
    }
}

void TptCustomer::actionDelete()
{
    const auto tab = Tab(currentTab());
    TxMessages prompt(this);
    switch (tab) {
    case Enterprises:
    case Banks:
        if (const QVariant key = m_grids[tab]->currentKey(); !key.isNull() && m_dm->deleteCustomer(key.toInt(), prompt))
            m_grids[tab]->requery();
        break;
    case PlaceKinds:
        if (const auto id = m_kindTree->currentId(); id && m_dm->deleteClassifier(TClassifier::PlaceKind, int(*id), prompt))
            m_kindTree->reload();
        break;
    case Places:
        if (const auto key = m_places->currentKey(); key && m_dm->deleteClassifier(TClassifier::Place, *key, prompt))
            m_places->reload();
        break;
    default:
        if (const QVariant key = m_grids[tab]->currentKey(); !key.isNull() && m_dm->deleteClassifier(classifierOf(tab), key.toInt(), prompt))
            m_grids[tab]->requery();
        break;
    }
}

void TptCustomer::actionRefresh()
{
    const auto tab = Tab(currentTab());
    if (!m_opened[tab]) {
        openTab(tab);
        return;
    }
    switch (tab) {
    case PlaceKinds: m_kindTree->reload(); break;
    case Places: m_places->reload(); break;
    default: m_grids[tab]->requery(); break;
    }
}

void TptCustomer::editCustomer(int key)
{
    const auto tab = Tab(currentTab());
    TdlgCustomer card(context(), QString(), key, customerKind(), this);
    card.exec();
    if (card.savedKey() <= 0)
        return;
    m_models[tab]->requery();
    m_grids[tab]->locateKey(card.savedKey());
}

void TptCustomer::editClassifier(int key)
{
    const auto tab = Tab(currentTab());
    auto dialog = TdlgClassifier::create(classifierOf(tab), context().db, QString(), key, this);
    dialog->exec();
    if (dialog->savedKey() <= 0)
        return;
    m_models[tab]->requery();
    m_grids[tab]->locateKey(dialog->savedKey());
}

void TptCustomer::editPlaceKind(int key)
{
    int grade = 200;
    if (const auto id = m_kindTree->currentId()) {
        const QVariant g = m_kindModel->value(*id, QStringLiteral("grade"));
        if (!g.isNull() && g.toInt() != -1)
            grade = g.toInt();
    }
    TdlgPlaceKind dialog(context().db, QString(), key, grade, this);
    dialog.exec();
    if (dialog.savedKey() > 0 && m_kindTree->reload())
        m_kindTree->setCurrentId(dialog.savedKey());
}

void TptCustomer::editFilter()
{
    const int kind = customerKind();
    const auto tab = Tab(currentTab());
    TdlgFactoryFilter dialog(context().db, m_dm->filter(kind), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_dm->applyFilter(kind, dialog.filter());
    m_models[tab]->setStatement(m_dm->customerList(kind), TFactoryFilter::listOrder());
    m_opened[tab] = true;
    m_models[tab]->open();
}

// --- Places ---------------------------------------------------------------------

void TptCustomer::cutPlace()
{
    if (const auto key = m_places->currentKey())
        m_dm->cutPlace(*key);
    updateButtons();
}

void TptCustomer::pastePlaces(bool replace)
{
    const auto target = m_places->currentKey();
    if (!target || !m_dm->hasClipboard())
        return;
    TxMessages prompt(this);
    const auto run = replace ? m_dm->replacePlaces(*target, prompt) : m_dm->pastePlaces(*target, prompt);
    if (run)
        m_places->reload();
    updateButtons();
}

void TptCustomer::clearClipboard()
{
    m_dm->clearClipboard();
    updateButtons();
}

} // namespace korvex::customers
