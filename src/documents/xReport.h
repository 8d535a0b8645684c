#pragma once

// The report template engine: fills an RTF template (a word-processor
// document cut into bands by command paragraphs, with form fields holding
// expressions) from data sets into a document of the model, and hands that
// document to a preview, a file, a printer or the caller.

#include "documents/NumConv.h"
#include "documents/xRTF.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace korvex::calc {
class TxFoCal;
}

namespace korvex::documents {

class TxReportDataSource;
class TxRTFWriter;
class TxReport;

// The engine's errors; the message is what the user sees.
class ExReport : public std::runtime_error
{
public:
    explicit ExReport(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Lines "name = value". Names are compared ignoring letter case; a value in
// single or double quotes loses them.
class TxValueList
{
public:
    TxValueList() = default;
    TxValueList(const QStringList &lines) : m_lines(lines) {}

    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }
    int count() const { return int(m_lines.size()); }
    void append(const QString &line) { m_lines.append(line); }
    void clear() { m_lines.clear(); }

    QString name(int index) const;
    QString value(int index) const;
    // The first line of that name, -1 when there is none.
    int indexOfName(const QString &name) const;
    // Empty when the name is missing.
    QString value(const QString &name) const;
    // Replaces the value of the first line of that name, or appends a line.
    void setValue(const QString &name, const QString &value);

private:
    QStringList m_lines;
};

// How a field or operand writes its value.
struct TFormatOptions {
    quint8 words = 0;       // 0 none, 1 as generated, 2 capital first letter, 3 capitals
    quint8 signFilter = 0;  // 0 none, 1 blank "0", 2 keep > 0, 3 keep < 0, 4 blank > 0, 5 blank < 0
    QString format;         // float format pattern
    double roundStep = 0;
    int lengthLimit = 0;

    bool operator==(const TFormatOptions &) const = default;
};

enum class TxOperandKind { DataField, UserVariable, FormField };

struct TxQualifiedName {
    TxOperandKind kind = TxOperandKind::DataField;
    QString name;
    bool operator==(const TxQualifiedName &) const = default;
};

// One operand of a field expression with its option words.
struct TxOperand {
    QString text;          // as written, options included, trimmed
    bool isOptions = false;  // begins with "/": options of the whole field
    TxQualifiedName name;
    TFormatOptions options;
    bool isSum = false;
    bool hasResetOn = false;
    QString resetOn;       // the value group named after RESETON
};

// A field expression parsed once: the text with a placeholder for every
// operand, and the operands. Substitution is one pass over the pieces, so a
// value never lands inside another placeholder.
class TxMathField
{
public:
    // ExReport for a malformed /F option.
    static TxMathField parse(const QString &expression);

    // The expression with the placeholders written "#k".
    QString placeholderText() const;
    // The expression with operand k replaced by values[k].
    QString substitute(const QStringList &values) const;

    QList<TxOperand> operands;
    bool arithmetic = false;
    bool hasFieldOptions = false;
    TFormatOptions fieldOptions;
    // The data operands (not option groups); the index of the only one, or -1.
    int singleOperand() const;

private:
    struct Piece {
        QString text;
        int operand = -1;  // >= 0: a placeholder
    };
    QList<Piece> m_pieces;
};

// Reading and writing numbers as the engine does everywhere.
namespace reportText {
// Digits, signs, exponent letters and decimal separators are kept, anything
// else (blanks, group separators, currency) dropped; false when the rest is no
// number. An empty rest is 0.
bool readNumber(const QString &text, double &value);
// 15 significant digits, the locale's decimal separator, no grouping.
QString numberText(double value);
// A float format pattern: "0" digit, "#" optional digit, "." decimal
// separator, "," grouping, "E+0" exponent, quoted or other text literal,
// ";" between the sections for positive, negative and zero values.
QString formatFloat(const QString &pattern, double value);
// Reads the options of one operand (or the joined field-level options).
TFormatOptions readOptions(const QString &operandText);
} // namespace reportText

// A running total of a footer or table end.
struct TxRepField {
    TxQualifiedName name;
    QString total = QStringLiteral("0");
    int resetLevel = 0;
};

// A group of a section: a value group breaks when a field changes, a
// row-limit group after a number of rows per page.
struct TxGroup {
    bool rowLimit = false;
    QString key;          // the field of a value group; the row-limit list
    QString declaredKey;
    QString current;      // the field's text at the start; rows on the page
    int pageRows = 0;
    int totalRows = 0;
    int lastPage = -1;
    int totalRowsLimit = -1;
    TxRTFBlock *header = nullptr;
    TxRTFBlock *footer = nullptr;
    QList<TxRepField> sums;

