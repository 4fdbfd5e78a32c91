// Connection failures in words: the client library's numbers and texts, trial connections that
// need no server (an unknown name, a closed port, a silent listener), and, where the test
// command names a MariaDB server, a refused login and missing rights.
#include "services/recording/server_failure.h"

#include "qt_printers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <gtest/gtest.h>

using server_failure::Kind;

namespace {

const char *name(Kind kind)
{
    switch (kind) {
    case Kind::None: return "None";
    case Kind::HostNotFound: return "HostNotFound";
    case Kind::Refused: return "Refused";
    case Kind::Unreachable: return "Unreachable";
    case Kind::TimedOut: return "TimedOut";
    case Kind::LoginDenied: return "LoginDenied";
    case Kind::NoRights: return "NoRights";
    case Kind::UnknownDatabase: return "UnknownDatabase";
    case Kind::TlsRequired: return "TlsRequired";
    case Kind::TlsUnavailable: return "TlsUnavailable";
    case Kind::NoDriver: return "NoDriver";
    case Kind::Other: return "Other";
    }
    return "?";
}

// The English defaults, as the program shows them without a language file.
QString english(const char *, const char *defaultText)
{
    return QString::fromUtf8(defaultText);
}

// A local port on which nothing listens (it was free a moment ago).
uint16_t closedPort()
{
    QTcpServer server;
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const uint16_t port = server.serverPort();
    server.close();
    return port;
}

server_failure::Params local(uint16_t port)
{
    server_failure::Params p;
    p.host = QStringLiteral("127.0.0.1");
    p.port = port;
    p.user = QStringLiteral("bench");
    p.timeoutSeconds = 2;
    return p;
}

} // namespace

TEST(ServerFailure, ClassifiesTheClientLibrarysNumbersAndTexts)
{
    const struct {
        const char *code;
        const char *text;
        Kind kind;
    } cases[] = {
        {"2005", "Unknown server host 'no-such-host.invalid' (-2)", Kind::HostNotFound},
        {"2003", "Can't connect to server on '127.0.0.1' (111)", Kind::Refused},
        {"2002", "Can't connect to server on 'db' (115)", Kind::TimedOut},
        {"2003", "Can't connect to MySQL server on 'db' (110)", Kind::TimedOut},
        {"2003", "Can't connect to server on '10.1.2.3' (113)", Kind::Unreachable},
        {"2003", "Can't connect to server on 'db' (101)", Kind::Unreachable},
        {"2003", "Can't connect to server on 'db' (24)", Kind::Other},
        {"2013", "Lost connection to server at 'handshake: reading initial communication packet', system error: 110",
         Kind::TimedOut},
        {"1045", "Access denied for user 'bench'@'10.0.0.7' (using password: YES)", Kind::LoginDenied},
        {"1130", "Host '10.0.0.7' is not allowed to connect to this MariaDB server", Kind::LoginDenied},
        {"1698", "Access denied for user 'root'@'localhost'", Kind::LoginDenied},
        {"1044", "Access denied for user 'bench'@'%' to database 'runs'", Kind::NoRights},
        {"1142", "INSERT command denied to user 'bench'@'%' for table 'runs'", Kind::NoRights},
        {"1143", "SELECT command denied to user 'bench'@'%' for column 'x' in table 'runs'", Kind::NoRights},
        {"1227", "Access denied; you need (at least one of) the SUPER privilege(s)", Kind::NoRights},
        {"1049", "Unknown database 'runs'", Kind::UnknownDatabase},
        {"3159", "Connections using insecure transport are prohibited while --require_secure_transport=ON.",
         Kind::TlsRequired},
        {"2026", "SSL connection error: error:0A000086:SSL routines::certificate verify failed", Kind::TlsUnavailable},
        // A number we do not know: the text decides.
        {"4151", "Connections using insecure transport are prohibited while --require_secure_transport=ON.",
         Kind::TlsRequired},
        {"9999", "something else", Kind::Other},
        // No number at all (another client library): the text alone.
        {"", "Unknown MySQL server host 'x'", Kind::HostNotFound},
        {"", "Connection refused", Kind::Refused},
        {"", "Connection timed out", Kind::TimedOut},
        {"", "Access denied for user 'x'@'y'", Kind::LoginDenied},
        {"", "Driver not loaded", Kind::NoDriver},
        {"", "", Kind::Other},
    };
    for (const auto &c : cases) {
        EXPECT_STREQ(name(server_failure::classify(QString::fromLatin1(c.code), QString::fromLatin1(c.text))),
                     name(c.kind))
            << c.code << " " << c.text;
    }
}

