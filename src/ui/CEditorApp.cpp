#include "ui/CEditorApp.h"

#include <QApplication>
#include <QIcon>
#include <memory>

#include "app/StartUp.h"
#include "base/Version.h"
#include "card/CardWatcher.h"
#include "reader/ReaderDriver.h"
#include "reader/ReaderMonitor.h"
#include "ui/CMainDlg.h"
#include "ui/CardEventBridge.h"
#include "ui/QtPrompts.h"
#include "ui/WindowWait.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

std::optional<WindowOptions> parseWindowOptions(const std::vector<std::string> &args,
                                                std::string &error) {
    WindowOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (!takeReaderOption(args, i, options.reader, error)) {
            error = "unknown argument \"" + args[i] + "\".";
        }
        if (!error.empty()) {
            return std::nullopt;
        }
    }
    return options;
}

CEditorApp::CEditorApp(int &argc, char **argv) : argc_(argc), argv_(argv) {}

int CEditorApp::InitInstance(const WindowOptions &options) {
    QApplication application(argc_, argv_);
    QApplication::setApplicationName(QStringLiteral("Velnor"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    // The name of the installed menu entry, so that the desktop shows its icon for the window.
    QApplication::setDesktopFileName(QStringLiteral("org.velnor.Velnor"));
    chooseIconTheme();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velnor.Velnor")));

    AppSession session(AppPaths::forRunningProgram());
    QtPrompts prompts(session.texts);
    const StartUpResult started = StartUp(session, prompts);
    if (started != StartUpResult::ShowMainWindow) {
        return 1;
    }
    const std::unique_ptr<CUSBOpKrnl> driver = makeReaderDriver(options.reader);
    const Timing timing = windowTiming();
    CardEventBridge bridge;
    CardWatcher watcher(*driver, bridge, timing);
    const MainServices services{session.paths, session.settings, session.ini, session.texts,
                                prompts,       *driver,          watcher,     timing};
    CMainDlg window(services);
    prompts.setOwner(&window);
    bridge.setTargets(&window.controller(), &window.controller());
    window.OnInitDialog();
    // Watched from the first look for the reader on, so that its reports compare with it.
    ReaderMonitor monitor(driver->WatchReaders(), bridge);
    monitor.start();
    const int result = QApplication::exec();
    // Nothing may wait on the window any more before the threads are ended and joined.
    bridge.close();
    monitor.stop();
    watcher.stop();
    return result;
}

} // namespace velnor
