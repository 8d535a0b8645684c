#include "dlgRentReport.h"

#include "shell/AppContext.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace korvex::documents {

QIcon reportPicture(int index)
{
    index = std::clamp(index, 0, TboRentReport::IconCount - 1);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = QColor::fromHsv((index % 12) * 30, 160, 210);
    // A sheet with a folded corner.
    QPainterPath sheet;
    sheet.moveTo(6, 2);
    sheet.lineTo(21, 2);
    sheet.lineTo(27, 8);
    sheet.lineTo(27, 30);
    sheet.lineTo(6, 30);
    sheet.closeSubpath();
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(21, 2), QPointF(21, 8), QPointF(27, 8)}));
    p.setPen(QPen(colour.darker(130), 2));
    switch (index / 12) {
    case 0:  // lines of text
        for (int y = 12; y <= 26; y += 4)
            p.drawLine(9, y, 24, y);
        break;
    case 1:  // a table
        p.drawRect(9, 11, 15, 15);
        p.drawLine(9, 16, 24, 16);
        p.drawLine(16, 11, 16, 26);
        break;
    case 2:  // bars
        p.setBrush(colour);
        p.drawRect(9, 20, 3, 6);
        p.drawRect(14, 15, 3, 11);
        p.drawRect(19, 11, 3, 15);
        break;
    case 3:  // a pie
        p.setBrush(colour);
        p.drawPie(QRectF(9, 12, 14, 14), 0, 270 * 16);
        break;
    case 4:  // a rising line
        p.drawPolyline(QPolygonF({QPointF(9, 25), QPointF(14, 19), QPointF(18, 22), QPointF(24, 12)}));
        break;
    case 5:  // a coin
        p.drawEllipse(QRectF(10, 13, 12, 12));
        p.drawLine(16, 15, 16, 23);
        break;
    case 6:  // a house
        p.drawPolyline(QPolygonF({QPointF(9, 19), QPointF(16, 12), QPointF(23, 19)}));
        p.drawRect(11, 19, 10, 7);
        break;
    case 7:  // a person
        p.drawEllipse(QRectF(13, 11, 6, 6));
        p.drawArc(QRectF(10, 18, 12, 12), 0, 180 * 16);
        break;
    case 8:  // a tick
        p.drawPolyline(QPolygonF({QPointF(10, 19), QPointF(14, 24), QPointF(23, 12)}));
        break;
    default:  // a warning mark
        p.drawLine(16, 12, 16, 21);
        p.drawPoint(16, 25);
        break;
    }
    return QIcon(pixmap);
}

QIcon printFormPicture(TPrintFormPicture picture)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor folder(230, 190, 80);
    switch (picture) {
    case TPrintFormPicture::Folder:
    case TPrintFormPicture::OpenFolder:
        p.setPen(folder.darker(150));
        p.setBrush(folder);
        p.drawRect(1, 4, 13, 10);
        p.drawRect(1, 2, 6, 3);
        if (picture == TPrintFormPicture::OpenFolder) {
            p.setBrush(folder.lighter(120));
            p.drawPolygon(QPolygonF({QPointF(3, 7), QPointF(15, 7), QPointF(13, 14), QPointF(1, 14)}));
        }
        break;
    case TPrintFormPicture::Undetermined:
        p.setPen(Qt::gray);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case TPrintFormPicture::Item:
    case TPrintFormPicture::Detail:
        p.setPen(Qt::darkGray);
        p.setBrush(Qt::white);
        p.drawRect(3, 1, 10, 14);
        p.drawLine(5, 5, 11, 5);
        p.drawLine(5, 8, 11, 8);
        if (picture == TPrintFormPicture::Detail)
            p.drawLine(5, 11, 11, 11);
        break;
    }
    return QIcon(pixmap);
}

TdlgRentReport::TdlgRentReport(TboRentReport &bo, const TRentReportRecord &record, QWidget *parent)
    : TxEditDialog(bo.context().db, parent)
    , m_bo(bo)
    , m_record(record)
{
    setObjectName(QStringLiteral("dlgRentReport"));
    setWindowTitle(tr("Отчет"));
    m_type = new QComboBox(this);
    for (const auto &[type, name] : TboRentReport::reportTypes())
        m_type->addItem(name, type);
    m_name = new QLineEdit(this);
    m_file = new QLineEdit(this);
    m_picture = new QComboBox(this);
    for (int i = 0; i < TboRentReport::IconCount; ++i)
        m_picture->addItem(reportPicture(i), tr("Рисунок ") + QString::number(i), i);
    m_shown = new QLabel(this);
    m_sql = new QPlainTextEdit(this);

    auto fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    auto choose = new QPushButton(QStringLiteral("..."), this);
    choose->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, tr("Файл"), m_file->text(), QStringLiteral("*.rtf"));
        if (!file.isEmpty())
            m_file->setText(file);
    });
    fileRow->addWidget(choose);
    auto pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_picture, 1);
    pictureRow->addWidget(m_shown);
    connect(m_picture, &QComboBox::currentIndexChanged, this,
            [this](int i) { m_shown->setPixmap(reportPicture(i).pixmap(32, 32)); });

    auto form = new QFormLayout;
    form->addRow(tr("Тип отчета"), m_type);
    form->addRow(tr("Наименование"), m_name);
    form->addRow(tr("Файл"), fileRow);
    form->addRow(tr("Рисунок"), pictureRow);
    form->addRow(tr("Текст SQL"), m_sql);
    contentLayout()->addLayout(form);
    m_name->installEventFilter(this);

    const int typeIndex = m_type->findData(record.typeReport);
    m_type->setCurrentIndex(typeIndex < 0 ? 0 : typeIndex);
    m_name->setText(record.name);
    m_file->setText(record.fileName);
    m_picture->setCurrentIndex(std::clamp(record.icon, 0, TboRentReport::IconCount - 1));
    m_shown->setPixmap(reportPicture(m_picture->currentIndex()).pixmap(32, 32));
    m_sql->setPlainText(record.textSql);
    setRecordKey(record.id);
}

bool TdlgRentReport::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name && event->type() == QEvent::FocusIn && m_name->text().trimmed().isEmpty())
        m_name->setText(m_type->currentText());
    return TxEditDialog::eventFilter(watched, event);
}

bool TdlgRentReport::validate()
{
    if (m_name->text().trimmed().isEmpty()) {
        fail(m_name, tr("Введите наименование"));
        return false;
    }
    return true;
}

int TdlgRentReport::writeRecord()
{
    m_record.id = recordKey();
    m_record.typeReport = m_type->currentData().toInt();
    m_record.name = m_name->text().trimmed();
    m_record.fileName = m_file->text().trimmed();
    m_record.icon = m_picture->currentIndex();
    m_record.textSql = m_sql->toPlainText();
    m_bo.writeReport(m_record);
    return m_record.id;
}

} // namespace korvex::documents
