// The desktop's secret store through QtKeychain.
#include "services/settings/password_store.h"

#include <qt6keychain/keychain.h>

namespace {

const QString ServiceName = QStringLiteral("Orvel_IIC_Zorbit");

TSecretService::Answer answerOf(const QKeychain::Job &job)
{
    using S = TSecretService::Status;
    switch (job.error()) {
    case QKeychain::NoError:
        return {S::Ok, {}, {}};
    case QKeychain::EntryNotFound:
        return {S::NotFound, {}, job.errorString()};
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return {S::Unavailable, {}, job.errorString()};
    default:
        return {S::Failed, {}, job.errorString()};
    }
}

// Each job deletes itself once it has finished (QtKeychain's auto-delete).
template <typename Job>
Job *makeJob(const QString &key, const TSecretService::Done &done)
{
    auto *job = new Job(ServiceName);
    job->setAutoDelete(true);
    // Never QtKeychain's own plain-text file: that fallback is ours, with its rights.
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, job, [done](QKeychain::Job *finished) {
        TSecretService::Answer answer = answerOf(*finished);
        if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(finished); read && answer.status == TSecretService::Status::Ok)
            answer.password = read->textData();
        done(answer);
    });
    return job;
}

class DesktopSecretService : public TSecretService
{
public:
    void read(const QString &key, Done done) override { makeJob<QKeychain::ReadPasswordJob>(key, done)->start(); }
    void write(const QString &key, const QString &password, Done done) override
    {
        auto *job = makeJob<QKeychain::WritePasswordJob>(key, done);
        job->setTextData(password);
        job->start();
    }
    void remove(const QString &key, Done done) override { makeJob<QKeychain::DeletePasswordJob>(key, done)->start(); }
};

} // namespace

std::shared_ptr<TSecretService> TSecretService::desktop()
{
    return std::make_shared<DesktopSecretService>();
}
