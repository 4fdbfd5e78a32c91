// Points the user's and the system-wide data folders at a temporary tree for one test.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TempDataFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fRoot.isValid());
        fSavedHome = qgetenv("XDG_DATA_HOME");
        fSavedDirs = qgetenv("XDG_DATA_DIRS");
        userData = fRoot.filePath(QStringLiteral("home/.local/share"));
        systemData = fRoot.filePath(QStringLiteral("system/share"));
        QDir().mkpath(userData);
        QDir().mkpath(systemData);
        setFolders(userData, systemData);
    }
    void TearDown() override
    {
        restore("XDG_DATA_HOME", fSavedHome);
        restore("XDG_DATA_DIRS", fSavedDirs);
    }

    static void setFolders(const QString &user, const QString &system)
    {
        qputenv("XDG_DATA_HOME", user.toLocal8Bit());
        qputenv("XDG_DATA_DIRS", system.toLocal8Bit());
    }
    // A folder below a plain file can be neither used nor created, not even by root.
    QString unusable(const QString &name)
    {
        const QString file = fRoot.filePath(name);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return file + QStringLiteral("/share");
    }

    QTemporaryDir fRoot;
    QString userData;
    QString systemData;

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray fSavedHome;
    QByteArray fSavedDirs;
};

