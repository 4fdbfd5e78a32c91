#include "services/settings/password_store.h"

#include "services/settings/IniHandler.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

const QString TPasswordStore::Key = QStringLiteral("dbconfig/pw");

TPasswordStore::TPasswordStore(std::shared_ptr<TSecretService> service, int timeoutMs)
    : fService(std::move(service)), fTimeoutMs(timeoutMs)
{
    if (!fService) {
        fServiceWorks = false;
        fWhyNot = QStringLiteral("no secret store");
    }
}

TSecretService::Answer TPasswordStore::await(const Start &start)
{
    // The answer may come after we stopped waiting: it then finds the wait over and no loop.
    struct Wait {
        bool over = false;
        TSecretService::Answer answer;
        QPointer<QEventLoop> loop;
    };
    auto wait = std::make_shared<Wait>();
    start([wait](const TSecretService::Answer &answer) {
        if (wait->over)
            return;
        wait->over = true;
        wait->answer = answer;
        if (wait->loop)
            wait->loop->quit();
    });
    if (!wait->over) {
        QEventLoop loop;
        wait->loop = &loop;
        QTimer::singleShot(fTimeoutMs, &loop, &QEventLoop::quit);
        // The user's clicks wait: the dialog that asked is in the middle of a step.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!wait->over) {
        wait->over = true;
        return {TSecretService::Status::Unavailable, {},
                QStringLiteral("no answer within %1 s").arg(fTimeoutMs / 1000.0)};
    }
    return wait->answer;
}

bool TPasswordStore::usable(const TSecretService::Answer &answer)
{
    if (answer.status == TSecretService::Status::Ok || answer.status == TSecretService::Status::NotFound)
        return true;
    // Not asked again: a store that hung or said no once would only make each step wait.
    fServiceWorks = false;
    fWhyNot = answer.error.isEmpty() ? QStringLiteral("unknown failure") : answer.error;
    return false;
}

QString TPasswordStore::read(TIniHandler &ini)
{
    const QString inFile = ini.Get_dbPassword();
    if (fServiceWorks) {
        const auto answer = await([this](const TSecretService::Done &done) { fService->read(Key, done); });
        if (usable(answer)) {
            if (answer.status == TSecretService::Status::Ok) {
                forgetInFile(ini);
                fPlace = Place::SecretStore;
                return answer.password;
            }
            if (inFile.isEmpty()) {
                fPlace = Place::SecretStore;
                return {};
            }
            const auto moved = await(
                [this, &inFile](const TSecretService::Done &done) { fService->write(Key, inFile, done); });
            if (usable(moved)) {
                forgetInFile(ini);
                fPlace = Place::SecretStore;
                if (fReportNote)
                    fReportNote(QStringLiteral("The database password moved from the settings file into the "
                                               "desktop's secret store."));
                return inFile;
            }
        }
    }
    keepInFile(ini, inFile);
    return inFile;
}

void TPasswordStore::write(TIniHandler &ini, const QString &password)
{
    if (fServiceWorks) {
        const auto answer = await([this, &password](const TSecretService::Done &done) {
            if (password.isEmpty())
                fService->remove(Key, done);
            else
                fService->write(Key, password, done);
        });
        if (usable(answer)) {
            forgetInFile(ini);
            fPlace = Place::SecretStore;
            return;
        }
    }
    keepInFile(ini, password);
}

void TPasswordStore::keepInFile(TIniHandler &ini, const QString &password)
{
    fPlace = Place::SettingsFile;
    if (password.isEmpty()) {
        forgetInFile(ini);
        return;
    }
    // Closed before the password goes in, and again after: a file made by the write has the
    // process's default rights.
    const QString file = ini.fileName();
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (QFileInfo::exists(file))
        QFile::setPermissions(file, ownerOnly);
    if (ini.Get_dbPassword() != password)
        ini.Set_dbPassword(password);
    QFile::setPermissions(file, ownerOnly);
    if (!fFallbackNoted && fReportNote) {
        fFallbackNoted = true;
        fReportNote(QStringLiteral("No desktop secret store (%1): the database password is kept in %2, "
                                   "readable by its owner only.")
                        .arg(fWhyNot, QDir::toNativeSeparators(file)));
    }
}

void TPasswordStore::forgetInFile(TIniHandler &ini)
{
    if (!ini.Get_dbPassword().isEmpty())
        ini.Set_dbPassword(QString());
}
