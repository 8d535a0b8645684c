#include "xConfirmDelete.h"

#include "xPrompt.h"

#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <QCoreApplication>

namespace korvex::widgets {

using namespace korvex::db;

bool confirmAndDelete(TxDatabase &db, TxPrompt &prompt, const TDeleteTexts &texts, const QString &sql,
                      const QVariantList &values)
{
    return confirmAndDelete(db, prompt, texts, QList<TDeleteStatement>{{sql, values}});
}

bool confirmAndDelete(TxDatabase &db, TxPrompt &prompt, const TDeleteTexts &texts,
                      const QList<TDeleteStatement> &statements)
{
    if (!prompt.confirm(texts.question, texts.questionCaption))
        return false;
    try {
        // Inside the caller's transaction a refused statement must not leave
        // the earlier ones done.
        TxWriteScope scope(db);
        for (const TDeleteStatement &s : statements)
            TxQuery::execute(db, s.sql, s.values);
        scope.commit();
    } catch (const EDatabaseError &e) {
        if (!e.isInUse())
            throw;
        prompt.warning(texts.inUse, texts.inUseCaption);
        return false;
    }
    return true;
}

TDeleteTexts recordDeleteTexts()
{
    auto tr = [](const char *s) { return QCoreApplication::translate("TboRentObject", s); };
    const QString caption = TxPrompt::attention();
    return {tr("Удалить запись?"), caption, tr("Данная запись уже где-то используется!"), caption};
}

} // namespace korvex::widgets
