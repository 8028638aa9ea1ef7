#pragma once

// Ends the program the way "Quitter" does when the system asks it to (SIGTERM, SIGINT).

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vt {

namespace platform {
class TerminationRequests;
}

class TerminationWatch : public QObject {
    Q_OBJECT

public:
    // The request is handled on the user-interface thread, from the event loop.
    explicit TerminationWatch(std::function<void()> onRequest, QObject* parent = nullptr);
    ~TerminationWatch() override;

    bool watching() const { return m_notifier != nullptr; }

private:
    void onReadable();

    std::function<void()> m_onRequest;
    std::unique_ptr<platform::TerminationRequests> m_requests;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace vt
