#pragma once

#include <QApplication>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace korvex::widgets {

// THE guard of every slot, button handler and page action: runs body, and a
// failure - a business rule refused (EBusinessError), the database failed
// (EDatabaseError) or anything else thrown - is shown as an error box over
// parent and goes no further. Returns false when body failed.
//   connect(button, &QPushButton::clicked, this, [this] { guarded(this, [&] { doIt(); }); });
bool guarded(QWidget *parent, const std::function<void()> &body);

// Runs body and answers the text of its failure (none when it succeeded):
// for callers that show the failure their own way (the edit dialog).
std::optional<QString> failureOf(const std::function<void()> &body);

// The desktop program's application: an exception that still reaches the
// event loop is shown like any guarded failure instead of ending the
// program.
class TxApplication : public QApplication
{
    Q_OBJECT
public:
    TxApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace korvex::widgets
