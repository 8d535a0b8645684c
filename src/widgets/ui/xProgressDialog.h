#pragma once

#include "widgets/xProgress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace korvex::widgets {

// Progress window with a stop button "Прервать": a caption, a text, position
// of maximum. setPosition() processes pending window events (at most every
// few hundredths of a second) so that the button, Escape and closing the
// window work during the loop; they set wasStopped(), after the cancel
// question when one is set. While shown it keeps input from the other
// windows, so the loop cannot be re-entered.
class TxProgressDialog : public QDialog, public TxProgress
{
    Q_OBJECT
public:
    explicit TxProgressDialog(QWidget *parent = nullptr);

    // Asked (Yes/No) before stopping; empty: the button stops at once.
    void setCancelQuestion(const QString &question) { m_cancelQuestion = question; }
    void setStoppable(bool on);

    void begin(const QString &text, qint64 total) override;
    void setText(const QString &text) override;
    QString text() const;
    void setMaximum(qint64 total);
    void setPosition(qint64 done) override;
    qint64 position() const { return m_position; }
    bool wasStopped() const override { return m_stopped; }
    void end() override;

    // What the stop button does.
    void stop();
    QPushButton *stopButton() const { return m_stop; }

Q_SIGNALS:
    void stopped();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    int scaled(qint64 value) const;

    QLabel *m_text;
    QProgressBar *m_bar;
    QPushButton *m_stop;
    QString m_cancelQuestion;
    QElapsedTimer m_sincePump;
    qint64 m_total = 0;
    qint64 m_position = 0;
    bool m_stopped = false;
};

} // namespace korvex::widgets
