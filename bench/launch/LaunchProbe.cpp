// Loaded into the real window program with LD_PRELOAD by the launch benchmark. It writes, to the
// descriptor named by VELNOR_PROBE_FD, when the main window first painted and when each take-over
// question appeared (both lists are then read), answers each question "No", and after the first
// one starts a read from the toolbar, as a user would.

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

#include "ui/CommandStates.h"

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class LaunchProbe : public QObject {
public:
    explicit LaunchProbe(int fd) : fd_(fd) {}

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            auto *widget = qobject_cast<QWidget *>(object);
            if (widget != nullptr && qobject_cast<QMainWindow *>(widget->window()) != nullptr) {
                painted_ = true;
                mark("shown");
            }
        }
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(object)) {
                answer(box);
            }
        }
        return false;
    }

private:
    void mark(const char *what) {
        const std::string line =
            std::string(what) + " " + std::to_string(monotonicNanoseconds()) + "\n";
        if (write(fd_, line.data(), line.size()) < 0) {
            std::_Exit(3);
        }
    }
    void answer(QMessageBox *box) {
        mark(questions_++ == 0 ? "lists" : "toolbar-read-end");
        QTimer::singleShot(0, box, [box] {
            if (QAbstractButton *no = box->button(QMessageBox::No)) {
                no->click();
            } else {
                box->reject();
            }
        });
        if (questions_ == 1) {
            QTimer::singleShot(0, qApp, [this] { readFromToolbar(); });
        }
    }
    void readFromToolbar() {
        // Only once the first read has given the window back, as a click would come.
        if (QThread::currentThread()->loopLevel() > 1 || QApplication::activeModalWidget()) {
            QTimer::singleShot(5, qApp, [this] { readFromToolbar(); });
            return;
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            const QString name = QStringLiteral("toolbar%1").arg(velnor::command::Read);
            if (auto *read = top->findChild<QAction *>(name);
                read != nullptr && read->isEnabled()) {
                mark("toolbar-read-start");
                read->trigger();
                return;
            }
        }
        QTimer::singleShot(5, qApp, [this] { readFromToolbar(); });
    }

    int fd_;
    bool painted_ = false;
    int questions_ = 0;
};

void installProbe() {
    const char *fd = std::getenv("VELNOR_PROBE_FD");
    if (fd != nullptr) {
        qApp->installEventFilter(new LaunchProbe(std::atoi(fd)));
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
