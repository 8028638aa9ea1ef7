// Downloads through Qt Network against the local test server: credentials, User-Agent, the
// default port, the body stored only once complete, the French failure texts, and a second
// download replacing the first.

#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include "discovery/router_methods.h"
#include "platform/native_platform.h"
#include "qt/qt_http_client.h"
#include "tests/support/http_test_server.h"
#include "tests/support/tcp_listener.h"

using namespace std::chrono_literals;

class QtHttpClientTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<vt::platform::NativePlatform> m_native;
    std::unique_ptr<vt::test::HttpTestServer> m_server;
    std::unique_ptr<vt::QtHttpClient> m_client;
    int m_done = 0;
    QStringList m_failures;

    vt::platform::FileSystem& files() { return m_native->platform().files; }
    std::string file(const char* name) const { return m_dir.filePath(name).toStdString(); }

    vt::HttpGet request(const std::string& path) const {
        vt::HttpGet get;
        get.url = m_server->url(path);
        get.user = "admin";
        get.password = "s3cret";
        get.userAgent = "JEDI-VCL";
        get.file = file("http.txt");
        return get;
    }
    void fetch(const vt::HttpGet& get) {
        m_client->get(
            get, [this] { ++m_done; },
            [this](const std::string& error) { m_failures << QString::fromStdString(error); });
    }
    void awaitEnd() { QTRY_VERIFY_WITH_TIMEOUT(m_done + m_failures.size() > 0, 10000); }
    std::optional<std::string> stored() { return files().readFile(file("http.txt")); }

