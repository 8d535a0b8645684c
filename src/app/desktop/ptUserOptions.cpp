#include "ptUserOptions.h"

#include "shell/mmOptions.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLookupBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvex::shell {

TptUserOptions::TptUserOptions(TAppContext &context, QWidget *parent)
    : TPart(context, 111, parent)
{
    setTitles(QStringLiteral("ptUserOptions"), tr("Настройки"), tr("Настройки пользователя"));
    const TUserSettings loaded = TUserSettings::read(context.options);
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_location = korvex::widgets::newTableBox(context.db, QStringLiteral("rent_location"), QStringLiteral("id"),
                                              QStringLiteral("name"), QStringLiteral("LocationBox"), page);
    m_location->setMinimumWidth(300);
    m_location->setIntKey(loaded.LocationKey);
    form->addRow(tr("Место положения"), m_location);
    m_objectType = korvex::widgets::newTableBox(context.db, QStringLiteral("rent_objecttype"), QStringLiteral("id"),
                                                QStringLiteral("name"), QStringLiteral("ObjectTypeBox"), page);
    m_objectType->setMinimumWidth(300);
    m_objectType->setIntKey(loaded.ObjectTypeKey);
    form->addRow(tr("Тип объекта"), m_objectType);
    auto *pathRow = new QHBoxLayout;
    m_path = new QLineEdit(loaded.ContractPath, page);
    m_path->setObjectName(QStringLiteral("ContractPath"));
    m_path->setMinimumWidth(420);
    auto *browse = new QToolButton(page);
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, tr("Путь к каталогу, где будут храниться договора"),
                                                          m_path->text());
        if (!file.isEmpty())
            takeFolderOf(file);
    });
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    form->addRow(tr("Путь к каталогу, где будут храниться договора"), pathRow);
    column->addLayout(form);
    column->addStretch();
    addTab(tr("Настройки пользователя"), page);
    restorePlacement();
}

TptUserOptions::~TptUserOptions()
{
    korvex::widgets::guarded(parentWidget(), [this] { save(); });
}

void TptUserOptions::takeFolderOf(const QString &file)
{
    m_path->setText(QDir::toNativeSeparators(QFileInfo(file).absolutePath()));
}

TUserSettings TptUserOptions::settings() const
{
    TUserSettings s;
    s.LocationKey = m_location->intKey();
    s.ObjectTypeKey = m_objectType->intKey();
    s.ContractPath = m_path->text().trimmed();
    return s;
}

void TptUserOptions::save()
{
    settings().write(context().options);
}

} // namespace korvex::shell
