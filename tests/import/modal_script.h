#pragma once
// Drives modal dialogs from a test: each step waits until the dialog of that name is the active
// modal widget, then acts on it. A dialog that never comes up fails the test and is closed, so
// a broken flow cannot hang the run.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

class ModalScript {
public:
    ModalScript()
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
        clock_.start();
    }
    ~ModalScript() { EXPECT_TRUE(steps_.empty()) << "dialog never shown: " << steps_.front().name.toStdString(); }

    ModalScript& on(const QString& dialog, std::function<void(QWidget*)> act)
    {
        steps_.push_back({dialog, std::move(act)});
        return *this;
    }
    bool finished() const { return steps_.empty(); }

private:
    struct Step {
        QString name;
        std::function<void(QWidget*)> act;
    };
    void tick()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!steps_.empty() && w && w->isVisible() && w->objectName() == steps_.front().name) {
            Step s = steps_.front();
            steps_.pop_front();
            clock_.restart();
            s.act(w);
            return;
        }
        if (w && clock_.elapsed() > 5000) {
            ADD_FAILURE() << "unexpected or stuck dialog: " << w->objectName().toStdString();
            if (auto* d = qobject_cast<QDialog*>(w)) d->done(QDialog::Rejected);
            else w->hide();
            clock_.restart();
        }
    }
    std::deque<Step> steps_;
    QTimer timer_;
    QElapsedTimer clock_;
};
