#include "services/recording/server_failure.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace server_failure {

namespace {

// The system error the client library puts in brackets at the end of a connect failure,
// e.g. "Can't connect to server on 'db' (111)"; -1 when there is none.
int systemError(const QString &text)
{
    static const QRegularExpression trailing(QStringLiteral(R"(\((\d+)\)\s*$)"));
    const QRegularExpressionMatch m = trailing.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

Kind fromSystemError(int error)
{
    switch (error) {
    case 111: // ECONNREFUSED
        return Kind::Refused;
    case 110: // ETIMEDOUT
    case 115: // EINPROGRESS: the connect did not finish within the time-out
        return Kind::TimedOut;
    case 101: // ENETUNREACH
    case 113: // EHOSTUNREACH
        return Kind::Unreachable;
    default:
        return Kind::Other;
    }
}

// For messages without a number we know, or from another client library.
Kind fromText(const QString &text)
{
    const QString t = text.toLower();
    const auto has = [&t](const char *part) { return t.contains(QLatin1String(part)); };
    if (has("secure transport"))
        return Kind::TlsRequired;
    if (has("unknown server host") || has("unknown mysql server host") || has("name or service not known"))
        return Kind::HostNotFound;
    if (has("connection refused"))
        return Kind::Refused;
    if (has("no route to host") || has("network is unreachable"))
        return Kind::Unreachable;
    if (has("timed out") || has("timeout"))
        return Kind::TimedOut;
    if (has("unknown database"))
        return Kind::UnknownDatabase;
    if (has("access denied for user"))
        return Kind::LoginDenied;
    if (has("command denied") || has("access denied"))
        return Kind::NoRights;
    if (has("ssl") || has("tls"))
        return Kind::TlsUnavailable;
    if (has("driver not loaded"))
        return Kind::NoDriver;
    return Kind::Other;
}

QString driverFor(const QString &type)
{
    const QString t = type.trimmed().toLower();
    if (t == QLatin1String("mysql") || t == QLatin1String("mariadb"))
        return QStringLiteral("QMYSQL");
    return {};
}

Outcome failed(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return {classify(error.nativeErrorCode(), text), text, {}};
}

// One prepared question; its first row's column `column`, or the failure.
bool ask(QSqlDatabase &db, const QString &statement, int column, QString &answer, Outcome &failure)
{
    QSqlQuery query(db);
    if (!query.prepare(statement) || !query.exec()) {
        failure = failed(query.lastError());
        return false;
    }
    answer = query.next() ? query.value(column).toString() : QString();
    return true;
}

enum class Tls { Off, Verified, Unverified };

Outcome talk(QSqlDatabase &db, const Params &params, Tls tls)
{
    db.setHostName(params.host.trimmed());
    db.setPort(params.port);
    db.setDatabaseName(params.database);
    db.setUserName(params.user);
    db.setPassword(params.password);
    const QString seconds = QString::number(qMax(1, params.timeoutSeconds));
    QStringList options = {QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=") + seconds,
                           QStringLiteral("MYSQL_OPT_READ_TIMEOUT=") + seconds,
                           QStringLiteral("MYSQL_OPT_WRITE_TIMEOUT=") + seconds};
    // Either names what makes the client library start TLS; the system's certificates make
    // it check the server's too.
    if (tls == Tls::Verified)
        options << QStringLiteral("SSL_CAPATH=/etc/ssl/certs");
    else if (tls == Tls::Unverified)
        options << QStringLiteral("SSL_CIPHER=HIGH");
    db.setConnectOptions(options.join(u';'));
    QElapsedTimer clock;
    clock.start();
    if (!db.open()) {
        Outcome outcome = failed(db.lastError());
        // The client library connects without blocking and reports the unfinished connect
        // (EINPROGRESS) both for a port that refuses at once and for one that never answers.
        if (outcome.kind == Kind::TimedOut && systemError(outcome.serverText) == 115 &&
            clock.elapsed() < qMax(1, params.timeoutSeconds) * 1000 / 2)
            outcome.kind = Kind::Refused;
        return outcome;
    }

    Outcome outcome;
    if (!ask(db, QStringLiteral("SELECT VERSION()"), 0, outcome.serverVersion, outcome))
        return outcome;
    if (tls != Tls::Off) {
        // The client library falls back to plain text where the server offers no TLS.
        QString cipher;
        if (!ask(db, QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'"), 1, cipher, outcome))
            return outcome;
        if (cipher.isEmpty())
            return {Kind::TlsUnavailable, QStringLiteral("the connection is not encrypted"), {}};
    }
    outcome.kind = Kind::None;
    return outcome;
}

} // namespace

Kind classify(const QString &nativeCode, const QString &text)
{
    bool isNumber = false;
    const int code = nativeCode.trimmed().toInt(&isNumber);
    if (!isNumber)
        return fromText(text);
    switch (code) {
    case 2005: // unknown server host
        return Kind::HostNotFound;
    case 2002: // cannot connect (local socket, or the address did not answer)
    case 2003: // cannot connect to the server on the host
    {
        const Kind kind = fromSystemError(systemError(text));
        return kind == Kind::Other ? fromText(text) : kind;
    }
    case 2013: // lost the connection, during the handshake mostly by time-out
    {
        const Kind kind = fromSystemError(systemError(text));
        if (kind != Kind::Other)
            return kind;
        const Kind said = fromText(text);
        return said == Kind::Other ? Kind::TimedOut : said;
    }
    case 1045: // access denied for user
    case 1130: // host not allowed to connect
    case 1698: // access denied without password
        return Kind::LoginDenied;
    case 1044: // access denied to the database
    case 1142: // command denied on a table
    case 1143: // command denied on a column
    case 1227: // a privilege is needed
        return Kind::NoRights;
    case 1049:
        return Kind::UnknownDatabase;
    case 3159: // insecure transport prohibited
        return Kind::TlsRequired;
    case 2026: // TLS could not be set up
        return Kind::TlsUnavailable;
    default:
        return fromText(text);
    }
}

Outcome probe(const Params &params)
{
    const QString driver = driverFor(params.type);
    if (driver.isEmpty() || !QSqlDatabase::isDriverAvailable(driver))
        return {Kind::NoDriver, driver.isEmpty() ? params.type : driver, {}};
    if (params.host.trimmed().isEmpty())
        return {Kind::HostNotFound, {}, {}};

    const auto attempt = [&driver, &params](const QString &name, Tls tls) {
        Outcome outcome;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
            outcome = talk(db, params, tls);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return outcome;
    };
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("server_probe_%1").arg(serial.fetch_add(1));
    Outcome outcome = attempt(name, params.requireTls ? Tls::Verified : Tls::Off);
    if (outcome.kind == Kind::LoginDenied && !params.requireTls) {
        // MariaDB denies a plain login with the words of a wrong password when it wants TLS
        // (require_secure_transport, or an account that requires it): an encrypted try tells.
        // It only tells; its connection is not used.
        if (attempt(name, Tls::Unverified).connected())
            outcome.kind = Kind::TlsRequired;
    }
    return outcome;
}

QString words(const Outcome &outcome, const Params &params, const Translate &tr)
{
    const QString host = params.host.trimmed();
    QString sentence;
    switch (outcome.kind) {
    case Kind::None:
        return tr("db_connected", "Connected to %1 (server version %2).").arg(host, outcome.serverVersion);
    case Kind::HostNotFound:
        sentence = host.isEmpty() ? tr("db_fail_no_host", "No server host is given.")
                                  : tr("db_fail_host", "The server name %1 is not known: check the host name.").arg(host);
        break;
    case Kind::Refused:
        sentence = tr("db_fail_refused", "The server %1 refused the connection on port %2: is the database server running there?")
                       .arg(host)
                       .arg(params.port);
        break;
    case Kind::Unreachable:
        sentence = tr("db_fail_unreachable", "The server %1 cannot be reached over the network.").arg(host);
        break;
    case Kind::TimedOut:
        sentence = tr("db_fail_timeout", "The server %1 did not answer within %2 seconds.").arg(host).arg(params.timeoutSeconds);
        break;
    case Kind::LoginDenied:
        sentence = tr("db_fail_login", "The server denied the login of user %1: check user name and password.").arg(params.user);
        break;
    case Kind::NoRights:
        sentence = tr("db_fail_rights", "User %1 has no rights on database %2.").arg(params.user, params.database);
        break;
    case Kind::UnknownDatabase:
        sentence = tr("db_fail_database", "The server has no database %1.").arg(params.database);
        break;
    case Kind::TlsRequired:
        sentence = tr("db_fail_tls_required", "The server accepts encrypted connections only: tick \"Require TLS\".");
        break;
    case Kind::TlsUnavailable:
        sentence = tr("db_fail_tls", "No encrypted (TLS) connection could be made to the server.");
        break;
    case Kind::NoDriver:
        sentence = tr("db_fail_driver", "The driver for database type %1 is not installed.").arg(params.type);
        break;
    case Kind::Other:
        sentence = tr("db_fail_other", "The connection failed.");
        break;
    }
    const QString own = outcome.serverText.trimmed();
    return own.isEmpty() ? sentence : sentence + QStringLiteral(" [") + own + u']';
}

} // namespace server_failure