    // The first number of the row-limit list, trimmed.
    QString currentLimit() const;
    void advanceLimit();
};

// One section of a template: the bands around one data set.
struct TxDef {
    QString name;
    TxRTFBlock *dataBand = nullptr;
    TxRTFBlock *tableHeader = nullptr;
    TxRTFBlock *rowBand = nullptr;
    TxRTFBlock *tableEnd = nullptr;
    std::vector<std::unique_ptr<TxGroup>> groups;
    QList<TxRepField> tableEndSums;
};

// A template: a document that recognises command paragraphs while it is
// read and keeps the sections they declare.
class TxReportRTF : public TxRTFFile
{
public:
    std::vector<std::unique_ptr<TxDef>> sections;

    // Called after reading: header rows of table-header bands, form fields
    // without a data block made report fields.
    void finishTemplate();

    // The report fields of a band, in document order.
    static QList<TxRTFField *> reportFields(const TxRTFBlock *band);
    static QString fieldExpression(const TxRTFField &field);
    static QString fieldName(const TxRTFField &field);

protected:
    void paragraphRead(TxRTFTextPara *para) override;

private:
    void command(const QString &word, const QString &argument);
    TxDef &currentSection();
    void parseGroup(TxGroup &group, const QString &argument);

    TxRTFBlock **m_slot = nullptr;  // the band the current block serves
    bool m_anyCommand = false;
};

// Where the engine shows and prints: the window layer implements it, so the
// engine itself needs no display.
class TxReportDisplay
{
public:
    virtual ~TxReportDisplay();
    // dsScreen: shows the finished document; may take it over.
    virtual void preview(TxReport &report, std::unique_ptr<TxRTFFile> &document) = 0;
    // dsPrinter: false when the user cancelled the print dialog or stopped printing.
    virtual bool print(TxRTFFile &document, bool showDialog) = 0;
    // The building slowed down: asks whether to build into a file instead;
    // the file chosen, or empty.
    virtual QString askRescueFile() = 0;

    static TxReportDisplay *shared();
    static void setShared(TxReportDisplay *display);
};

class TxReport : public QObject
{
    Q_OBJECT
public:
    enum TxRepOption {
        frMsgIfTerminated = 0x1,
        frAlwaysOpenDataSet = 0x2,
        frSingleRecord = 0x4,
    };
    Q_DECLARE_FLAGS(TxRepOptions, TxRepOption)

    enum TDestinations { dsScreen, dsFile, dsPrinter, dsUserEvent };

    // The receiver may take the document over (move it out).
    using TReportReadyEvent = std::function<void(TxReport &sender, std::unique_ptr<TxRTFFile> &rtfFile)>;
    // Called for a user variable Vars lacks; may set the result.
    using TUserFieldEvent = std::function<void(TxReport &sender, const QString &fieldName, QString &fieldResult)>;

    explicit TxReport(QObject *owner = nullptr);
    ~TxReport() override;

    TxRepOptions Options() const { return m_options; }
    void SetOptions(TxRepOptions options) { m_options = options; }
    TDestinations Destination() const { return m_destination; }
    void SetDestination(TDestinations destination) { m_destination = destination; }
    QString FormFile() const { return m_formFile; }
    void SetFormFile(const QString &file) { m_formFile = file; }
    QString RunTimePath() const { return m_runTimePath; }
    void SetRunTimePath(const QString &path) { m_runTimePath = path; }
    QString DesignTimePath() const { return m_designTimePath; }
    void SetDesignTimePath(const QString &path) { m_designTimePath = path; }
    QString OutputFile() const { return m_outputFile; }
    void SetOutputFile(const QString &file) { m_outputFile = file; }
    TxValueList &Vars() { return m_vars; }
    const TxValueList &Vars() const { return m_vars; }
    // One line per section: section name = data source name.
    TxValueList &DataSources() { return m_dataSources; }
    // The single data source of older saved reports: the default section's.
    void SetDataSource(const QString &name)
    {
        m_dataSources.append(QStringLiteral("DefaultTable = '") + name + QLatin1Char('\''));
    }
    QStringList About() const { return m_about; }
    void SetAbout(const QStringList &about) { m_about = about; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption) { m_caption = caption; }
    void SetOnReportReady(TReportReadyEvent handler) { m_onReportReady = std::move(handler); }
    void SetOnUserField(TUserFieldEvent handler) { m_onUserField = std::move(handler); }

