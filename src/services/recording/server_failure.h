// Why a connection to the database server failed, in the user's words, and a trial connection
// that finds out. No widgets. probe() may run on any thread (its connection lives and dies in
// that call); words() is called where the translation runs, the main thread.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace server_failure {

enum class Kind {
    None,            // connected
    HostNotFound,    // the name does not resolve
    Refused,         // nothing listens on the port, or a firewall says no
    Unreachable,     // no route to the host
    TimedOut,        // no answer within the time-out
    LoginDenied,     // user or password wrong, or not from this computer
    NoRights,        // logged in, but not allowed to use the database
    UnknownDatabase, // no database of that name
    TlsRequired,     // the server wants an encrypted connection
    TlsUnavailable,  // an encrypted connection was required and could not be had
    NoDriver,        // the database type, or its driver, is not installed
    Other,
};

// What a connection needs; the settings of the "dbconfig" section.
struct Params {
    QString type = QStringLiteral("mysql");
    QString host;
    uint16_t port = 3306;
    QString database;
    QString user;
    QString password;
    int timeoutSeconds = 30;
    bool requireTls = false;
};

struct Outcome {
    Kind kind = Kind::Other;
    QString serverText;    // the driver's or server's own message, empty on success
    QString serverVersion; // on success
    bool connected() const { return kind == Kind::None; }
};

// The kind of a failed MySQL or MariaDB connection from the client library's error number
// (QSqlError::nativeErrorCode) and, where the number says too little, its message.
Kind classify(const QString &nativeCode, const QString &text);

// Connects with `params`, asks the server a prepared question, and disconnects. Blocks for at
// most about the time-out per step (the host name lookup aside).
Outcome probe(const Params &params);

using Translate = std::function<QString(const char *key, const char *defaultText)>;

// The sentence for the user, the server's own text appended in brackets.
QString words(const Outcome &outcome, const Params &params, const Translate &tr);

} // namespace server_failure
