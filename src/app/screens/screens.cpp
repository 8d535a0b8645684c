// korvex-screens: a picture of every page and every dialog, for developers
// who change the interface (scripts/screenshots.sh builds and runs it).
//
//   korvex-screens --db PATH --out DIR [--only NAME...]
//
// Every page of the page table is shown in the main window, one picture per
// tab ("page-<code>-<tab>.png"); no line is needed for a new page. Dialogs,
// messages and other screens come from the table `screens` below: one line
// each, a file name, the page to start on and the steps that open it. Each
// picture carries a strip with the window's title and the field that has the
// keyboard focus, as a user would see them.
#include "app/desktop/AppStart.h"
#include "app/desktop/LoginPropDialog.h"
#include "app/desktop/MAINFORM_UNIT.h"
#include "app/desktop/PageTable.h"
#include "app/desktop/UserLoginDialog.h"
#include "calc/ui/dlgRentChooseVariable.h"
#include "customers/ui/dlgCustomerList.h"
#include "pricing/ui/dlgRentCSReckoning.h"
#include "pricing/ui/dlgRentMakeReckoning.h"
#include "reference/boRentService.h"
#include "reference/ui/dlgRentService.h"
#include "db/xConnectionParams.h"
#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xStoredProc.h"
#include "shell/UserLogin.h"
#include "shell/mmOptions.h"
#include "widgets/ui/Part.h"
#include "widgets/ui/xGuard.h"
#include "widgets/ui/xLanguage.h"
#include "widgets/ui/xMessages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

using namespace korvex::shell;
using korvex::widgets::TPart;

// One picture: its file name (without ".png"), the page code to start on
// (0: the start screen) and the steps, run in order:
//   tab:N              the page's tab N (from 0)
//   select:TEXT        makes the row showing TEXT current in the list of the
//                      top window (the page's current tab, or the dialog)
//   enter:TEXT         selects the row and presses Enter on it
//   action:NAME        a standard page action: add, child, edit, delete, refresh
//   click:TEXT         clicks the button with this text ("&" ignored) or name
//   type:NAME=TEXT     types TEXT into the field named NAME
//   key:NAME           presses Tab, Return, Escape, Down or Space
//   open:NAME          one of the program's own windows (openers below)
//   menu:TEXT          triggers the enabled action with this text (a page's
//                      menu, a list's context menu, a dialog's action)
//   shot:NAME          a picture now, of the topmost window, as NAME.png
// The picture is taken of the topmost window once the steps have run.
struct TScreen {
    QString file;
    int page;
    QStringList steps;
};

