#include "app/Application.h"
#include "app/QtJapanese.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rosterpad"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ROSTERPAD_VERSION_MAJOR)
                                            .arg(ROSTERPAD_VERSION_MINOR)
                                            .arg(ROSTERPAD_VERSION_PATCH));
    rp::LoadQtTranslations();

    rp::Application app(QCoreApplication::applicationDirPath());

    // When the system ends the program, the board is written back and the duty state kept, as after "No".
    // Any moment will do: during the splash, with a message box open, or while the board runs. Every
    // event loop is left first, so no handler is cut off half-way; the end itself is done below.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &qapp);
        QObject::connect(notifier, &QSocketNotifier::activated, &qapp, [&app] {
            char byte;
            [[maybe_unused]] const auto got = ::read(signalPipe[1], &byte, 1);
            app.terminate();
            QCoreApplication::exit(0);
        });
        std::signal(SIGTERM, onTerminate);
        std::signal(SIGINT, onTerminate);
        std::signal(SIGHUP, onTerminate);
    }

    app.start();
    if (app.finished())
        return 0;
    const int code = QApplication::exec();
    app.terminate();   // nothing left to do after a normal close
    return code;
}
