#include "xColorBox.h"

#include "xConfirmRow.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace korvex::widgets {

QList<TxColorBox::TNamedColor> TxColorBox::standardColors()
{
    auto tr = [](const char *s) { return QCoreApplication::translate("TxColorBox", s); };
    return {
        {QColor(0x00, 0x00, 0x00), tr("Черный")},
        {QColor(0x80, 0x00, 0x00), tr("Бордовый")},
        {QColor(0x00, 0x80, 0x00), tr("Зеленый")},
        {QColor(0x80, 0x80, 0x00), tr("Оливковый")},
        {QColor(0x00, 0x00, 0x80), tr("Темно-синий")},
        {QColor(0x80, 0x00, 0x80), tr("Фиолетовый")},
        {QColor(0x00, 0x80, 0x80), tr("Сине-зеленый")},
        {QColor(0x80, 0x80, 0x80), tr("Серый")},
        {QColor(0xC0, 0xC0, 0xC0), tr("Серебристый")},
        {QColor(0xFF, 0x00, 0x00), tr("Красный")},
        {QColor(0x00, 0xFF, 0x00), tr("Лайм")},
        {QColor(0xFF, 0xFF, 0x00), tr("Желтый")},
        {QColor(0x00, 0x00, 0xFF), tr("Синий")},
        {QColor(0xFF, 0x00, 0xFF), tr("Фуксия")},
        {QColor(0x00, 0xFF, 0xFF), tr("Голубой")},
        {QColor(0xFF, 0xFF, 0xFF), tr("Белый")},
        {QColor(0xC0, 0xDC, 0xC0), tr("Светло-зеленый")},
        {QColor(0xA6, 0xCA, 0xF0), tr("Небесно-голубой")},
        {QColor(0xFF, 0xFB, 0xF0), tr("Кремовый")},
        {QColor(0xA0, 0xA0, 0xA4), tr("Средне-серый")},
    };
}

QIcon colorSample(const QColor &color, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(color);
    p.drawRect(0, 0, size - 1, size - 1);
    return QIcon(pixmap);
}

TxColorBox::TxColorBox(QWidget *parent)
    : QComboBox(parent)
{
    for (const TNamedColor &c : standardColors())
        addItem(colorSample(c.color), c.name, c.color);
    addItem(tr("Другой цвет..."));
    m_otherIndex = count() - 1;
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_color = standardColors().constFirst().color;
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &TxColorBox::picked);
}

int TxColorBox::indexOfColor(const QColor &color) const
{
    for (int i = 0; i < m_otherIndex; ++i) {
        if (itemData(i).value<QColor>().rgb() == color.rgb())
            return i;
    }
    return -1;
}

void TxColorBox::setColor(const QColor &color)
{
    const QColor c = color.isValid() ? QColor(color.rgb()) : QColor(Qt::black);
    int index = indexOfColor(c);
    if (index < 0) {
        // A colour of its own goes just before "Другой цвет...".
        insertItem(m_otherIndex, colorSample(c), c.name(QColor::HexRgb).toUpper(), c);
        index = m_otherIndex++;
    }
    setCurrentIndex(index);
    if (c.rgb() == m_color.rgb())
        return;
    m_color = c;
    Q_EMIT colorChanged(m_color);
}

void TxColorBox::picked(int index)
{
    if (index != m_otherIndex) {
        setColor(itemData(index).value<QColor>());
        return;
    }
    QColorDialog dialog(m_color, this);
    dialog.setWindowTitle(tr("Цвет"));
    if (dialog.exec() == QDialog::Accepted)
        setColor(dialog.selectedColor());
    else
        setCurrentIndex(indexOfColor(m_color));
}

// --- TxFontDialog ----------------------------------------------------------------------

TxFontDialog::TxFontDialog(const QFont &font, const QColor &color, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgFont"));
    setWindowTitle(tr("Шрифт"));
    auto *layout = new QVBoxLayout(this);
    m_font = new QFontDialog(font, this);
    m_font->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_font->setWindowFlags(Qt::Widget);  // a part of this dialog, not a window of its own
    layout->addWidget(m_font, 1);
    auto *form = new QFormLayout;
    m_color = new TxColorBox(this);
    m_color->setObjectName(QStringLiteral("fontcolor"));
    m_color->setColor(color);
    form->addRow(tr("Цвет"), m_color);
    layout->addLayout(form);
    layout->addLayout(confirmRow(this).layout);
}

QFont TxFontDialog::selectedFont() const
{
    return m_font->currentFont();
}

QColor TxFontDialog::selectedColor() const
{
    return m_color->color();
}

bool TxFontDialog::getFont(QWidget *parent, QFont &font, QColor &color, const QString &title)
{
    TxFontDialog dialog(font, color, parent);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.selectedFont();
    color = dialog.selectedColor();
    return true;
}

} // namespace korvex::widgets
