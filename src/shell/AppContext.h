#pragma once

namespace korvex::db {
class TxDatabase;
}
namespace korvex::accounting {
class TCustomerSyncLink;
}

namespace korvex::shell {

class TmmOptions;
class TUserLogin;

// What every page, business object and dialog of a session works with: the
// connection, the options store and the login. Passed in, never looked up.
struct TAppContext {
    korvex::db::TxDatabase &db;
    TmmOptions &options;
    const TUserLogin *login = nullptr;
    // The program's one customer synchronisation with the bookkeeping
    // system, set by the main window; null where there is none (tests, the
    // command-line tool), and then nothing is synchronised.
    korvex::accounting::TCustomerSyncLink *customerSync = nullptr;
};

} // namespace korvex::shell
