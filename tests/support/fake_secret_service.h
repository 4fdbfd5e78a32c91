// Stands in for the desktop's secret service, which cannot run in a test: an in-memory store
// that answers as QtKeychain's jobs do, later, from the event loop; or late, or never, or that
// says there is no secret service. Main thread only.
#pragma once

#include "services/settings/password_store.h"

#include <QMap>
#include <QTimer>

class FakeSecretService : public TSecretService
{
public:
    enum class Mode { Answers, Unavailable, Hangs, Late };
    Mode mode = Mode::Answers;
    int lateMs = 300;
    QMap<QString, QString> stored;
    int calls = 0;

    void read(const QString &key, Done done) override
    {
        answer(std::move(done), [this, key] {
            if (!stored.contains(key))
                return Answer{Status::NotFound, {}, QStringLiteral("Entry not found")};
            return Answer{Status::Ok, stored.value(key), {}};
        });
    }
    void write(const QString &key, const QString &password, Done done) override
    {
        answer(std::move(done), [this, key, password] {
            stored.insert(key, password);
            return Answer{Status::Ok, {}, {}};
        });
    }
    void remove(const QString &key, Done done) override
    {
        answer(std::move(done), [this, key] {
            return stored.remove(key) ? Answer{Status::Ok, {}, {}} : Answer{Status::NotFound, {}, QStringLiteral("Entry not found")};
        });
    }

private:
    void answer(Done done, std::function<Answer()> job)
    {
        ++calls;
        switch (mode) {
        case Mode::Hangs:
            return;
        case Mode::Unavailable:
            QTimer::singleShot(0, [done] { done({Status::Unavailable, {}, QStringLiteral("No keychain service available")}); });
            return;
        case Mode::Late:
            QTimer::singleShot(lateMs, [done, job] { done(job()); });
            return;
        case Mode::Answers:
            QTimer::singleShot(0, [done, job] { done(job()); });
            return;
        }
    }
};
