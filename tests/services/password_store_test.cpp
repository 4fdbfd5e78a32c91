// The database password between the desktop's secret store and the settings file. The desktop's
// secret service cannot run here: a fake stands in for it that answers as QtKeychain's jobs do,
// later, from the event loop (or late, or never). The fallback also runs against the real
// QtKeychain where the test has no D-Bus session bus.
#include "services/settings/password_store.h"

#include "services/settings/IniHandler.h"
#include "fake_secret_service.h"
#include "qt_printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PasswordStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fRoot.isValid());
        ini = std::make_unique<TIniHandler>(fRoot.path(), fRoot.filePath(QStringLiteral("exe")));
        // What a new file gets from the process's default rights.
        ini->Set_dbHost(QStringLiteral("db.lab"));
        QFile::setPermissions(ini->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
        service = std::make_shared<FakeSecretService>();
    }
    std::unique_ptr<TPasswordStore> store(int timeoutMs = 2000)
    {
        auto s = std::make_unique<TPasswordStore>(service, timeoutMs);
        s->setNoteReporter([this](const QString &note) { notes << note; });
        return s;
    }
    // What the file holds, read afresh from the disk.
    QString passwordInFile() const { return TIniHandler(fRoot.path(), QString()).Get_dbPassword(); }
    QFileDevice::Permissions rights() const
    {
        return QFile::permissions(ini->fileName()) &
               (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
                QFileDevice::ExeOther);
    }

    QTemporaryDir fRoot;
    std::unique_ptr<TIniHandler> ini;
    std::shared_ptr<FakeSecretService> service;
    QStringList notes;
};

const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

TEST_F(PasswordStore, SecretStoreKeepsItAndTheFileNot)
{
    auto s = store();
    s->write(*ini, QStringLiteral("s3cret"));
    EXPECT_EQ(s->place(), TPasswordStore::Place::SecretStore);
    EXPECT_EQ(service->stored.value(TPasswordStore::Key), QStringLiteral("s3cret"));
    EXPECT_EQ(passwordInFile(), QString());
    EXPECT_EQ(store()->read(*ini), QStringLiteral("s3cret")) << "a new store finds it";

    s->write(*ini, QString());
    EXPECT_FALSE(service->stored.contains(TPasswordStore::Key)) << "an empty password is forgotten";
    EXPECT_EQ(s->read(*ini), QString());
    EXPECT_TRUE(notes.isEmpty()) << notes.join(u'|').toStdString();
}

TEST_F(PasswordStore, PasswordInTheFileMovesIntoTheSecretStore)
{
    ini->Set_dbPassword(QStringLiteral("from-file"));
    auto s = store();
    EXPECT_EQ(s->read(*ini), QStringLiteral("from-file"));
    EXPECT_EQ(s->place(), TPasswordStore::Place::SecretStore);
    EXPECT_EQ(service->stored.value(TPasswordStore::Key), QStringLiteral("from-file"));
    EXPECT_EQ(passwordInFile(), QString()) << "never in both";
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].contains(QLatin1String("moved"))) << notes[0].toStdString();

    // Found in both (an older copy put it back in the file): the secret store's wins, the file's goes.
    ini->Set_dbPassword(QStringLiteral("stale"));
    EXPECT_EQ(store()->read(*ini), QStringLiteral("from-file"));
    EXPECT_EQ(passwordInFile(), QString());
}

TEST_F(PasswordStore, WithoutSecretStoreTheFileKeepsItForItsOwnerOnly)
{
    const struct {
        const char *what;
        FakeSecretService::Mode mode;
        const char *why;
    } cases[] = {{"no secret service", FakeSecretService::Mode::Unavailable, "No keychain service available"},
                 {"a secret service that never answers", FakeSecretService::Mode::Hangs, "no answer"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        service->mode = c.mode;
        service->calls = 0;
        notes.clear();
        ini->Set_dbPassword(QString());
        QFile::setPermissions(ini->fileName(), OwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);

        auto s = store(200);
        s->write(*ini, QStringLiteral("s3cret"));
        EXPECT_EQ(s->place(), TPasswordStore::Place::SettingsFile);
        EXPECT_EQ(passwordInFile(), QStringLiteral("s3cret"));
        EXPECT_EQ(rights(), OwnerOnly);
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(notes[0].contains(QLatin1String(c.why))) << notes[0].toStdString();
        EXPECT_TRUE(notes[0].contains(QDir::toNativeSeparators(ini->fileName()))) << notes[0].toStdString();

        // Later steps neither wait for the secret store again nor say it again.
        EXPECT_EQ(s->read(*ini), QStringLiteral("s3cret"));
        s->write(*ini, QStringLiteral("n3w"));
        EXPECT_EQ(service->calls, 1);
        EXPECT_EQ(notes.size(), 1);
        EXPECT_EQ(passwordInFile(), QStringLiteral("n3w"));

        // Other settings rewrite the file; its rights stay.
        ini->Set_dbTimeout(12);
        EXPECT_EQ(rights(), OwnerOnly);
    }
}

TEST_F(PasswordStore, AnAnswerAfterTheTimeOutFindsNobodyWaiting)
{
    service->mode = FakeSecretService::Mode::Late;
    service->lateMs = 300;
    {
        auto s = store(50);
        s->write(*ini, QStringLiteral("s3cret"));
        EXPECT_EQ(s->place(), TPasswordStore::Place::SettingsFile);
    } // the store is gone when the answer comes
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 600)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(service->stored.value(TPasswordStore::Key), QStringLiteral("s3cret")) << "the late job did run";
    EXPECT_EQ(passwordInFile(), QStringLiteral("s3cret"));
}

TEST_F(PasswordStore, DesktopSecretStoreAbsentFallsBackToTheFile)
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "a D-Bus session bus is there; the desktop's secret store may be too";
    TPasswordStore s; // QtKeychain
    s.setNoteReporter([this](const QString &note) { notes << note; });
    s.write(*ini, QStringLiteral("s3cret"));
    EXPECT_EQ(s.place(), TPasswordStore::Place::SettingsFile);
    EXPECT_EQ(passwordInFile(), QStringLiteral("s3cret"));
    EXPECT_EQ(rights(), OwnerOnly);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes[0].startsWith(QLatin1String("No desktop secret store ("))) << notes[0].toStdString();
    EXPECT_EQ(s.read(*ini), QStringLiteral("s3cret"));
}