// clang-format off
const QList<TScreen> screens = {
    {QStringLiteral("main-start"), 0, {}},
    {QStringLiteral("login"), 0, {QStringLiteral("open:login")}},
    {QStringLiteral("login-properties"), 0, {QStringLiteral("open:loginprops")}},
    {QStringLiteral("startup-in-use"), 0, {QStringLiteral("open:startup-in-use")}},
    {QStringLiteral("startup-not-found"), 0, {QStringLiteral("open:startup-not-found")}},
    {QStringLiteral("startup-foreign"), 0, {QStringLiteral("open:startup-foreign")}},
    {QStringLiteral("startup-bad-params"), 0, {QStringLiteral("open:startup-bad-params")}},
    {QStringLiteral("startup-refused"), 0, {QStringLiteral("open:startup-refused")}},
    // Objects
    {QStringLiteral("object-new"), 60, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("object-edit"), 60, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    {QStringLiteral("object-bad-number"), 60, {QStringLiteral("tab:0"), QStringLiteral("action:edit"),
        QStringLiteral("type:coef3=abc"), QStringLiteral("click:Ок")}},
    {QStringLiteral("object-delete"), 60, {QStringLiteral("tab:0"), QStringLiteral("action:delete")}},
    {QStringLiteral("object-new-location"), 60, {QStringLiteral("tab:0"), QStringLiteral("action:edit"), QStringLiteral("click:М")}},
    {QStringLiteral("location-new"), 60, {QStringLiteral("tab:3"), QStringLiteral("action:add")}},
    // Currencies and rates
    {QStringLiteral("rate-new"), 300, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("currency-new"), 300, {QStringLiteral("tab:1"), QStringLiteral("action:add")}},
    {QStringLiteral("currency-edit"), 300, {QStringLiteral("tab:1"), QStringLiteral("action:edit")}},
    // Services and price lists
    {QStringLiteral("service-new"), 725, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("service-edit"), 725, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    {QStringLiteral("servicecost-new"), 832, {QStringLiteral("action:add")}},
    {QStringLiteral("servicecost-edit"), 832, {QStringLiteral("action:edit")}},
    // Reckoning types, variables, SQL
    {QStringLiteral("reckoning-new"), 196, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("reckoning-edit"), 196, {QStringLiteral("tab:0"), QStringLiteral("select:Машиноместо"), QStringLiteral("action:edit")}},
    {QStringLiteral("variable-chooser"), 196, {QStringLiteral("open:variable-chooser")}},
    {QStringLiteral("variable-new"), 120, {QStringLiteral("tab:1"), QStringLiteral("action:add")}},
    {QStringLiteral("variable-edit"), 120, {QStringLiteral("tab:1"), QStringLiteral("action:edit")}},
    {QStringLiteral("valuevariable-new"), 120, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("valuevariable-edit"), 120, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    // Customers
    {QStringLiteral("customer-new"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("customer-edit"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    {QStringLiteral("customer-empty-save"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:add"), QStringLiteral("click:Готово")}},
    {QStringLiteral("customer-filter"), 918, {QStringLiteral("tab:0"), QStringLiteral("click:Фильтр...")}},
    {QStringLiteral("service-operations"), 725, {QStringLiteral("tab:0"), QStringLiteral("action:edit"), QStringLiteral("click:Операции")}},
    {QStringLiteral("object-chooser"), 832, {QStringLiteral("action:add"), QStringLiteral("click:...")}},
    {QStringLiteral("service-chooser"), 0, {QStringLiteral("open:service-chooser")}},
    {QStringLiteral("price-reckoning"), 0, {QStringLiteral("open:make-reckoning")}},
    {QStringLiteral("position-reckoning"), 0, {QStringLiteral("open:position-reckoning")}},
    {QStringLiteral("values-assign"), 120, {QStringLiteral("tab:0"), QStringLiteral("menu:Выделить все в верхнем уровне"),
        QStringLiteral("menu:Присвоение переменным значения")}},
    {QStringLiteral("values-by-customers"), 120, {QStringLiteral("tab:1"), QStringLiteral("select:ПЕНЯ"),
        QStringLiteral("menu:Формирование переменных по клиентам")}},
    {QStringLiteral("customer-address"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:edit"), QStringLiteral("click:Адрес...")}},
    {QStringLiteral("customer-codes"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:edit"), QStringLiteral("click:Вперед")}},
    {QStringLiteral("customer-bank-account"), 918, {QStringLiteral("tab:0"), QStringLiteral("action:edit"), QStringLiteral("click:Вперед"),
        QStringLiteral("click:Добавить...")}},
    {QStringLiteral("classifier-new"), 918, {QStringLiteral("tab:4"), QStringLiteral("action:add")}},
    {QStringLiteral("place-new"), 918, {QStringLiteral("tab:3"), QStringLiteral("action:add")}},
    {QStringLiteral("customer-list"), 0, {QStringLiteral("open:customer-list")}},
    {QStringLiteral("customer-attributes"), 0, {QStringLiteral("open:customer-list"), QStringLiteral("select:ЗАО «Белпромснаб»"),
        QStringLiteral("click:Аттрибуты")}},
    // Contracts, debts, pay bills and violations
    {QStringLiteral("contract-new"), 10, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("contract-edit"), 10, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    {QStringLiteral("contract-filter"), 10, {QStringLiteral("tab:0"), QStringLiteral("menu:Фильтр")}},
    {QStringLiteral("contract-position-new"), 10, {QStringLiteral("tab:1"), QStringLiteral("action:add")}},
    {QStringLiteral("contract-supplement-new"), 10, {QStringLiteral("tab:3"), QStringLiteral("action:add")}},
    {QStringLiteral("debt-filter"), 190, {QStringLiteral("menu:Фильтр")}},
    {QStringLiteral("paybill-new"), 30, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    {QStringLiteral("paybill-edit"), 30, {QStringLiteral("tab:0"), QStringLiteral("action:edit")}},
    {QStringLiteral("violation-new"), 90, {QStringLiteral("tab:0"), QStringLiteral("action:add")}},
    // References and settings
    {QStringLiteral("denomination"), 916, {QStringLiteral("enter:Деноминация")}},
    {QStringLiteral("object-plan"), 916, {QStringLiteral("enter:Визуальное отображение объектов")}},
    {QStringLiteral("options-take-over-customers"), 100, {QStringLiteral("enter:Синхронизация клиентов из Бугалтерии")}},
    {QStringLiteral("options-export"), 100, {QStringLiteral("enter:Экспорт данных в бухгалтерию")}},
    {QStringLiteral("options-rebuild-debts"), 100, {QStringLiteral("enter:Перерасчет задолженностей")}},
    {QStringLiteral("options-delete-operations"), 100, {QStringLiteral("enter:Удаление операций за период")}},
};
// clang-format on

QString plain(QString text)
{
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

// The window a step works on: the topmost modal window, else the page.
QWidget *topWindow(TAPPMAINFORM &form)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (TPart *page = form.currentPage())
        return page;
    return &form;
}

QAbstractItemView *listOf(QWidget *top)
{
    if (auto *page = qobject_cast<TPart *>(top)) {
        // The view on the page's current tab.
        for (QAbstractItemView *v : page->findChildren<QAbstractItemView *>()) {
            if (v->isVisible() && v->objectName() != QLatin1String("PartTabs"))
                return v;
        }
        return nullptr;
    }
    for (QAbstractItemView *v : top->findChildren<QAbstractItemView *>()) {
        if (v->isVisible())
            return v;
    }
    return nullptr;
}

QModelIndex findText(QAbstractItemModel *model, const QString &text, const QModelIndex &parent = {})
{
    for (int r = 0; r < model->rowCount(parent); ++r) {
        for (int c = 0; c < model->columnCount(parent); ++c) {
            const QModelIndex i = model->index(r, c, parent);
            if (i.data().toString().trimmed() == text)
                return i;
        }
        const QModelIndex first = model->index(r, 0, parent);
        if (model->hasChildren(first)) {
            if (QModelIndex found = findText(model, text, first); found.isValid())
                return found;
        }
    }
    return {};
}

// A message box of the start-up, as the desktop program shows it.
void startupMessage(const QString &text)
{
    korvex::widgets::TxMessages::error(nullptr, text, QObject::tr("Аренда Корвекса"));
}

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform's complaints about window hints are no news.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

class TScreenRunner : public QObject
{
public:
    TScreenRunner(TAPPMAINFORM &form, TAppContext &context, TUserLogin &login, const QString &version,
                  const QString &dbPath, QString outDir)
        : m_form(form)
        , m_context(context)
        , m_db(context.db)
        , m_login(login)
        , m_version(version)
        , m_dbPath(dbPath)
        , m_out(std::move(outDir))
    {
        m_openers = {
            {QStringLiteral("login"), [this] { TUserLoginDialog(m_login, &m_form).exec(); }},
            {QStringLiteral("loginprops"), [this] { TLoginPropDialog(m_login, m_version, &m_form).exec(); }},
            {QStringLiteral("startup-in-use"), [this] {
                 startupMessage(startupFailureText(
                     korvex::db::EDatabaseError(korvex::db::EDatabaseError::Kind::DatabaseInUse, m_dbPath, QString())));
             }},
            {QStringLiteral("startup-not-found"), [this] { startupMessage(probeOpen(m_scratch.filePath(QStringLiteral("missing.fdb")))); }},
            {QStringLiteral("startup-foreign"), [this] { startupMessage(probeOpen(scratchFile(QStringLiteral("letter.txt"), QByteArray("Dear colleagues,\n").repeated(400)))); }},
            {QStringLiteral("startup-bad-params"), [this] {
                 korvex::db::TxConnectionParams params;
                 try {
                     params.loadFromFile(scratchFile(QStringLiteral("domira.dat"), "SERVER NAME=/data/korvex.fdb\nOPEN MODE=READ/WRITE\nывапролд\n"));
                 } catch (const korvex::db::EDatabaseError &e) {
                     startupMessage(startupFailureText(e));
                 }
             }},
            {QStringLiteral("variable-chooser"), [this] {
                 korvex::calc::TdlgRentChooseVariable(m_db, &m_form).exec();
             }},
            {QStringLiteral("customer-list"), [this] { korvex::customers::TdlgCustomerList(m_db, &m_form).exec(); }},
            {QStringLiteral("service-chooser"), [this] {
                 korvex::reference::TboRentService services(m_context);
                 QList<int> keys;
                 korvex::reference::TdlgRentChooseService(services, keys, &m_form).exec();
             }},
            {QStringLiteral("make-reckoning"), [this] { korvex::calc::TdlgRentMakeReckoning(m_context, 1, 100, 7, &m_form).exec(); }},
            {QStringLiteral("position-reckoning"), [this] {
                 korvex::calc::TContractServiceEdit row;
                 row.id = 1;
                 korvex::calc::TdlgRentCSReckoning(m_context, row, 3.265, &m_form).exec();
             }},
            {QStringLiteral("startup-refused"), [] { startupMessage(TUserLogin::startupFailedMessage()); }},
        };
        for (const TScreen &s : screens)
            m_queue << s;
    }

    void setOnly(const QStringList &only) { m_only = only; }

    // What opening the file as the database says, on a connection of its own.
    static QString probeOpen(const QString &path)
    {
        korvex::db::TxDatabase probe(QStringLiteral("screens-probe"));
        korvex::db::TxConnectionParams params;
        params.setServerName(path);
        try {
            probe.open(params, QStringLiteral("SYSDBA"), QString());
        } catch (const korvex::db::EDatabaseError &e) {
            return startupFailureText(e);
        }
        return QStringLiteral("(opened)");
    }

    QString scratchFile(const QString &name, const QByteArray &text)
    {
        QFile file(m_scratch.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
        return file.fileName();
    }

    // The pages of the page table, one picture per tab, before the table's
    // screens.
    void addPages()
    {
        QList<TScreen> pages;
        for (int code : pageCodes())
            pages << TScreen{QStringLiteral("page-%1").arg(code, 3, 10, QLatin1Char('0')), code, {QStringLiteral("tabs")}};
        m_queue = pages + m_queue;
    }

    void start() { QTimer::singleShot(0, this, [this] { nextScreen(); }); }
    int failures() const { return m_failures; }

private:
    void nextScreen()
    {
        while (!m_queue.isEmpty() && !m_only.isEmpty() && !m_only.contains(m_queue.first().file))
            m_queue.removeFirst();
        if (m_queue.isEmpty()) {
            QApplication::quit();
            return;
        }
        m_current = m_queue.takeFirst();
        m_step = 0;
        korvex::widgets::guarded(&m_form, [this] {
            if (m_form.currentPageCode() != m_current.page) {
                if (m_form.currentPageCode() >= 0)
                    m_form.switchToPage(m_form.currentPageCode());  // a second switch closes it
                if (m_current.page > 0)
                    m_form.switchToPage(m_current.page);
            }
        });
        // "tabs": a picture of every tab of the page just opened.
        if (m_current.steps == QStringList{QStringLiteral("tabs")}) {
            m_current.steps.clear();
            const int count = m_form.currentPage() ? int(m_form.currentPage()->tabList()->count()) : 0;
            for (int t = 0; t < count; ++t)
                m_current.steps << QStringLiteral("tab:%1").arg(t)
                                << QStringLiteral("shot:%1").arg(count == 1 ? m_current.file
                                                                           : QStringLiteral("%1-%2").arg(m_current.file).arg(t));
            if (count > 1)
                m_current.steps << QStringLiteral("tab:0");
        }
        QTimer::singleShot(settle, this, [this] { nextStep(); });
    }

    void nextStep()
    {
        if (m_step >= m_current.steps.size()) {
            QTimer::singleShot(settle, this, [this] { finishScreen(); });
            return;
        }
        const QString step = m_current.steps.at(m_step++);
        // Scheduled before the step runs: a step that opens a modal window
        // returns only when that window closes.
        QTimer::singleShot(settle, this, [this] { nextStep(); });
        if (!perform(step))
            fail(QStringLiteral("step \"%1\" found nothing").arg(step));
    }

    bool perform(const QString &step)
    {
        const qsizetype colon = step.indexOf(QLatin1Char(':'));
        const QString verb = colon < 0 ? step : step.left(colon);
        const QString arg = colon < 0 ? QString() : step.mid(colon + 1);
        QWidget *top = topWindow(m_form);
        if (verb == QLatin1String("shot")) {
            save(top->window(), arg);
            m_pictured = true;
            return true;
        }
        if (verb == QLatin1String("tab")) {
            TPart *page = m_form.currentPage();
            if (!page || arg.toInt() >= page->tabList()->count())
                return false;
            page->setCurrentTab(arg.toInt());
            return true;
        }
        if (verb == QLatin1String("select") || verb == QLatin1String("enter")) {
            QAbstractItemView *view = listOf(top);
            if (!view || !view->model())
                return false;
            const QModelIndex i = findText(view->model(), arg);
            if (!i.isValid())
                return false;
            view->setCurrentIndex(i);
            view->setFocus();
            if (verb == QLatin1String("enter")) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(view, &press);
            }
            return true;
        }
        if (verb == QLatin1String("action")) {
            static const QHash<QString, TPart::Action> actions = {
                {QStringLiteral("add"), TPart::Action::Add},       {QStringLiteral("child"), TPart::Action::AddChild},
                {QStringLiteral("edit"), TPart::Action::Edit},     {QStringLiteral("delete"), TPart::Action::Delete},
                {QStringLiteral("refresh"), TPart::Action::Refresh},
            };
            TPart *page = m_form.currentPage();
            if (!page || !actions.contains(arg))
                return false;
            page->trigger(actions.value(arg));
            return true;
        }
        if (verb == QLatin1String("click")) {
            for (QAbstractButton *b : top->findChildren<QAbstractButton *>()) {
                if (b->isVisible() && (plain(b->text()) == plain(arg) || b->objectName() == arg)) {
                    b->setFocus(Qt::MouseFocusReason);
                    b->click();
                    return true;
                }
            }
            return false;
        }
        if (verb == QLatin1String("type")) {
            const QString name = arg.section(QLatin1Char('='), 0, 0);
            auto *edit = top->findChild<QLineEdit *>(name);
            if (!edit)
                return false;
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            edit->insert(arg.section(QLatin1Char('='), 1));
            return true;
        }
        if (verb == QLatin1String("menu")) {
            for (QAction *a : top->findChildren<QAction *>()) {
                if (a->isEnabled() && plain(a->text()) == plain(arg)) {
                    a->trigger();
                    return true;
                }
            }
            return false;
        }
        if (verb == QLatin1String("key")) {
            static const QHash<QString, int> keys = {
                {QStringLiteral("Tab"), Qt::Key_Tab},       {QStringLiteral("Return"), Qt::Key_Return},
                {QStringLiteral("Escape"), Qt::Key_Escape}, {QStringLiteral("Down"), Qt::Key_Down},
                {QStringLiteral("Space"), Qt::Key_Space},
            };
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : top;
            if (!keys.contains(arg))
                return false;
            QKeyEvent press(QEvent::KeyPress, keys.value(arg), Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, keys.value(arg), Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
            return true;
        }
        if (verb == QLatin1String("open")) {
            if (!m_openers.contains(arg))
                return false;
            m_openers.value(arg)();
            return true;
        }
        return false;
    }

    void finishScreen()
    {
        if (!m_pictured)
            save(topWindow(m_form)->window(), m_current.file);
        m_pictured = false;
        // Close every modal window, innermost first; their exec() calls
        // return as the event loop unwinds.
        for (int i = 0; i < 20; ++i) {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                break;
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->done(QMessageBox::Cancel);
            else if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(QDialog::Rejected);  // also those that refuse Escape
            else
                modal->close();
        }
        QTimer::singleShot(settle, this, [this] { nextScreen(); });
    }

    static QString focusName()
    {
        QWidget *f = QApplication::focusWidget();
        if (!f)
            return QStringLiteral("—");
        // The label of a field in a form (the field or the box it is in),
        // else its name, else its text.
        const QList<QFormLayout *> forms = f->window()->findChildren<QFormLayout *>();
        for (QWidget *w = f; w && !w->isWindow(); w = w->parentWidget()) {
            for (QFormLayout *form : forms) {
                if (auto *label = qobject_cast<QLabel *>(form->labelForField(w)))
                    return plain(label->text());
            }
        }
        if (auto *b = qobject_cast<QAbstractButton *>(f))
            return QStringLiteral("«%1»").arg(plain(b->text()));
        return f->objectName().isEmpty() ? QString::fromLatin1(f->metaObject()->className()) : f->objectName();
    }

    // The window with a strip above it: its title, and where the focus is.
    void save(QWidget *window, const QString &file)
    {
        const QPixmap shot = window->grab();
        const int strip = window->fontMetrics().height() + 10;
        QImage image(shot.width(), shot.height() + strip, QImage::Format_RGB32);
        image.fill(QColor(0x3a, 0x3a, 0x3a));
        {
            QPainter p(&image);
            p.setPen(Qt::white);
            p.setFont(window->font());
            const QString title = window->windowTitle() + QStringLiteral("    [фокус: %1]").arg(focusName());
            p.drawText(QRect(8, 0, shot.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft, title);
            p.drawPixmap(0, strip, shot);
        }
        const QString path = QDir(m_out).filePath(file + QStringLiteral(".png"));
        if (!image.save(path))
            fail(QStringLiteral("cannot write %1").arg(path));
        else
            std::printf("%s\n", qPrintable(path));
    }

    void fail(const QString &why)
    {
        ++m_failures;
        std::fprintf(stderr, "%s: %s\n", qPrintable(m_current.file), qPrintable(why));
    }

    static constexpr int settle = 150;

    TAPPMAINFORM &m_form;
    TAppContext &m_context;
    korvex::db::TxDatabase &m_db;
    TUserLogin &m_login;
    QString m_version;
    QString m_dbPath;
    QString m_out;
    QStringList m_only;
    QHash<QString, std::function<void()>> m_openers;
    QTemporaryDir m_scratch;
    QList<TScreen> m_queue;
    TScreen m_current;
    int m_step = 0;
    bool m_pictured = false;
    int m_failures = 0;
};

} // namespace

int main(int argc, char **argv)
{
    g_previousHandler = qInstallMessageHandler(quietHandler);
    korvex::widgets::TxApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwell Software"));
    QApplication::setApplicationName(QStringLiteral("korvex-screens"));
    korvex::widgets::setUpRussian(app);

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption dbOpt(QStringLiteral("db"), QStringLiteral("The demonstration database."), QStringLiteral("path"));
    QCommandLineOption outOpt(QStringLiteral("out"), QStringLiteral("Folder for the pictures."), QStringLiteral("dir"));
    QCommandLineOption onlyOpt(QStringLiteral("only"), QStringLiteral("Only these pictures (file names without .png)."),
                               QStringLiteral("name"));
    parser.addOptions({dbOpt, outOpt, onlyOpt});
    parser.process(app);
    if (!parser.isSet(dbOpt) || !parser.isSet(outOpt)) {
        std::fprintf(stderr, "Usage: korvex-screens --db PATH --out DIR [--only NAME...]\n");
        return 2;
    }
    QDir().mkpath(parser.value(outOpt));

    // Remembered placements of a run of its own: every window opens as on a
    // first start.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());

    TUserLogin login;
    login.Params.setServerName(parser.value(dbOpt));
    QString version;
    korvex::db::TxDatabase db(korvex::db::TxDatabase::defaultConnectionName());
    try {
        if (!login.connectStartup())
            throw korvex::db::EDatabaseError(login.lastError());
        if (login.tryLogin(QStringLiteral("230"), QStringLiteral("admin"), QStringLiteral("admin")) != TUserLogin::Accepted)
            throw korvex::db::EDatabaseError(QStringLiteral("the demonstration user admin was refused"));
        login.connectWorking(db);
        korvex::db::TxStoredProc proc(db, QStringLiteral("fin_p_ver_getdbversion"));
        proc.execute();
        version = proc.output(QStringLiteral("VersionString")).toString();
    } catch (const korvex::db::EDatabaseError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }

    TmmOptions options(db, login.UserKey);
    TAppContext context{db, options, &login};
    TAPPMAINFORM form(context);
    form.resize(1280, 800);
    form.show();

    TScreenRunner runner(form, context, login, version, parser.value(dbOpt), parser.value(outOpt));
    runner.setOnly(parser.values(onlyOpt));
    runner.addPages();
    runner.start();
    app.exec();
    return runner.failures() == 0 ? 0 : 1;
}