    // The data sources DataSources names (the components of the report's
    // owner); names compared ignoring case. Not owned.
    void AddDataSource(const QString &name, TxReportDataSource *source);
    // Registers the source under the section's name and names it in DataSources.
    void SetSectionData(const QString &section, TxReportDataSource *source);

    // Where dsScreen and dsPrinter go; the shared display when not set.
    void SetDisplay(TxReportDisplay *display) { m_display = display; }
    void SetShowPrintDialog(bool show) { m_showPrintDialog = show; }
    // "rus" (the default) writes amounts in Russian words, anything else in English.
    void SetInterfaceLanguage(const QString &language) { m_language = language; }
    QString InterfaceLanguage() const { return m_language; }

    // Builds the report; true unless the user cancelled. Errors are ExReport,
    // the document model's errors and the database's.
    bool Execute();
    bool isBusy() const { return m_busy; }

    virtual bool LoadTemplate();
    virtual void Preview();
    virtual QString GetFieldValue(const TxQualifiedName &name);
    virtual void ProcessSection(int index);
    QString FormFilePath() const;
    // The preview window's title: Caption with the template path for "%s".
    QString PreviewCaption() const;

    // A leading "%D" (the program's folder), "%S" (system), "%T" (temporary),
    // "%W" (system configuration) expanded; "%X" dropped.
    static QString expandPathMacros(const QString &path);

    // For the slow-down rescue's tests: the clock in milliseconds.
    void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // The document being built (while building) and the template.
    TxRTFFile *output() const { return m_output.get(); }
    TxReportRTF *templateDocument() const { return m_template.get(); }

private:
    struct Field {
        TxRTFField *field = nullptr;
        TxMathField expr;
        QString name;  // form-field name
        QString result;
    };
    struct Band {
        TxRTFBlock *block = nullptr;
        QList<Field> fields;
    };
    enum class SumSource { None, Group, TableEnd };

    bool build();
    void prepareSection(TxDef &def);
    Band prepareBand(TxRTFBlock *block);
    // Sums are the footer's or table end's running totals; null elsewhere.
    void evaluateBand(Band &band, QList<TxRepField> *sums);
    QString evaluateField(Field &field, QList<TxRepField> *sums);
    QString operandValue(const TxOperand &operand, const TxMathField &expr, QList<TxRepField> *sums);
    QString formatText(const QString &text, const TFormatOptions &options, bool applyLength = true);
    void emitBand(Band &band, QList<TxRepField> *sums = nullptr);
    void emitBlankRow();
    void appendOutput(const TxRTFBlock &band);
    void accumulateSums(bool rowEvaluated);
    void addToSum(TxRepField &sum, bool rowEvaluated);

    void processRecord();
    void groupStart(int level);
    void groupEnd(int level);
    bool fillCondition(const TxGroup &group) const;
    void countRow();

    void checkSlowDown(int records);
    void checkCancelled();
    TxReportDataSource *findDataSource(const QString &name) const;
    TxReportDisplay *display() const;

    TxRepOptions m_options{frMsgIfTerminated | frAlwaysOpenDataSet};
    TDestinations m_destination = dsScreen;
    QString m_formFile;
    QString m_runTimePath;
    QString m_designTimePath;
    QString m_outputFile;
    TxValueList m_vars;
    TxValueList m_dataSources;
    QStringList m_about{QString(), QString(), QString()};
    QString m_caption;
    TReportReadyEvent m_onReportReady;
    TUserFieldEvent m_onUserField;
    QHash<QString, TxReportDataSource *> m_sources;
    TxReportDisplay *m_display = nullptr;
    QString m_language = QStringLiteral("rus");

    bool m_busy = false;
    bool m_terminated = false;
    bool m_requireTemplate = true;
    bool m_showPrintDialog = true;
    bool m_restart = false;
    QString m_restartFile;
    std::unique_ptr<TxReportRTF> m_template;
    std::unique_ptr<TxRTFFile> m_output;
    std::unique_ptr<TxRTFWriter> m_writer;
    TxDef *m_section = nullptr;
    TxReportDataSource *m_source = nullptr;
    QHash<QString, int> m_fieldIndex;  // data-set field lookups of the section
    TNumberConvert m_converter;
    std::unique_ptr<korvex::calc::TxFoCal> m_calc;

    // The prepared bands of the current section.
    Band m_dataBand, m_tableHeader, m_rowBand, m_tableEnd;
    std::vector<Band> m_groupHeaders, m_groupFooters;

    // Slow-down rescue
    std::function<qint64()> m_clock;
    qint64 m_start = 0;
    qint64 m_paused = 0;
    double m_baseline = 0;
    QList<qint64> m_samples;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TxReport::TxRepOptions)

} // namespace korvex::documents
