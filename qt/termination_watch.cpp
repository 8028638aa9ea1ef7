#include "qt/termination_watch.h"

#include <QSocketNotifier>

#include "platform/termination_requests.h"

namespace vt {

TerminationWatch::TerminationWatch(std::function<void()> onRequest, QObject* parent)
    : QObject(parent),
      m_onRequest(std::move(onRequest)),
      m_requests(platform::watchTerminationRequests()) {
    if (m_requests->descriptor() < 0) {
        return;
    }
    m_notifier = new QSocketNotifier(m_requests->descriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatch::onReadable);
}

TerminationWatch::~TerminationWatch() = default;

void TerminationWatch::onReadable() {
    if (m_requests->consume() && m_onRequest) {
        m_onRequest();
    }
}

}  // namespace vt
