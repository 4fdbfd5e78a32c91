// Guards against a second running copy of the program with a named lock that the operating
// system drops when the holding process ends in any way, a crash included. One thread only.
#pragma once

#include <QString>

class TSingleInstance
{
public:
    static inline const QString DefaultName = QStringLiteral("Orvel_Zorbit");

    // `folder` holds the lock file; empty means the user's runtime folder, else the temporary one.
    explicit TSingleInstance(const QString &name = DefaultName, const QString &folder = QString());
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance &) = delete;
    TSingleInstance &operator=(const TSingleInstance &) = delete;

    // False only when another holder exists. On true the lock is held until this object ends;
    // where no lock can be made at all the program is let run unguarded (see isGuarded).
    // `name` (the program's) is kept with the lock, for the next copy to tell who holds it.
    bool tryAcquire(const QString &name = QString());
    // After a false tryAcquire: the name the holder kept with the lock; empty when it kept none.
    const QString &holder() const { return fHolder; }
    bool isGuarded() const { return fHeld; }
    // Lets the next copy start while this one is still winding down.
    void release();
    const QString &lockFilePath() const { return fPath; }
    const QString &errorString() const { return fError; }

private:
    QString fPath;
    QString fError;
    QString fHolder;
    bool fHeld = false;
#ifdef _WIN32
    void *fHandle = nullptr;
#else
    int fFd = -1;
#endif
};
