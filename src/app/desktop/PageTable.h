#pragma once

#include "shell/AppContext.h"

#include <QString>
#include <functional>

class QWidget;

namespace korvex::widgets {
class TPart;
}

namespace korvex::shell {

// The pages of the main window by their codes. A code whose page is not built
// yet gets an empty frame with its caption.
struct TPageInfo {
    int code = 0;
    QString caption;
    std::function<korvex::widgets::TPart *(TAppContext &, QWidget *parent)> create;
    bool built = false;  // false: the empty frame of a page still to come
};

// Whether the code has a page of its own (not the empty frame).
bool pageBuilt(int code);

// The page of a code, or null for a code without a page.
const TPageInfo *pageInfo(int code);
QList<int> pageCodes();

} // namespace korvex::shell
