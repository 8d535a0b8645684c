// Building a report: sections over their data sets, groups, sums, bands
// filled and appended to the output.

#include "xReport.h"

#include "calc/xCalc.h"
#include "xReportData.h"
#include "xRTFMessages.h"
#include "xRTFProgress.h"
#include "xRTFWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <cmath>
#include <optional>

namespace korvex::documents {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TxReport", text);
}

TxReportDisplay *g_display = nullptr;

const QString kErrorMark = QStringLiteral(">>Ошибка<<");

} // namespace

TxReportDisplay::~TxReportDisplay()
{
    if (g_display == this)
        g_display = nullptr;
}

TxReportDisplay *TxReportDisplay::shared()
{
    return g_display;
}

void TxReportDisplay::setShared(TxReportDisplay *display)
{
    g_display = display;
}

// ---------------------------------------------------------------------------

TxReport::TxReport(QObject *owner)
    : QObject(owner)
    , m_calc(std::make_unique<korvex::calc::TxFoCal>())
{
    m_clock = [timer = std::make_shared<QElapsedTimer>()]() {
        if (!timer->isValid())
            timer->start();
        return timer->elapsed();
    };
}

TxReport::~TxReport() = default;

void TxReport::AddDataSource(const QString &name, TxReportDataSource *source)
{
    m_sources.insert(name.toLower(), source);
}

void TxReport::SetSectionData(const QString &section, TxReportDataSource *source)
{
    AddDataSource(section, source);
    m_dataSources.setValue(section, QLatin1Char('\'') + section + QLatin1Char('\''));
}

TxReportDataSource *TxReport::findDataSource(const QString &name) const
{
    return m_sources.value(name.toLower(), nullptr);
}

TxReportDisplay *TxReport::display() const
{
    return m_display ? m_display : TxReportDisplay::shared();
}

