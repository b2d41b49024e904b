// Answers the next modal dialog or popup a test opens: once one is active, the given action
// runs on it (sending keys or clicks). Gives up after five seconds, so nothing waits forever.
#ifndef KV_MODALANSWER_H
#define KV_MODALANSWER_H

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

inline void answerNextModal(std::function<void(QWidget*)> action) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, clock, poll] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (w && w->isVisible()) {
            action(w);
            *poll = nullptr; // break the self-reference
            return;
        }
        if (clock->elapsed() > 5000) {
            // Nothing showed up: close whatever is modal so the test can fail, not hang.
            if (QWidget* any = QApplication::activeModalWidget())
                any->close();
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

#endif
