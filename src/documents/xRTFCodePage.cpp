#include "xRTFCodePage.h"

#include <array>

namespace korvex::documents {

int codePageForCharset(int charset)
{
    switch (charset) {
    case 204: return 1251;
    case 238: return 1250;
    case 161: return 1253;
    case 162: return 1254;
    case 186: return 1257;
    case 255: return 866;  // OEM
    default: return 0;
    }
}

TxCodePage::TxCodePage(int codePage)
    : m_codePage(codePage), m_table(codePageTable(codePage))
{
    if (!m_table) {
        // An unknown code page reads as the program's own.
        m_codePage = 1251;
        m_table = codePageTable(1251);
    }
}

bool encodeCp1251(QChar c, char &byte)
{
    const char16_t u = c.unicode();
    if (u < 0x80) {
        byte = char(u);
        return true;
    }
    static const std::array<unsigned char, 0x10000> reverse = [] {
        std::array<unsigned char, 0x10000> r{};
        const char16_t *t = codePageTable(1251);
        for (int b = 0x80; b < 0x100; ++b)
            r[t[b - 0x80]] = static_cast<unsigned char>(b);
        return r;
    }();
    const unsigned char b = reverse[u];
    if (!b)
        return false;
    byte = char(b);
    return true;
}

} // namespace korvex::documents
