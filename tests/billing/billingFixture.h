#pragma once

#include "common/testDatabase.h"
#include "common/testPrompt.h"

#include "billing/billingDialogs.h"
#include "db/xQuery.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"

#include <functional>

// A database with the program's schema (or the demo data), the options store
// and the context every business object takes.
struct BillingSession {
    explicit BillingSession(korvex::test::TestDatabase::Content content = korvex::test::TestDatabase::Content::Demo)
        : t(content)
        , options(t.db(), korvex::shell::TmmOptions::DefaultUserKey)
        , context{t.db(), options, nullptr}
    {
    }
    korvex::db::TxDatabase &db() { return t.db(); }
    QVariant scalar(const QString &sql, const QVariantList &values = {})
    {
        return korvex::db::TxQuery::scalar(t.db(), sql, values);
    }
    int useful(int objectKey) { return scalar(QStringLiteral("SELECT useful FROM rent_object WHERE id = ?"), {objectKey}).toInt(); }

    korvex::test::TestDatabase t;
    korvex::shell::TmmOptions options;
    korvex::shell::TAppContext context;
};

// The billing port of a business object under test: records the questions
// and hands each dialog to a handler (none: "cancelled").
struct FakeBillingDialogs : korvex::billing::TBillingDialogs {
    korvex::test::TxPromptRecorder prompts{true};
    std::function<bool(korvex::billing::TboRentContract &, korvex::billing::TContractEdit &, int &)> onContract;
    int contractDialogs = 0;

    korvex::widgets::TxPrompt &prompt() override { return prompts; }
    bool contractDialog(korvex::billing::TboRentContract &bo, korvex::billing::TContractEdit &edit, int &savedKey) override
    {
        ++contractDialogs;
        return onContract ? onContract(bo, edit, savedKey) : false;
    }
};

// A contract dialog that saves the edit as it was handed over.
inline bool saveAsGiven(korvex::billing::TboRentContract &bo, korvex::billing::TContractEdit &edit, int &savedKey)
{
    savedKey = bo.writeContract(edit);
    return true;
}