QString TxReport::expandPathMacros(const QString &path)
{
    QString p = path;
    if (p.size() >= 2 && p[0] == QLatin1Char('%') && p[1].isLetter()) {
        const QChar m = p[1].toUpper();
        QString dir;
        bool known = true;
        if (m == QLatin1Char('X')) {
            p = p.mid(2);
            known = false;
        } else if (m == QLatin1Char('D')) {
            dir = QCoreApplication::applicationDirPath();
        } else if (m == QLatin1Char('T')) {
            dir = QDir::tempPath();
        } else if (m == QLatin1Char('S')) {
#ifdef Q_OS_WIN
            dir = qEnvironmentVariable("SystemRoot") + QStringLiteral("\\System32");
#else
            dir = QStringLiteral("/usr/share");
#endif
        } else if (m == QLatin1Char('W')) {
#ifdef Q_OS_WIN
            dir = qEnvironmentVariable("SystemRoot");
#else
            dir = QStringLiteral("/etc");
#endif
        } else {
            known = false;
        }
        if (known) {
            if (p.size() == 2)
                p += QLatin1Char('/');
            while (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
                dir.chop(1);
            p = dir + p.mid(2);
        }
    }
#ifndef Q_OS_WIN
    // Paths stored by Windows workstations.
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return p;
}

QString TxReport::FormFilePath() const
{
    // There is no design time in this program: the run-time folder applies.
    const QString dir = m_runTimePath;
    QString path = m_formFile;
    if (!dir.isEmpty()) {
        const bool delimited = dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'));
        path = dir + (delimited ? QString() : QStringLiteral("/")) + m_formFile;
    }
    return expandPathMacros(path);
}

QString TxReport::PreviewCaption() const
{
    if (m_caption.isEmpty())
        return tr("Отчет по файлу ") + FormFilePath();
    QString caption = m_caption;
    return caption.replace(QStringLiteral("%s"), FormFilePath());
}

// ---------------------------------------------------------------------------
// Build

bool TxReport::Execute()
{
    if (m_busy)
        throw ExReport(tr("Отчет уже строится."));
    const QString templatePath = FormFilePath();
    if (m_requireTemplate && !QFileInfo(templatePath).isFile())
        throw ExReport(tr("Файл формы %1 не найден...").arg(templatePath));
    m_busy = true;
    struct Idle {
        bool &busy;
        ~Idle() { busy = false; }
    } idle{m_busy};
    for (;;) {
        m_terminated = false;
        m_restart = false;
        const bool done = build();
        if (!m_restart)
            return done;
        // The slow-down rescue: build again straight into the file chosen.
        m_destination = dsFile;
        m_outputFile = m_restartFile;
    }
}

bool TxReport::build()
{
    struct Cleanup {
        TxReport &r;
        ~Cleanup()
        {
            r.m_writer.reset();  // unfinished: the file is dropped
            r.m_section = nullptr;
            r.m_source = nullptr;
            r.m_dataBand = r.m_tableHeader = r.m_rowBand = r.m_tableEnd = Band();
            r.m_groupHeaders.clear();
            r.m_groupFooters.clear();
            r.m_template.reset();
            r.m_output.reset();
        }
    } cleanup{*this};

    m_template = std::make_unique<TxReportRTF>();
    m_output = std::make_unique<TxRTFFile>();
    m_samples.clear();
    m_paused = 0;
    m_baseline = 0;
    std::optional<TRTFProgressScope> progress;
    progress.emplace(tr("Создание отчета"), QString(), 0, tr("Прервать создание отчета?"));

    if (m_destination == dsFile) {
        const QString file = expandPathMacros(m_outputFile);
        m_writer = std::make_unique<TxRTFWriter>(file);
        if (!m_writer->isOpen())
            throw ExReport(tr("Невозможно создать файл '%1'").arg(file));
    }
    if (!LoadTemplate())
        return false;
    for (int i = 0; i < int(m_template->sections.size()); ++i) {
        checkCancelled();
        if (m_terminated)
            break;
        ProcessSection(i);
    }
    if (m_terminated)
        return false;  // cancelled, or rebuilt into a file: nothing is handed on
    if (m_writer) {
        m_writer->finish();
        m_writer.reset();
    }
    progress.reset();

    if (m_onReportReady)
        m_onReportReady(*this, m_output);
    if (m_destination == dsScreen) {
        Preview();
    } else if (m_destination == dsPrinter && m_output) {
        TxReportDisplay *d = display();
        if (!d)
            throw ExReport(tr("Печать отчета недоступна."));
        d->print(*m_output, m_showPrintDialog);
    }
    return true;
}

bool TxReport::LoadTemplate()
{
    if (!m_template->LoadFromFile(FormFilePath())) {
        if (m_options.testFlag(frMsgIfTerminated))
            TxRTFMessages::shared().information(tr("Отчет не был создан вероятно из-за прерывания пользователем."));
        return false;
    }
    m_template->finishTemplate();
    m_output->CopySettingsFrom(*m_template);
    m_output->CopyHeaderFooterFrom(*m_template);
    if (m_writer)
        m_output->WritePrologue(*m_writer);
    return true;
}

void TxReport::Preview()
{
    TxReportDisplay *d = display();
    if (!d)
        throw ExReport(tr("Просмотр отчета недоступен."));
    d->preview(*this, m_output);
}

void TxReport::checkCancelled()
{
    if (TRTFProgress::shared().cancelled())
        m_terminated = true;
}

// ---------------------------------------------------------------------------
// Sections

TxReport::Band TxReport::prepareBand(TxRTFBlock *block)
{
    Band band;
    band.block = block;
    for (TxRTFField *f : TxReportRTF::reportFields(block))
        band.fields.append({f, TxMathField::parse(TxReportRTF::fieldExpression(*f)), TxReportRTF::fieldName(*f), {}});
    return band;
}

void TxReport::prepareSection(TxDef &def)
{
    m_dataBand = prepareBand(def.dataBand);
    m_tableHeader = prepareBand(def.tableHeader);
    m_rowBand = prepareBand(def.rowBand);
    m_tableEnd = prepareBand(def.tableEnd);
    m_groupHeaders.clear();
    m_groupFooters.clear();
    for (const auto &g : def.groups) {
        m_groupHeaders.push_back(prepareBand(g->header));
        m_groupFooters.push_back(prepareBand(g->footer));
    }
    const auto sumsOf = [](const Band &band, int ownLevel, const TxDef &d, bool resetOn) {
        QList<TxRepField> sums;
        for (const Field &f : band.fields) {
            for (const TxOperand &op : f.expr.operands) {
                if (op.isOptions || !op.isSum)
                    continue;
                TxRepField sum{op.name, QStringLiteral("0"), ownLevel};
                if (resetOn && op.hasResetOn) {
                    int level = -1;
                    for (int g = 0; g < int(d.groups.size()); ++g)
                        if (!d.groups[g]->rowLimit && d.groups[g]->key.compare(op.resetOn, Qt::CaseInsensitive) == 0)
                            level = g;
                    if (level < 0)
                        throw ExReport(QStringLiteral("Form File Error: Reference to undeclared group!"));
                    sum.resetLevel = level;
                }
                sums.append(sum);
            }
        }
        return sums;
    };
    for (int g = 0; g < int(def.groups.size()); ++g) {
        TxGroup &group = *def.groups[g];
        group.sums = sumsOf(m_groupFooters[g], g, def, true);
        group.key = group.declaredKey;
        group.current.clear();
        group.pageRows = group.totalRows = 0;
    }
    def.tableEndSums = sumsOf(m_tableEnd, 0, def, false);
}

void TxReport::ProcessSection(int index)
{
    TxDef &def = *m_template->sections[size_t(index)];
    m_section = &def;
    m_fieldIndex.clear();
    prepareSection(def);

    const QString sourceName = m_dataSources.value(def.name);
    m_source = nullptr;
    if (!sourceName.isEmpty()) {
        m_source = findDataSource(sourceName);
        if (!m_source)
            throw ExReport(QStringLiteral("Could not locate datasource ") + sourceName);
        if (m_options.testFlag(frAlwaysOpenDataSet))
            m_source->open();
    }
    // The data set returns to its record whatever happens.
    struct Restore {
        TxReportDataSource *source;
        QVariant bookmark;
        ~Restore()
        {
            if (source) {
                try {
                    source->gotoBookmark(bookmark);
                } catch (...) {
                }
            }
        }
    } restore{m_source, m_source ? m_source->bookmark() : QVariant()};

    const bool single = m_options.testFlag(frSingleRecord);
    if (m_source && !single)
        m_source->first();
    emitBand(m_dataBand);
    if (!m_source || !m_source->isEmpty()) {
        groupStart(-1);
        emitBand(m_tableHeader);

        TRTFProgress &progress = TRTFProgress::shared();
        const int count = m_source && !single ? m_source->recordCount() : 1;
        progress.setComment(tr("Идет обработка базы данных для формирования отчета.\n"
                               "Подождите немного, пока программа просканирует все записи..."));
        progress.setMaximum(count);
        if (!m_source || single) {
            processRecord();
        } else {
            int done = 0;
            m_start = m_clock();
            while (!m_source->eof()) {
                checkCancelled();
                if (m_terminated)
                    break;
                processRecord();
                m_source->next();
                if (++done % 5 == 0) {
                    progress.setPosition(done, tr("Обработано %1 записей из %2.").arg(done).arg(count));
                    checkSlowDown(done);
                    progress.processPending();
                }
            }
        }
        if (m_terminated)
            return;
        groupEnd(-1);
    }
    if (m_terminated)
        return;
    emitBand(m_tableEnd, &def.tableEndSums);
}

// ---------------------------------------------------------------------------
// Records and groups

void TxReport::processRecord()
{
    auto &groups = m_section->groups;
    for (int g = 0; g < int(groups.size()); ++g) {
        TxGroup &group = *groups[g];
        bool breaks;
        if (group.rowLimit) {
            breaks = QString::number(group.pageRows) == group.currentLimit();
            if (breaks)
                group.advanceLimit();
        } else {
            breaks = GetFieldValue({TxOperandKind::DataField, group.key}) != group.current;
        }
        if (breaks) {
            groupEnd(g);
            groupStart(g);
            emitBand(m_tableHeader);
            break;
        }
    }
    if (m_rowBand.block) {
        evaluateBand(m_rowBand, nullptr);
        accumulateSums(true);
        appendOutput(*m_rowBand.block);
    } else {
        accumulateSums(false);
    }
    countRow();
}

void TxReport::countRow()
{
    for (const auto &g : m_section->groups) {
        if (g->rowLimit) {
            ++g->pageRows;
            ++g->totalRows;
        }
    }
}

void TxReport::groupStart(int level)
{
    auto &groups = m_section->groups;
    for (int i = qMax(level, 0); i < int(groups.size()); ++i) {
        TxGroup &group = *groups[i];
        if (level < i)
            group.declaredKey = group.key;
        emitBand(m_groupHeaders[size_t(i)]);
        for (TxRepField &sum : group.sums)
            if (sum.resetLevel >= level)
                sum.total = QStringLiteral("0");
        if (group.rowLimit) {
            group.pageRows = 0;
            if (level < i)
                group.totalRows = 0;
        } else {
            group.current = GetFieldValue({TxOperandKind::DataField, group.key});
        }
    }
}

bool TxReport::fillCondition(const TxGroup &group) const
{
    if (group.lastPage >= 0) {
        // A last page cannot hold more rows than a page does.
        bool ok = false;
        const int limit = group.currentLimit().toInt(&ok);
        const int target = ok && limit > 0 ? qMin(group.lastPage, limit) : group.lastPage;
        return group.pageRows >= target;
    }
    return group.totalRows >= group.totalRowsLimit;
}

void TxReport::groupEnd(int level)
{
    TRTFProgress::shared().processPending();
    auto &groups = m_section->groups;
    const int inner = level + 1;
    if (inner < int(groups.size()) && m_rowBand.block) {
        TxGroup &group = *groups[size_t(inner)];
        if (group.rowLimit && (group.lastPage >= 0 || group.totalRowsLimit >= 0)) {
            while (!fillCondition(group)) {
                checkCancelled();
                if (m_terminated)
                    return;
                emitBlankRow();
                countRow();
                if (fillCondition(group))
                    break;  // the footers below close the page
                for (int f = inner; f < int(groups.size()); ++f) {
                    TxGroup &g = *groups[size_t(f)];
                    if (g.rowLimit && QString::number(g.pageRows) == g.currentLimit()) {
                        g.advanceLimit();
                        groupEnd(f);
                        groupStart(f);
                        emitBand(m_tableHeader);
                        break;
                    }
                }
            }
        }
    }
    for (int j = int(groups.size()) - 1; j >= qMax(level, 0); --j) {
        if (level < j)
            groups[size_t(j)]->key = groups[size_t(j)]->declaredKey;
        emitBand(m_groupFooters[size_t(j)], &groups[size_t(j)]->sums);
    }
}

// ---------------------------------------------------------------------------
// Fields and bands

QString TxReport::GetFieldValue(const TxQualifiedName &name)
{
    switch (name.kind) {
    case TxOperandKind::DataField: {
        if (!m_source)
            return {};
        auto it = m_fieldIndex.constFind(name.name);
        if (it == m_fieldIndex.constEnd())
            it = m_fieldIndex.insert(name.name, m_source->fieldIndex(name.name));
        if (it.value() < 0)
            return QLatin1Char('?') + name.name + QLatin1Char('?');
        return m_source->fieldText(it.value());
    }
    case TxOperandKind::UserVariable: {
        const int i = m_vars.indexOfName(name.name);
        if (i >= 0)
            return m_vars.value(i);
        QString result = QLatin1Char('?') + name.name + QLatin1Char('?');
        if (m_onUserField)
            m_onUserField(*this, name.name, result);
        return result;
    }
    case TxOperandKind::FormField:
        break;
    }
    return {};
}

QString TxReport::formatText(const QString &value, const TFormatOptions &o, bool applyLength)
{
    QString text = value;
    bool error = false;
    if (o.roundStep != 0) {
        double v = 0;
        if (!reportText::readNumber(text, v)) {
            error = true;  // one bad cell shows the mark; the report goes on
        } else {
            const double q = v / o.roundStep;
            double n = std::trunc(q);
            // Binary noise (0.285 / 0.01 = 28.4999...) must not decide a kopeck.
            if (std::fabs(q - n) >= 0.5 - 1e-9)
                n += q < 0 ? -1 : 1;
            text = reportText::numberText(n * o.roundStep);
        }
    }
    double number = 0;
    if (o.words || o.signFilter || !o.format.isEmpty()) {
        if (!reportText::readNumber(text, number)) {
            error = true;
            number = 0;
        }
    }
    if (!o.format.isEmpty())
        text = reportText::formatFloat(o.format, number);
    switch (o.signFilter) {
    case 1: if (text == QLatin1String("0")) text.clear(); break;
    case 2: if (!(number > 0)) text.clear(); break;
    case 3: if (!(number < 0)) text.clear(); break;
    case 4: if (number > 0) text.clear(); break;
    case 5: if (number < 0) text.clear(); break;
    default: break;
    }
    if (o.words && !text.isEmpty()) {
        try {
            m_converter.setLanguage(m_language == QLatin1String("rus") ? TLanguage::lRussian : TLanguage::lEnglish);
            m_converter.setValue(number);
            text = m_converter.numeral();
        } catch (const ENumberConvertError &) {
            error = true;
        }
        if (o.words == 3)
            text = QLocale().toUpper(text);
        else if (o.words == 2 && !text.isEmpty())
            text = QLocale().toUpper(text.left(1)) + text.mid(1);
    }
    if (applyLength && o.lengthLimit > 0 && o.lengthLimit < text.size())
        text = o.lengthLimit < 4 ? QStringLiteral("...") : text.left(o.lengthLimit - 3) + QStringLiteral("...");
    if (error)
        text = kErrorMark;
    if (text.isEmpty())
        text = QStringLiteral(" ");
    return text;
}

QString TxReport::operandValue(const TxOperand &op, const TxMathField &expr, QList<TxRepField> *sums)
{
    if (sums && op.isSum) {
        TxRepField *sum = nullptr;
        for (TxRepField &s : *sums)
            if (s.name == op.name)
                sum = &s;  // the last match
        if (sum) {
            if (op.name.kind == TxOperandKind::DataField && m_source) {
                const int field = m_source->fieldIndex(op.name.name);
                const auto kind = field >= 0 ? m_source->fieldKind(field) : TxReportDataSource::Text;
                double v = 0;
                if ((kind == TxReportDataSource::Float || kind == TxReportDataSource::Integer)
                    && reportText::readNumber(sum->total, v))
                    sum->total = m_source->displayText(field, v);
            }
            if (expr.singleOperand() == 0)
                return formatText(sum->total, op.options, false);
            return sum->total;
        }
    }
    return formatText(GetFieldValue(op.name), op.options);
}

QString TxReport::evaluateField(Field &field, QList<TxRepField> *sums)
{
    const TxMathField &e = field.expr;
    QStringList values;
    values.reserve(e.operands.size());
    for (const TxOperand &op : e.operands) {
        if (op.isOptions) {
            values.append(QString());
            continue;
        }
        QString v = operandValue(op, e, sums);
        if (e.arithmetic) {
            if (v.trimmed().isEmpty())
                v = QStringLiteral("0");
            v = QLatin1Char('(') + v + QLatin1Char(')');
        }
        values.append(v);
    }
    QString text = e.substitute(values);
    if (e.arithmetic) {
        m_calc->SetExpression(text);
        text = formatText(reportText::numberText(m_calc->Value()), e.fieldOptions);
    }
    return text;
}

void TxReport::evaluateBand(Band &band, QList<TxRepField> *sums)
{
    for (Field &f : band.fields) {
        f.result = evaluateField(f, sums);
        f.field->setResultText(f.result);
        // A picture field alone puts its picture in place of the text.
        const int only = f.expr.singleOperand();
        if (only == 0 && m_source && f.expr.operands[0].name.kind == TxOperandKind::DataField) {
            const int index = m_source->fieldIndex(f.expr.operands[0].name.name);
            if (index >= 0 && m_source->fieldKind(index) == TxReportDataSource::Graphic) {
                f.result.clear();
                f.field->setResultText(QString());
                const QImage image = m_source->picture(index);
                if (!image.isNull()) {
                    auto bitmap = f.field->addNew<TxRTFBitmap>();
                    bitmap->setFont(f.field->font());
                    bitmap->setImage(image);
                }
            }
        }
    }
}

void TxReport::emitBand(Band &band, QList<TxRepField> *sums)
{
    if (!band.block)
        return;
    evaluateBand(band, sums);
    appendOutput(*band.block);
}

void TxReport::emitBlankRow()
{
    for (Field &f : m_rowBand.fields) {
        f.result.clear();
        f.field->setResultText(QString());
    }
    appendOutput(*m_rowBand.block);
}

void TxReport::appendOutput(const TxRTFBlock &band)
{
    if (m_writer) {
        // Streamed: the band is written as it stands, its report fields as
        // their results (a data field writes its runs); nothing is kept.
        for (int i = 0; i < band.count(); ++i)
            band.at(i)->write(*m_writer);
        return;
    }
    std::unique_ptr<TxRTFBasic> copy;
    {
        TxRTFFile::DataFieldsAsText unwrap;
        copy = band.clone();
    }
    auto *block = static_cast<TxRTFBlock *>(copy.get());
    TxRTFBlock *target = m_output->readingBlock();
    while (block->count() > 0)
        target->append(block->take(0));
}

void TxReport::accumulateSums(bool rowEvaluated)
{
    for (const auto &g : m_section->groups)
        for (TxRepField &sum : g->sums)
            addToSum(sum, rowEvaluated);
    for (TxRepField &sum : m_section->tableEndSums)
        addToSum(sum, rowEvaluated);
}

void TxReport::addToSum(TxRepField &sum, bool rowEvaluated)
{
    QString text;
    if (sum.name.kind == TxOperandKind::FormField) {
        if (!rowEvaluated)
            return;
        const Field *found = nullptr;
        for (const Field &f : m_rowBand.fields)
            if (f.name.compare(sum.name.name, Qt::CaseInsensitive) == 0)
                found = &f;
        if (!found)
            return;
        text = found->result;
    } else {
        text = GetFieldValue(sum.name);
    }
    double add = 0, total = 0;
    if (!reportText::readNumber(text, add) || !reportText::readNumber(sum.total, total))
        return;
    sum.total = reportText::numberText(total + add);
}

// ---------------------------------------------------------------------------
// Slow-down rescue

void TxReport::checkSlowDown(int records)
{
    if (m_destination == dsFile || m_terminated)
        return;
    TxReportDisplay *d = display();
    if (!d)
        return;
    const qint64 now = m_clock() - m_paused;
    m_samples.append(now);
    if (records <= 100) {
        m_baseline = double(now - m_start) / (records / 5.0);
        return;
    }
    while (m_samples.size() > 21)
        m_samples.removeFirst();
    const double current = double(m_samples.back() - m_samples.front()) / double(m_samples.size() - 1);
    if (current > 5 * m_baseline) {
        const qint64 asked = m_clock();
        const QString file = d->askRescueFile();
        m_paused += m_clock() - asked;
        if (!file.isEmpty()) {
            m_restart = true;
            m_restartFile = file;
            m_terminated = true;
            return;
        }
        m_baseline *= 1.5;
    }
    m_baseline = qMin(m_baseline, current);
}

} // namespace korvex::documents
