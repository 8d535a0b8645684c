#pragma once

namespace korvex::db {
class TxDatabase;
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
};

} // namespace korvex::shell
