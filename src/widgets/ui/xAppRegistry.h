#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <memory>
#include <QPoint>
#include <QSize>
#include <optional>

class QWidget;

namespace korvex::widgets {

// The per-user store of window placements and tab indexes (grid layouts are
// kept per user in the database by the run-time store, TmmRunTimeStore):
// QSettings of organisation "Tarnwell Software" and the executable's name
// (the registry key "Software\Tarnwell Software\<program>" on Windows).
class TxAppRegistry
{
public:
    TxAppRegistry();

    // Deletes everything remembered, so every window returns to its design
    // placement ("/E" on the command line).
    static void forgetAll();
    // Handles the command-line switch: true when "/E" (any case) was given
    // and the store was cleared.
    static bool handleCommandLine(const QStringList &arguments);

    // The path of a component: its chain of owners up to the top window,
    // outermost first, joined by "/". A named object contributes its name; an
    // unnamed window with a non-zero "tag" property its class name without the
    // leading letter, " #" and the tag; any other unnamed object its class name
    // without the leading letter.
    static QString componentPath(const QObject *object);

    // Values that cannot be read count as missing.
    std::optional<int> readInt(const QString &path, const QString &name) const;
    std::optional<QString> readString(const QString &path, const QString &name) const;
    void writeInt(const QString &path, const QString &name, int value);
    void writeString(const QString &path, const QString &name, const QString &value);

    QSettings &settings() { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_settings;
};

// Gives a window its size (never larger than its screen) and its place: the
// stored top-left corner of its client area, brought back onto the screen
// when it lies off it; with nothing stored a top-level window is centred on
// its screen and a window with a parent is left for Qt to centre over it.
void placeWindow(QWidget *window, QSize size, std::optional<QPoint> stored);

// Restores a form's placement and the current tab of the tab widgets and
// stacks of pages (a page's tabs) it owns, and saves them again. Forms call restore() once they are built and
// save() before they go (pages and edit dialogs do so themselves).
class TFormPlaceSaver : public QObject
{
    Q_OBJECT
public:
    // formOnly: only the form's own placement, not its components.
    explicit TFormPlaceSaver(QWidget *form, bool formOnly = false);

    void restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restoreForm(TxAppRegistry &reg);
    void saveForm(TxAppRegistry &reg);
    void restoreComponents(TxAppRegistry &reg);
    void saveComponents(TxAppRegistry &reg);

    QWidget *m_form;
    bool m_formOnly;
    bool m_saved = false;
};

} // namespace korvex::widgets
