#include "qt/qt_http_client.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "core/text_file.h"

namespace vt {

namespace {

// The transfer's failure in French; Qt's own texts are English.
std::string failureText(QNetworkReply& reply, bool tooLarge, bool late,
                        std::chrono::milliseconds deadline) {
    if (tooLarge) {
        return "réponse trop grande";
    }
    if (late) {
        return "réponse inachevée après " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(deadline).count()) +
               " s";
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    std::string text;
    switch (reply.error()) {
        case QNetworkReply::ConnectionRefusedError:
            text = "connexion refusée";
            break;
        case QNetworkReply::RemoteHostClosedError:
            text = "connexion fermée par le serveur";
            break;
        case QNetworkReply::HostNotFoundError:
            text = "serveur introuvable (" + reply.url().host().toStdString() + ")";
            break;
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            text = "pas de réponse dans le délai";
            break;
        case QNetworkReply::AuthenticationRequiredError:
            text = "identifiant ou mot de passe refusé";
            break;
        case QNetworkReply::ContentNotFoundError:
            text = "page introuvable";
            break;
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
        case QNetworkReply::ProxyAuthenticationRequiredError:
            text = "proxy injoignable ou refusé";
            break;
        case QNetworkReply::NoError:
            text = "réponse inattendue";
            break;
        default:
            text = reply.errorString().toStdString();
            break;
    }
    if (status.isValid()) {
        return "HTTP " + std::to_string(status.toInt()) + " : " + text;
    }
    return text;
}

QUrl requestUrl(const HttpGet& request) {
    QString text = QString::fromStdString(request.url).trimmed();
    if (!text.contains("://")) {
        text.prepend("http://");
    }
    QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && url.port() == -1) {
        url.setPort(request.defaultPort);
    }
    return url;
}

// Why a body that Qt reports as received is no whole file; empty when it is one.
std::string incompleteBodyReason(const QNetworkReply& reply, const QByteArray& body) {
    if (body.isEmpty()) {
        return "réponse vide";
    }
    const QVariant announced = reply.header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != body.size()) {
        return "réponse incomplète (" + std::to_string(body.size()) + " octets reçus sur " +
               std::to_string(announced.toLongLong()) + " annoncés)";
    }
    if (body.contains('\0')) {
        return "réponse illisible (caractère nul)";
    }
    return {};
}

}  // namespace

QtHttpClient::QtHttpClient(platform::FileSystem& files, std::chrono::milliseconds timeout,
                           std::chrono::milliseconds deadline, QObject* parent)
    : QObject(parent),
      m_files(files),
      m_timeout(timeout),
      m_deadline(deadline),
      m_manager(new QNetworkAccessManager(this)),
      m_deadlineTimer(new QTimer(this)) {
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_deadlineTimer->setSingleShot(true);
    connect(m_deadlineTimer, &QTimer::timeout, this, [this] {
        if (m_reply) {
            m_late = true;
            m_reply->abort();
        }
    });
}

QtHttpClient::~QtHttpClient() {
    abandon();
}

void QtHttpClient::abandon() {
    m_deadlineTimer->stop();
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void QtHttpClient::get(const HttpGet& request, std::function<void()> done,
                       std::function<void(const std::string& error)> failed) {
    abandon();
    const QUrl url = requestUrl(request);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != "http" && url.scheme() != "https")) {
        // Reported later, as every other outcome.
        const std::string error = "adresse invalide : " + request.url;
        QTimer::singleShot(0, this, [failed, error] {
            if (failed) {
                failed(error);
            }
        });
        return;
    }
    QNetworkRequest networkRequest(url);
    networkRequest.setHeader(QNetworkRequest::UserAgentHeader,
                             QString::fromStdString(request.userAgent));
    if (!request.user.empty()) {
        // The credentials go in the header, never in the URL, which error texts may show.
        const std::string credentials = toWindows1252(request.user + ":" + request.password);
        networkRequest.setRawHeader("Authorization",
                                    "Basic " + QByteArray::fromStdString(credentials).toBase64());
    }
    // A redirect to another server must not carry the router's password there.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::SameOriginRedirectPolicy);
    networkRequest.setTransferTimeout(static_cast<int>(m_timeout.count()));

    m_tooLarge = false;
    m_late = false;
    QNetworkReply* reply = m_manager->get(networkRequest);
    m_reply = reply;
    m_deadlineTimer->start(m_deadline);
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > kBodyLimit && reply == m_reply) {
            m_tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, request, done = std::move(done), failed = std::move(failed)] {
                finished(reply, request, done, failed);
            });
}

void QtHttpClient::finished(QNetworkReply* reply, const HttpGet& request,
                            const std::function<void()>& done,
                            const std::function<void(const std::string&)>& failed) {
    reply->deleteLater();
    if (reply != m_reply) {
        return;
    }
    m_reply = nullptr;
    m_deadlineTimer->stop();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    std::string error;
    if (reply->error() != QNetworkReply::NoError || m_tooLarge || m_late || status < 200 ||
        status > 299) {
        error = failureText(*reply, m_tooLarge, m_late, m_deadline);
    } else {
        const QByteArray body = reply->readAll();
        error = incompleteBodyReason(*reply, body);
        if (error.empty() && request.isWhole &&
            !request.isWhole(std::string_view(body.constData(), body.size()))) {
            error = "réponse incomplète (document coupé)";
        }
        if (error.empty() && !m_files.writeFile(request.file, body.toStdString())) {
            error = "impossible d'écrire le fichier " + request.file;
        }
    }
    if (error.empty()) {
        if (done) {
            done();
        }
    } else if (failed) {
        failed(error);
    }
}

}  // namespace vt
