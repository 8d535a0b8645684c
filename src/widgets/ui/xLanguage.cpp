#include "xLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace korvex::widgets {

namespace {

// Qt's Russian translation leaves the standard button "OK" in Latin letters;
// the program's message boxes say "ОК" like every other Russian program.
class TxButtonTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QPlatformTheme") != 0 && qstrcmp(context, "QMessageBox") != 0
            && qstrcmp(context, "QDialogButtonBox") != 0)
            return {};
        if (qstrcmp(sourceText, "OK") == 0)
            return QStringLiteral("ОК");
        if (qstrcmp(sourceText, "&OK") == 0)
            return QStringLiteral("&ОК");
        return {};
    }
};

} // namespace

bool setUpRussian(QCoreApplication &app)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto *qt = new QTranslator(&app);
    // Qt's folder first, then a "translations" folder beside the program
    // (an installation that brings its own copy).
    for (const QString &dir : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
        if (qt->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(qt);
            break;
        }
    }
    const bool loaded = !qt->isEmpty();
    if (!loaded)
        delete qt;
    // Installed last, asked first.
    QCoreApplication::installTranslator(new TxButtonTexts(&app));
    return loaded;
}

} // namespace korvex::widgets
