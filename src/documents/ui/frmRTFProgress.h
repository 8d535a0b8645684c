#pragma once

#include "documents/xRTFProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korvex::documents {

// The program's progress window for reading, layout and report building,
// with its "Прервать" button. Created once at start-up and made the shared
// progress (TRTFProgress::setShared).
class TRTFProgressWindow : public QDialog, public TRTFProgress
{
    Q_OBJECT
public:
    explicit TRTFProgressWindow(QWidget *parent = nullptr);
    ~TRTFProgressWindow() override;

    QPushButton *stopButton() const { return m_stop; }
    QString commentText() const;
    QString progressText() const;

protected:
    void showWindow(const QString &comment, bool canCancel) override;
    void showComment(const QString &comment) override;
    void hideWindow() override;
    void showPosition(qint64 position, qint64 maximum, const QString &progressText) override;
    void processEvents() override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void askStop();

    QLabel *m_comment;
    QLabel *m_progressText;
    QProgressBar *m_bar;
    QPushButton *m_stop;
};

} // namespace korvex::documents
