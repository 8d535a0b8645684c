#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace korvex::test {

// Runs the handler on the modal dialog of class T as soon as it is open
// (dialogs opened through a queued call appear a moment after the click).
template<class T>
void whenModal(QObject *context, std::function<void(T *)> handler)
{
    auto *timer = new QTimer(context);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, context, [timer, tries, handler] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handler(dialog);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

} // namespace korvex::test