private slots:
    void initTestCase() {
        // Loopback never goes through a proxy the environment may name.
        qputenv("no_proxy", "127.0.0.1,localhost");
        QVERIFY(m_dir.isValid());
        m_native = vt::platform::createNativePlatform();
    }

    void init() {
        m_server = std::make_unique<vt::test::HttpTestServer>();
        QVERIFY(m_server->valid());
        m_server->requireCredentials("admin", "s3cret");
        m_server->requireUserAgent("JEDI-VCL");
        m_server->serve("/page", "<html>\r\nBaux dhcp\r\n</html>\r\n");
        m_client = std::make_unique<vt::QtHttpClient>(files(), 3000ms, 5000ms);
        m_done = 0;
        m_failures.clear();
        files().writeFile(file("http.txt"), "ancien");
    }

    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    void bodyIsStoredWithTheAccountAndTheAgent() {
        fetch(request("/page"));
        awaitEnd();
        QCOMPARE(m_done, 1);
        QCOMPARE(stored(), std::optional<std::string>("<html>\r\nBaux dhcp\r\n</html>\r\n"));
        const auto requests = m_server->requests();
        QCOMPARE(requests.size(), std::size_t{1});
        QCOMPARE(requests[0].authorization, vt::test::basicAuthorization("admin", "s3cret"));
        QCOMPARE(requests[0].userAgent, std::string("JEDI-VCL"));
        QCOMPARE(requests[0].target, std::string("/page"));
    }

    void urlWithoutPortUsesTheDefaultPort() {
        vt::HttpGet get = request("/page");
        get.url = "127.0.0.1/page";  // no scheme either
        get.defaultPort = m_server->port();
        fetch(get);
        awaitEnd();
        QCOMPARE(m_done, 1);
        QCOMPARE(m_server->requests().at(0).host, "127.0.0.1:" + std::to_string(m_server->port()));
    }

    void failuresKeepTheEarlierFile_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        QTest::newRow("no credentials") << "no credentials"
                                        << "HTTP 401 : identifiant ou mot de passe refusé";
        QTest::newRow("wrong password") << "wrong password"
                                        << "HTTP 401 : identifiant ou mot de passe refusé";
        QTest::newRow("other agent") << "other agent"
                                     << "HTTP 403 : ";
        QTest::newRow("missing page") << "missing page"
                                      << "HTTP 404 : page introuvable";
        QTest::newRow("nobody listens") << "nobody listens"
                                        << "connexion refusée";
        QTest::newRow("silent server") << "silent server"
                                       << "pas de réponse dans le délai";
        QTest::newRow("bad address") << "bad address"
                                     << "adresse invalide : http://";
        // Replies that Qt ends as if they had succeeded.
        const QString ok = "HTTP/1.1 200 OK\r\n";
        const QString chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
        QTest::newRow("empty body") << ok + "Content-Length: 0\r\n\r\n"
                                    << "réponse vide";
        QTest::newRow("malformed chunk") << chunked + "zz\r\nlease\r\n0\r\n\r\n"
                                         << "réponse vide";
        QTest::newRow("negative chunk") << chunked + "-5\r\nlease\r\n0\r\n\r\n"
                                        << "réponse vide";
        // A leases file cut inside a block: Qt reports the closed connection itself, or the
        // body as if whole, which the check of the leases file refuses.
        QTest::newRow("huge chunk") << chunked + "7fffffffffffffff\r\nlease 10.0.0.1 {\r\n"
                                    << "";
        QTest::newRow("cut short") << ok + "Content-Length: 100\r\n\r\nlease 10.0.0.1 {"
                                   << "";
        QTest::newRow("nul byte") << ok + "Content-Length: 3\r\n\r\na" + QChar(0) + "b"
                                  << "réponse illisible";
        // One byte at a time, never silent for long: only the deadline ends it.
        QTest::newRow("dribbling server") << "dribble"
                                          << "réponse inachevée après 5 s";
    }
    void failuresKeepTheEarlierFile() {
        QFETCH(QString, what);
        QFETCH(QString, error);
        vt::HttpGet get = request("/page");
        std::optional<vt::test::SilentTcpListener> silent;
        if (what == "no credentials") {
            get.user.clear();
        } else if (what == "wrong password") {
            get.password = "other";
        } else if (what == "other agent") {
            get.userAgent = "Mozilla";
        } else if (what == "missing page") {
            get.url = m_server->url("/absent");
        } else if (what == "nobody listens") {
            get.url = "http://127.0.0.1:" + std::to_string(vt::test::unusedLoopbackPort()) + "/";
        } else if (what == "silent server") {
            silent.emplace();
            get.url = "http://127.0.0.1:" + std::to_string(silent->port()) + "/";
        } else if (what == "bad address") {
            get.url = "http://";
        } else if (what == "dribble") {
            m_server->serveRaw(
                "/raw", "HTTP/1.1 200 OK\r\nContent-Length: 9999\r\n\r\n" + std::string(9999, 'x'),
                200ms);
            get.url = m_server->url("/raw");
        } else {
            m_server->serveRaw("/raw", what.toStdString());
            get.url = m_server->url("/raw");
            get.isWhole = vt::discovery::isWholeLeasesFile;
        }
        fetch(get);
        awaitEnd();
        QCOMPARE(m_done, 0);
        QCOMPARE(m_failures.size(), 1);
        QVERIFY2(m_failures[0].startsWith(error), qPrintable(m_failures[0]));
        QVERIFY(!m_failures[0].contains("s3cret"));
        QCOMPARE(stored(), std::optional<std::string>("ancien"));
    }

    void secondDownloadReplacesTheFirst() {
        m_server->serve("/slow", "lent");
        m_server->delay("/slow", 800ms);
        fetch(request("/slow"));
        // The server holds the first answer back once it has read the request.
        QTRY_COMPARE_WITH_TIMEOUT(m_server->requests().size(), std::size_t{1}, 5000);
        fetch(request("/page"));
        QTRY_COMPARE_WITH_TIMEOUT(m_done, 1, 10000);
        QVERIFY(!m_client->running());
        // The first download's answer, if it comes, is nobody's.
        QTest::qWait(1000);
        QCOMPARE(m_done, 1);
        QVERIFY(m_failures.isEmpty());
        QCOMPARE(stored(), std::optional<std::string>("<html>\r\nBaux dhcp\r\n</html>\r\n"));
    }
};

QTEST_MAIN(QtHttpClientTest)
#include "qt_http_client_qtest.moc"
