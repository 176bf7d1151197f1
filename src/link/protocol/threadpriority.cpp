#include "threadpriority.h"

#include <QThread>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace ThreadPriority {

Outcome raiseCurrentThread(QString *why)
{
#ifdef Q_OS_LINUX
    // Qt maps its priorities onto the ordinary policy's single level here,
    // so they change nothing: ask the kernel directly.
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_RR);
    const int realTime = pthread_setschedparam(pthread_self(), SCHED_RR, &param);
    if (realTime == 0)
        return Outcome::RealTime;
    const auto tid = id_t(syscall(SYS_gettid));
    if (setpriority(PRIO_PROCESS, tid, -10) == 0)
        return Outcome::Raised;
    if (why)
        *why = QString::fromLocal8Bit(std::strerror(realTime));
    return Outcome::Refused;
#else
    QThread::currentThread()->setPriority(QThread::TimeCriticalPriority);
    if (QThread::currentThread()->priority() == QThread::TimeCriticalPriority)
        return Outcome::Raised;
    if (why)
        *why = QStringLiteral("the priority stayed as it was");
    return Outcome::Refused;
#endif
}

const char *outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::RealTime:
        return "real-time";
    case Outcome::Raised:
        return "raised";
    case Outcome::Refused:
        break;
    }
    return "not raised";
}

} // namespace ThreadPriority
