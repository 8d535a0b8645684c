#pragma once

#include "common/testDatabase.h"
#include "common/testPrompt.h"

#include "reference/referenceDialogs.h"
#include "shell/AppContext.h"
#include "shell/mmOptions.h"
#include "widgets/xPrompt.h"

#include <QWidget>

#include <functional>
#include <memory>

// A database with the program's schema (or the demo data), the options store
// and the context every business object takes.
struct ReferenceSession {
    explicit ReferenceSession(korvex::test::TestDatabase::Content content)
        : t(content)
        , options(t.db(), korvex::shell::TmmOptions::DefaultUserKey)
        , context{t.db(), options, nullptr}
    {
    }
    korvex::test::TestDatabase t;
    korvex::shell::TmmOptions options;
    korvex::shell::TAppContext context;
};

// A session with a window over which a subsystem's dialogs open (Windows:
// TReferenceWindows, TCalcWindows).
template<class Windows>
struct WindowedSession : ReferenceSession {
    explicit WindowedSession(korvex::test::TestDatabase::Content content)
        : ReferenceSession(content)
        , window(std::make_unique<QWidget>())
        , windows(window.get())
    {
    }
    std::unique_ptr<QWidget> window;
    Windows windows;
};

// Dialogs that record what they were asked and answer as told.
struct FakeDialogs : korvex::reference::TReferenceDialogs {
    korvex::test::TxPromptRecorder prompts{true};
    std::optional<korvex::reference::TRentObjectRecord> objectAsked;
    std::function<bool(korvex::reference::TObjectChoice &)> onChoose;

    korvex::widgets::TxPrompt &prompt() override { return prompts; }
    bool objectDialog(korvex::reference::TboRentObject &, korvex::reference::TRentObjectRecord &r, bool, int &) override
    {
        objectAsked = r;
        return false;
    }
    bool chooseObject(korvex::reference::TboRentObject &, korvex::reference::TObjectChoice &c) override
    {
        return onChoose ? onChoose(c) : false;
    }
};