TEST(ServerFailure, WordsNameWhatFailedAndKeepTheServersText)
{
    server_failure::Params p = local(3307);
    p.host = QStringLiteral("db.lab");
    p.user = QStringLiteral("bench");
    p.database = QStringLiteral("runs");
    p.timeoutSeconds = 7;
    const struct {
        Kind kind;
        const char *serverText;
        const char *expected;
    } cases[] = {
        {Kind::HostNotFound, "Unknown server host 'db.lab' (-2)",
         "The server name db.lab is not known: check the host name. [Unknown server host 'db.lab' (-2)]"},
        {Kind::Refused, "", "The server db.lab refused the connection on port 3307: is the database server running there?"},
        {Kind::TimedOut, "", "The server db.lab did not answer within 7 seconds."},
        {Kind::LoginDenied, "Access denied", "The server denied the login of user bench: check user name and password. [Access denied]"},
        {Kind::NoRights, "", "User bench has no rights on database runs."},
        {Kind::TlsRequired, "", "The server accepts encrypted connections only: tick \"Require TLS\"."},
        {Kind::Other, "  ", "The connection failed."},
    };
    for (const auto &c : cases) {
        const server_failure::Outcome outcome{c.kind, QString::fromLatin1(c.serverText), {}};
        EXPECT_EQ(server_failure::words(outcome, p, english), QString::fromUtf8(c.expected)) << name(c.kind);
    }
    const server_failure::Outcome connected{Kind::None, {}, QStringLiteral("10.11.6-MariaDB")};
    EXPECT_EQ(server_failure::words(connected, p, english), QStringLiteral("Connected to db.lab (server version 10.11.6-MariaDB)."));

    // Through the translator, placeholders filled in the translated sentence.
    const auto german = [](const char *key, const char *) {
        return QLatin1String(key) == QLatin1String("db_fail_timeout") ? QStringLiteral("%1 hat in %2 Sekunden nicht geantwortet.")
                                                                      : QString();
    };
    EXPECT_EQ(server_failure::words({Kind::TimedOut, {}, {}}, p, german), QStringLiteral("db.lab hat in 7 Sekunden nicht geantwortet."));
}

TEST(ServerFailure, ProbeWithoutAServer)
{
    {
        SCOPED_TRACE("unknown host name");
        server_failure::Params p = local(3306);
        p.host = QStringLiteral("no-such-host.invalid");
        const server_failure::Outcome o = server_failure::probe(p);
        EXPECT_STREQ(name(o.kind), "HostNotFound") << o.serverText.toStdString();
        EXPECT_FALSE(o.serverText.isEmpty());
    }
    {
        SCOPED_TRACE("no host given");
        server_failure::Params p = local(3306);
        p.host = QStringLiteral("  ");
        EXPECT_STREQ(name(server_failure::probe(p).kind), "HostNotFound");
        EXPECT_EQ(server_failure::words(server_failure::probe(p), p, english), QStringLiteral("No server host is given."));
    }
    {
        SCOPED_TRACE("closed port");
        const server_failure::Outcome o = server_failure::probe(local(closedPort()));
        EXPECT_STREQ(name(o.kind), "Refused") << o.serverText.toStdString();
    }
    {
        SCOPED_TRACE("unknown type");
        server_failure::Params p = local(3306);
        p.type = QStringLiteral("oracle");
        EXPECT_STREQ(name(server_failure::probe(p).kind), "NoDriver");
    }
}

TEST(ServerFailure, SilentListenerTimesOutWithinTheTimeOut)
{
    // Accepted by the system's backlog, never greeted: the handshake waits for the time-out.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    server_failure::Params p = local(silent.serverPort());
    p.timeoutSeconds = 1;
    QElapsedTimer clock;
    clock.start();
    const server_failure::Outcome o = server_failure::probe(p);
    EXPECT_STREQ(name(o.kind), "TimedOut") << o.serverText.toStdString();
    EXPECT_LT(clock.elapsed(), 20000) << "bounded by the time-out, not hung";
}

namespace {

// A MariaDB server given by the test command, with an account that may create users.
struct TestServer {
    QString host;
    uint16_t port = 3306;
    QString rootUser;
    QString rootPassword;
};

bool testServer(TestServer &server)
{
    server.host = qEnvironmentVariable("ZORBIT_TEST_MARIADB_HOST");
    if (server.host.isEmpty())
        return false;
    server.port = uint16_t(qEnvironmentVariableIntValue("ZORBIT_TEST_MARIADB_PORT"));
    if (server.port == 0)
        server.port = 3306;
    server.rootUser = qEnvironmentVariable("ZORBIT_TEST_MARIADB_ROOT_USER", QStringLiteral("root"));
    server.rootPassword = qEnvironmentVariable("ZORBIT_TEST_MARIADB_ROOT_PASSWORD");
    return true;
}

server_failure::Params on(const TestServer &server, const QString &user, const QString &password,
                          const QString &database = {})
{
    server_failure::Params p;
    p.host = server.host;
    p.port = server.port;
    p.user = user;
    p.password = password;
    p.database = database;
    p.timeoutSeconds = 5;
    return p;
}

// The test server's administrator connection under `connection`; empty when it does not open.
// Encrypted when the server wants it, whatever its certificate.
QString openAdmin(const TestServer &server, const QString &connection)
{
    QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), connection);
    admin.setHostName(server.host);
    admin.setPort(server.port);
    admin.setUserName(server.rootUser);
    admin.setPassword(server.rootPassword);
    if (admin.open())
        return connection;
    admin.setConnectOptions(QStringLiteral("SSL_CIPHER=HIGH"));
    return admin.open() ? connection : QString();
}

} // namespace

