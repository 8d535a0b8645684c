#pragma once

#include <QChar>

namespace korvex::documents {

// The single-byte code pages an RTF file may use for its 8-bit text. Bytes
// below 0x80 are ASCII in all of them.
const char16_t *codePageTable(int codePage);  // upper half, or nullptr when unknown

// The code page a font's \fcharset stands for; 0 for the ANSI and default
// sets, whose text follows the document's \ansicpg.
int codePageForCharset(int charset);

class TxCodePage
{
public:
    explicit TxCodePage(int codePage = 1251);
    int codePage() const { return m_codePage; }
    QChar decode(unsigned char b) const { return b < 0x80 ? QChar(b) : QChar(m_table[b - 0x80]); }

private:
    int m_codePage;
    const char16_t *m_table;
};

// Windows-1251, the code page of every file this program writes: true and
// the byte when the character has one.
bool encodeCp1251(QChar c, char &byte);

} // namespace korvex::documents
