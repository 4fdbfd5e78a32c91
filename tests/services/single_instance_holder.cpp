// Test helper: takes the single-instance guard in a process of its own.
//   single_instance_holder <name> <folder> [spawn]  prints "acquired" or "refused"; when
//     acquired it holds the guard until its standard input closes. With "spawn" it first starts
//     a sleeping copy of itself and prints "child <pid>".
//   single_instance_holder sleep                      sleeps 60 s, holding nothing.
#include "services/utils/single_instance.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QStringLiteral("sleep")) {
        QThread::sleep(60);
        return 0;
    }
    if (args.size() < 2)
        return 2;
    TSingleInstance guard(args.at(0), args.at(1));
    if (!guard.tryAcquire()) {
        std::printf("refused\n");
        std::fflush(stdout);
        return 3;
    }
    if (args.value(2) == QStringLiteral("spawn")) {
        qint64 pid = 0;
        if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("sleep")}, {}, &pid))
            return 4;
        std::printf("child %lld\n", static_cast<long long>(pid));
    }
    std::printf("acquired\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
