#include "uiGuard.h"

#include "db/xDbError.h"
#include "widgets/ui/xMessages.h"

namespace korvex::customers {

bool guarded(QWidget *parent, const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const korvex::db::EDatabaseError &e) {
        korvex::widgets::TxMessages::error(parent, e.message());
    } catch (const std::exception &e) {
        korvex::widgets::TxMessages::error(parent, QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace korvex::customers
