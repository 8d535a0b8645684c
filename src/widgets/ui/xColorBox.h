#pragma once

#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QList>
#include <QString>

class QFontDialog;

namespace korvex::widgets {

// A pick list of colours: the standard colours by their names, each with a
// sample, and "Другой цвет..." at the end, which asks for any colour with
// the colour dialog. A colour that is no standard one is shown by its
// value as an entry of its own.
class TxColorBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged USER true)
public:
    struct TNamedColor {
        QColor color;
        QString name;
    };
    // The standard colours in the order of the list.
    static QList<TNamedColor> standardColors();

    explicit TxColorBox(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

Q_SIGNALS:
    void colorChanged(const QColor &color);

private:
    void picked(int index);
    int indexOfColor(const QColor &color) const;

    QColor m_color;
    int m_otherIndex = -1;
};

// A square sample of a colour for lists and buttons.
QIcon colorSample(const QColor &color, int size = 16);

// The font dialog with the colour of the text: the font as the font dialog
// chooses it and a colour box "Цвет" below, then "Ок" and "Отмена".
class TxFontDialog : public QDialog
{
    Q_OBJECT
public:
    TxFontDialog(const QFont &font, const QColor &color, QWidget *parent = nullptr);

    QFont selectedFont() const;
    QColor selectedColor() const;
    QFontDialog *fontDialog() const { return m_font; }
    TxColorBox *colorBox() const { return m_color; }

    // Asks for a font and its colour; false when cancelled.
    static bool getFont(QWidget *parent, QFont &font, QColor &color, const QString &title);

private:
    QFontDialog *m_font;
    TxColorBox *m_color;
};

} // namespace korvex::widgets
