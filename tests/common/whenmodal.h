#pragma once
// Runs `answer` on the next modal widget of type W once it is shown, while
// the caller blocks in exec(); `answer` must close it.
#include <QApplication>
#include <QTimer>
#include <functional>

template <typename W>
inline void whenModal(const std::function<void(W*)>& answer)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* modal = qobject_cast<W*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start();
}
