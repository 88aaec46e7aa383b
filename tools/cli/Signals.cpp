#include "tools/cli/Signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {
int gPipe[2] = {-1, -1};

void OnSignal(int sig)
{
    const unsigned char b = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &b, 1);
}
} // namespace

struct StopSignals::Impl {
    std::function<void(int)> onSignal;
    QSocketNotifier* notifier = nullptr;
    struct sigaction oldInt {}, oldTerm {};
};

StopSignals::StopSignals(std::function<void(int)> onSignal) : impl_(new Impl)
{
    impl_->onSignal = std::move(onSignal);
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    impl_->notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read);
    QObject::connect(impl_->notifier, &QSocketNotifier::activated, [impl = impl_] {
        unsigned char b = 0;
        while (::read(gPipe[0], &b, 1) == 1) impl->onSignal(b);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, &impl_->oldInt);
    ::sigaction(SIGTERM, &sa, &impl_->oldTerm);
}

int StopSignalFd() { return gPipe[0]; }

StopSignals::~StopSignals()
{
    ::sigaction(SIGINT, &impl_->oldInt, nullptr);
    ::sigaction(SIGTERM, &impl_->oldTerm, nullptr);
    delete impl_->notifier;
    if (gPipe[0] >= 0) {
        ::close(gPipe[0]);
        ::close(gPipe[1]);
        gPipe[0] = gPipe[1] = -1;
    }
    delete impl_;
}

} // namespace cli