TEST(ServerFailure, ProbeAgainstTheTestServer)
{
    TestServer server;
    if (!testServer(server))
        GTEST_SKIP() << "no MariaDB server given (ZORBIT_TEST_MARIADB_HOST)";

    const server_failure::Outcome root = server_failure::probe(on(server, server.rootUser, server.rootPassword));
    ASSERT_STREQ(name(root.kind), "None") << root.serverText.toStdString();
    EXPECT_FALSE(root.serverVersion.isEmpty());

    const struct {
        const char *what;
        server_failure::Params params;
        Kind kind;
    } cases[] = {
        {"wrong password", on(server, server.rootUser, server.rootPassword + QStringLiteral("-wrong")), Kind::LoginDenied},
        {"unknown user", on(server, QStringLiteral("zorbit_no_such_user"), QStringLiteral("x")), Kind::LoginDenied},
        {"unknown database", on(server, server.rootUser, server.rootPassword, QStringLiteral("zorbit_no_such_db")),
         Kind::UnknownDatabase},
    };
    for (const auto &c : cases) {
        const server_failure::Outcome o = server_failure::probe(c.params);
        EXPECT_STREQ(name(o.kind), name(c.kind)) << c.what << ": " << o.serverText.toStdString();
    }
}

TEST(ServerFailure, ProbeWithoutRightsOnTheDatabase)
{
    TestServer server;
    if (!testServer(server))
        GTEST_SKIP() << "no MariaDB server given (ZORBIT_TEST_MARIADB_HOST)";
    const QString connection = QStringLiteral("rights_admin");
    const QStringList setUp = {
        QStringLiteral("CREATE DATABASE IF NOT EXISTS zorbit_probe_rights"),
        // Also for 'localhost', which an anonymous user of that host would otherwise take.
        QStringLiteral("DROP USER IF EXISTS 'zorbit_no_rights'@'%', 'zorbit_no_rights'@'localhost'"),
        QStringLiteral("CREATE USER 'zorbit_no_rights'@'%' IDENTIFIED BY 'pw'"),
        QStringLiteral("CREATE USER 'zorbit_no_rights'@'localhost' IDENTIFIED BY 'pw'"),
    };
    {
        ASSERT_EQ(openAdmin(server, connection), connection) << QSqlDatabase::database(connection, false).lastError().text().toStdString();
        QSqlDatabase admin = QSqlDatabase::database(connection, false);
        for (const QString &statement : setUp) {
            QSqlQuery q(admin);
            ASSERT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
        }

        const server_failure::Outcome o = server_failure::probe(
            on(server, QStringLiteral("zorbit_no_rights"), QStringLiteral("pw"), QStringLiteral("zorbit_probe_rights")));
        EXPECT_STREQ(name(o.kind), "NoRights") << o.serverText.toStdString();

        QSqlQuery cleanUp(admin);
        EXPECT_TRUE(cleanUp.exec(QStringLiteral("DROP USER 'zorbit_no_rights'@'%', 'zorbit_no_rights'@'localhost'")));
        EXPECT_TRUE(cleanUp.exec(QStringLiteral("DROP DATABASE zorbit_probe_rights")));
    }
    QSqlDatabase::removeDatabase(connection);
}

TEST(ServerFailure, TlsAsTheServerOffersOrDemandsIt)
{
    TestServer server;
    if (!testServer(server))
        GTEST_SKIP() << "no MariaDB server given (ZORBIT_TEST_MARIADB_HOST)";
    const QString connection = QStringLiteral("tls_admin");
    QString haveSsl, requireSecure;
    {
        ASSERT_EQ(openAdmin(server, connection), connection) << QSqlDatabase::database(connection, false).lastError().text().toStdString();
        QSqlQuery q(QSqlDatabase::database(connection, false));
        ASSERT_TRUE(q.exec(QStringLiteral("SHOW VARIABLES LIKE 'have_ssl'")) && q.next());
        haveSsl = q.value(1).toString();
        if (q.exec(QStringLiteral("SHOW VARIABLES LIKE 'require_secure_transport'")) && q.next())
            requireSecure = q.value(1).toString();
    }
    QSqlDatabase::removeDatabase(connection);
    const bool offers = haveSsl == QLatin1String("YES");
    const bool demands = requireSecure == QLatin1String("ON");
    SCOPED_TRACE(("have_ssl " + haveSsl + ", require_secure_transport " + requireSecure).toStdString());

    server_failure::Params p = on(server, server.rootUser, server.rootPassword);
    p.requireTls = true;
    server_failure::Outcome o = server_failure::probe(p);
    if (offers && o.kind == Kind::TlsUnavailable) {
        // Offered, but with a certificate the system does not trust: refused, and said why.
        EXPECT_TRUE(o.serverText.contains(QLatin1String("certificate"))) << o.serverText.toStdString();
    } else {
        EXPECT_STREQ(name(o.kind), offers ? "None" : "TlsUnavailable") << o.serverText.toStdString();
    }

    p.requireTls = false;
    o = server_failure::probe(p);
    EXPECT_STREQ(name(o.kind), demands ? "TlsRequired" : "None") << o.serverText.toStdString();
}
