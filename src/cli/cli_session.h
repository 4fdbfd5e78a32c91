// One run of the command line against the adapter: the single-copy guard, the device handler,
// the power-up chain and the scan, and the procedures on the chosen transmitter.
// One thread only.
#pragma once

#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress.h"
#include "services/utils/single_instance.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

// What the scan shows of one transmitter.
struct TransmitterInfo {
    int address = 0;
    QString range;
    QString calibration_date;
    QString product_code;
    QString status;
    bool calibrated = false;
    bool image_complete = false;
    int changes_left = -1; // -1 when not known
};

class CliSession
{
public:
    // Exit status of the command line.
    enum Status { Ok = 0, Failed = 1, Usage = 2 };

    CliSession();
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    // Takes the guard, powers the bus up and scans it. False with error() when the window runs,
    // no adapter is found or it does not power up.
    bool open();
    const QString &error() const { return fError; }

    T_Orvel_Handler &handler() { return *fHandler; }
    QList<int> addresses() const;
    // Makes the transmitter at `address` the device and reads identity and memory image.
    // False with error() when nothing answers there.
    bool select(int address);
    // What the last select read.
    TransmitterInfo info();

    int pressure_digits() const { return fPressureDigits; }
    int temperature_digits() const { return fTemperatureDigits; }

private:
    TSingleInstance fGuard;
    std::unique_ptr<T_Orvel_Handler> fHandler;
    QString fError;
    int fPressureDigits = 3;
    int fTemperatureDigits = 2;
};
