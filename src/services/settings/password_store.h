// The database server's password: in the desktop's secret store where there is one, else in the
// settings file ("dbconfig" "pw"), which is then made readable by its owner alone. Never in both:
// a password that reaches the secret store leaves the file. GUI thread only: the secret store
// answers through the event loop, which runs locally while waiting, bounded by a time-out.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class TIniHandler;

// The desktop's secret store as the password store needs it. Its operations only start a job;
// `done` is called once, from the event loop, when the job ends, possibly after the caller gave
// up waiting, or never when the store hangs.
class TSecretService
{
public:
    enum class Status { Ok, NotFound, Unavailable, Failed };
    struct Answer {
        Status status = Status::Failed;
        QString password; // of a read
        QString error;    // why, when not Ok
    };
    using Done = std::function<void(const Answer &answer)>;

    virtual ~TSecretService() = default;
    virtual void read(const QString &key, Done done) = 0;
    virtual void write(const QString &key, const QString &password, Done done) = 0;
    virtual void remove(const QString &key, Done done) = 0;

    // The desktop's own (the Secret Service over D-Bus, KWallet, the platform's keychain).
    static std::shared_ptr<TSecretService> desktop();
};

class TPasswordStore
{
public:
    enum class Place { SecretStore, SettingsFile };

    static constexpr int DefaultTimeoutMs = 10000;
    // The key of the password in the secret store.
    static const QString Key;

    explicit TPasswordStore(std::shared_ptr<TSecretService> service = TSecretService::desktop(),
                            int timeoutMs = DefaultTimeoutMs);

    // The stored password, empty when there is none. One found only in the settings file moves
    // into the secret store when that takes it.
    QString read(TIniHandler &ini);
    // Stores `password`; an empty one is forgotten in both places.
    void write(TIniHandler &ini, const QString &password);
    // Where the last read or write kept the password.
    Place place() const { return fPlace; }

    // Hears, once per store, that the password is kept in the settings file and why; and when it
    // moved out of the file. English, for the event log.
    using NoteReporter = std::function<void(const QString &note)>;
    void setNoteReporter(NoteReporter reporter) { fReportNote = std::move(reporter); }

private:
    using Start = std::function<void(const TSecretService::Done &done)>;
    // Runs one job to its end or to the time-out; a time-out counts as no secret store.
    TSecretService::Answer await(const Start &start);
    // True when the secret store took the step; false leaves the password to the file.
    bool usable(const TSecretService::Answer &answer);
    void keepInFile(TIniHandler &ini, const QString &password);
    void forgetInFile(TIniHandler &ini);

    std::shared_ptr<TSecretService> fService;
    int fTimeoutMs;
    bool fServiceWorks = true; // until it failed once
    QString fWhyNot;
    bool fFallbackNoted = false;
    Place fPlace = Place::SecretStore;
    NoteReporter fReportNote;
};
