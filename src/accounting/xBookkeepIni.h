#pragma once

#include <QString>

namespace korvex::accounting {

// The settings of the link with the bookkeeping system, kept in a Windows
// INI file (section "Quillbook") beside the program. The file is read at
// every access, so a change to it takes effect at once; a missing file or
// key gives empty directories and the system code -1 (no link).
class TxBookkeepIni
{
public:
    // The INI file of the running program (see iniPathFor).
    TxBookkeepIni();
    explicit TxBookkeepIni(const QString &iniPath);

    // The program's path with its extension replaced by "ini" (one added when
    // it has none); dots in folder names do not count.
    static QString iniPathFor(const QString &executablePath);

    QString fileName() const { return m_path; }

    QString WorkingDir() const;  // "WorkBookkeepDir"
    QString MainDir() const;     // "MainBookkeepDir"
    int SystemCode() const;      // "CodeSystem"; above 0 when the link is set up

    // The reference type (1..14) whose table ReferencyDir names the
    // directory of; another value raises "Value is out of range".
    int TypeReferency() const { return m_typeReferency; }
    void SetTypeReferency(int type);
    QString ReferencyDir() const;

    // The reference types of the bookkeeping system: name, table and whether
    // the table lies in the main directory (else the working one).
    struct ReferenceType {
        QString name;
        QString table;
        bool inMainDir = true;
    };
    static ReferenceType referenceType(int type);  // raises for a type outside 1..14
    QString referenceDir(int type) const;

private:
    QString value(const QString &key) const;

    QString m_path;
    int m_typeReferency = 1;
};

} // namespace korvex::accounting
