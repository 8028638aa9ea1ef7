#pragma once

// Downloads through Qt Network, with the system's proxy configuration. The body is stored
// through the platform's whole-file write once it is complete, so a failed download leaves an
// earlier file as it was. A body that did not arrive whole counts as a failure: Qt ends some
// broken transfers (a malformed chunk size, a connection closed early) as if they had
// succeeded, with an empty or short body.

#include <QObject>
#include <QPointer>

#include <chrono>
#include <cstdint>

#include "core/http_client.h"
#include "platform/platform.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace vt {

class QtHttpClient : public QObject, public HttpClient {
    Q_OBJECT

public:
    // A transfer that stays silent longer than the time-out fails, and so does one that is
    // not over by the deadline (a server that sends a byte now and then); a body larger than
    // the limit fails too.
    static constexpr std::chrono::milliseconds kDefaultTimeout{60000};
    static constexpr std::chrono::milliseconds kDefaultDeadline{120000};
    static constexpr std::int64_t kBodyLimit = 64LL * 1024 * 1024;

    explicit QtHttpClient(platform::FileSystem& files,
                          std::chrono::milliseconds timeout = kDefaultTimeout,
                          std::chrono::milliseconds deadline = kDefaultDeadline,
                          QObject* parent = nullptr);
    ~QtHttpClient() override;

    void get(const HttpGet& request, std::function<void()> done,
             std::function<void(const std::string& error)> failed) override;

    bool running() const { return !m_reply.isNull(); }

private:
    void abandon();
    void finished(QNetworkReply* reply, const HttpGet& request, const std::function<void()>& done,
                  const std::function<void(const std::string&)>& failed);

    platform::FileSystem& m_files;
    std::chrono::milliseconds m_timeout;
    std::chrono::milliseconds m_deadline;
    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer* m_deadlineTimer;
    bool m_tooLarge = false;
    bool m_late = false;
};

}  // namespace vt
