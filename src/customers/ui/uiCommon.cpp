#include "uiCommon.h"

#include "db/xDbError.h"
#include "widgets/ui/xMessages.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>

namespace korvex::customers {

QLabel *addHeading(QBoxLayout *layout, const QString &text)
{
    auto *heading = new QLabel(text);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    layout->addWidget(heading);
    return heading;
}

} // namespace korvex::customers
