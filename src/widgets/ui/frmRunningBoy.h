#pragma once

#include "widgets/xProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace korvex::widgets {

// The shared wait window ("Подождите пожалуйста"): a text line and a figure
// of 20 steps. A caller sets the text, resets the figure and shows the
// window (begin); after each processed record the figure advances one step at
// a time while it is below the processed share times 20, so it ends full
// however many records there were; end() hides the window. While shown it
// keeps input from the other windows, so a long loop cannot be re-entered.
class TfrmRunningBoy : public QDialog, public TxProgress
{
    Q_OBJECT
public:
    static constexpr int Steps = 20;

    explicit TfrmRunningBoy(QWidget *parent = nullptr);
    // The program's one wait window, made on first use.
    static TfrmRunningBoy &shared();

    QString text() const;
    void setText(const QString &text) override;
    void reset();
    // One record more: processed of total are done.
    void step(qint64 processed, qint64 total);
    int figure() const { return m_figure; }

    void begin(const QString &text, qint64 total) override;
    void setPosition(qint64 done) override { step(done, m_total); }
    bool wasStopped() const override { return false; }
    void end() override;

private:
    QLabel *m_text;
    QProgressBar *m_figureBar;
    int m_figure = 0;
    qint64 m_total = 0;
};

} // namespace korvex::widgets
