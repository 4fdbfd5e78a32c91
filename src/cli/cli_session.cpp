#include "cli/cli_session.h"

#include "services/settings/IniHandler.h"

namespace {

QString step_text(readdress::Step step)
{
    using readdress::Step;
    switch (step) {
    case Step::DisableSpi: return QStringLiteral("switching SPI off");
    case Step::DisableI2c: return QStringLiteral("switching I2C off");
    case Step::SwitchOff: return QStringLiteral("switching the supply off");
    case Step::SwitchOn: return QStringLiteral("switching the supply on");
    case Step::EnableI2c: return QStringLiteral("switching I2C on");
    default: return QStringLiteral("powering up");
    }
}

} // namespace

CliSession::CliSession()
{
    TIniHandler *ini = TIniHandler::getInstance();
    fPressureDigits = ini->Get_pressure_digits();
    fTemperatureDigits = ini->Get_temperature_digits();
    TIniHandler::release();
    // The window's event log is its own; the journal records what the command line changes.
    fHandler = std::make_unique<T_Orvel_Handler>([](TCategory, TMode, const QString &) {});
    fHandler->set_pressure_digits(fPressureDigits);
    fHandler->set_temperature_digits(fTemperatureDigits);
}

CliSession::~CliSession()
{
    fHandler->unload();
}

bool CliSession::open()
{
    if (!fGuard.tryAcquire()) {
        fError = QStringLiteral("Orvel I2C Zorbit is already running and holds the adapter; close it first");
        return false;
    }
    const readdress::Step failed = readdress::power_up(*fHandler, readdress::ScanChain);
    if (failed == readdress::Step::DetectDongle) {
        fError = QStringLiteral("No IO-Warrior 56 adapter found");
        return false;
    }
    if (failed != readdress::Step::None) {
        fError = QStringLiteral("The adapter failed while ") + step_text(failed);
        return false;
    }
    fHandler->get_slave_address(); // an empty bus is a result, not a failure
    return true;
}

QList<int> CliSession::addresses() const
{
    QList<int> out;
    for (const T_SlaveAddr &found : fHandler->Get_slave_addr_list())
        out.append(found.Get_int_Addr());
    return out;
}

bool CliSession::select(int address)
{
    if (!addresses().contains(address)) {
        fError = QStringLiteral("No transmitter answers at ") + T_SlaveAddr::hex_text(address);
        return false;
    }
    fHandler->Get_Device().Set_slave_addr(uint8_t(address));
    fHandler->Set_preferred_addr(address);
    // A failed read shows in the texts and in the image's completeness; the caller decides.
    fHandler->get_device_scaling();
    fHandler->get_device_memory();
    return true;
}

TransmitterInfo CliSession::info()
{
    T_OrvelDevice &device = fHandler->Get_Device();
    TransmitterInfo i;
    i.address = device.Get_slave_addr();
    i.range = fHandler->Get_PressureScalingString();
    i.calibration_date = device.Get_Calib_Date();
    i.product_code = fHandler->Get_ProductString();
    i.status = device.Get_status_as_string();
    i.image_complete = device.Get_memory_page().Get_complete();
    i.calibrated = !fHandler->check_memory_is_zero();
    if (i.image_complete && i.calibrated)
        i.changes_left = device.Get_memory_status().changes_left();
    return i;
}
