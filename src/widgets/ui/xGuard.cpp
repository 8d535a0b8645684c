#include "xGuard.h"

#include "xMessages.h"

#include "db/xBusinessError.h"
#include "db/xDbError.h"

#include <QWidget>

namespace korvex::widgets {

std::optional<QString> failureOf(const std::function<void()> &body)
{
    try {
        body();
        return std::nullopt;
    } catch (const korvex::db::EBusinessError &e) {
        return e.message();
    } catch (const korvex::db::EDatabaseError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QApplication::translate("TxApplication", "Неизвестная ошибка");
    }
}

bool guarded(QWidget *parent, const std::function<void()> &body)
{
    const std::optional<QString> failure = failureOf(body);
    if (failure)
        TxMessages::error(parent, *failure);
    return !failure;
}

TxApplication::TxApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool TxApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    guarded(QApplication::activeWindow(), [&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace korvex::widgets
