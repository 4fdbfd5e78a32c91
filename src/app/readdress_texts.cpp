#include "app/readdress_texts.h"

#include "transmitter/OrvelHandler.h"

namespace readdress_texts {

namespace {

// One step's texts: left status (translated unless `fixedLeft`), middle status and log lines.
struct StepTexts {
    const char *leftKey;
    const char *leftDefault;
    bool fixedLeft;
    const char *successKey;
    const char *successDefault;
    const char *successLog;
    const char *failureKey;
    const char *failureDefault;
    const char *failureLog;
};

const StepTexts DisableI2c = {nullptr, "IIC ", true, "IIC_disable_succ", "IIC-Mode successfully disabled",
                              "IIC-Mode successfully disabled", "IIC_disable_err", "IIC-Mode NOT disabled",
                              "IIC-Mode NOT disabled"};
const StepTexts DisableSpi = {nullptr, "SPI ", true, "spi_succ", "SPI Mode successfully disabled",
                              "SPI Mode successfully disabled", "spi_err", "SPI Mode NOT disabled",
                              "SPI Mode NOT disabled"};
const StepTexts PowerOff = {"OFF", "OFF", false, "succ_off", "Successfully switched OFF", "Successfully switched OFF",
                            "err_off", "Problems to switch OFF", "Problems to switch OFF"};
const StepTexts PowerOn = {"on", "ON", false, "succ_ON", "Successfully switched ON", "Successfully switched ON",
                           "err_ON", "Problems to switch ON", "Problems to switch ON"};
const StepTexts EnableI2c = {nullptr, "IIC-Mode", true, "IIC_enable_succ", "IIC-Mode successfully enabled",
                             "IIC-Mode successfully enabled", "IIC_not", "IIC-Mode could not be initialized",
                             "IIC-Mode could not be initialized"};
const StepTexts CommandMode = {"Command Mode", "Command Mode", false, "succ_cmd_mode",
                               "Command Mode successfully enabled", "Command Mode successfully enabled",
                               "err_cmd_mode", "Problems to enable Command Mode", "Problems to enable Command Mode"};
const StepTexts Write = {"Write", "Write", false, "mem_succ", "Memory successfully copied",
                         "Memory successfully copied", "err_cpy", "Problems to copy memory!",
                         "Problems to copy memory"};
const StepTexts Verify = {"Verify", "Verify", false, "succ_very", "Comparison of memory successfully executed",
                          "Verification of memory successfully executed", "err_very",
                          "Verification of memory failed !", "Verification of memory failed"};
const StepTexts Checksum = {"Checksum", "Checksum", false, "checksum_succ", "Checksum successfully generated",
                            "Checksum successfully generated", "err_checksum", "Problems to generate checksum !",
                            "Problems to generate checksum"};
const StepTexts PowerOffAfter = {"OFF", "OFF", false, "succ_off_re", "Successfully switched OFF after re-addressing",
                                 "Successfully switched OFF after re-addressing", "err_off_re",
                                 "Problems to switch OFF after re-addressing",
                                 "Problems to switch OFF after re-addressing"};
const StepTexts PowerOnAfter = {"on", "ON", false, "succ_on_re", "Successfully switched ON after re-addressing",
                                "Successfully switched ON after re-addressing", "err_on_re",
                                "Problems to switch ON after re-addressing",
                                "Problems to switch ON after re-addressing"};

const StepTexts NewAddress = {"readdr_address", "Address", false, "new_addr_succ",
                              "Transmitter answers at the new address", "Transmitter answers at the new address",
                              "new_addr_err", "Transmitter does not answer at the new address with the written memory",
                              "Transmitter does not answer at the new address with the written memory"};

const StepTexts *texts_of(readdress::Step step)
{
    using readdress::Step;
    switch (step) {
    case Step::DisableI2c: return &DisableI2c;
    case Step::DisableSpi: return &DisableSpi;
    case Step::SwitchOff: return &PowerOff;
    case Step::SwitchOn: return &PowerOn;
    case Step::EnableI2c: return &EnableI2c;
    case Step::CommandMode: return &CommandMode;
    case Step::Write: return &Write;
    case Step::Verify: return &Verify;
    case Step::Checksum: return &Checksum;
    case Step::SwitchOffAfter: return &PowerOffAfter;
    case Step::SwitchOnAfter: return &PowerOnAfter;
    case Step::NewAddress: return &NewAddress;
    default: return nullptr;
    }
}

} // namespace

std::optional<StepReport> step_report(readdress::Step step, bool ok, const Translate &tr)
{
    const StepTexts *t = texts_of(step);
    if (!t)
        return std::nullopt;
    if (!ok)
        return StepReport{tr("Error", "Error"), tr(t->failureKey, t->failureDefault), QString::fromLatin1(t->failureLog)};
    return StepReport{t->fixedLeft ? QString::fromLatin1(t->leftDefault) : tr(t->leftKey, t->leftDefault),
                      tr(t->successKey, t->successDefault), QString::fromLatin1(t->successLog)};
}

RefusalReport refusal_report(readdress::Refusal why, const Translate &tr, const QList<int> &matching)
{
    using readdress::Refusal;
    switch (why) {
    case Refusal::AddressInUse:
        return {tr("refuse_in_use", "The new address is in use on the bus. Nothing was written."),
                QStringLiteral("Re-addressing refused: the new address is in use")};
    case Refusal::Incomplete:
        return {tr("refuse_incomplete", "The memory image was not read completely from this transmitter. Nothing was written; let the scan read it again."),
                QStringLiteral("Re-addressing refused: memory image incomplete")};
    case Refusal::NotCalibrated:
        return {tr("not_allowed", "Device NOT calibrated! Change of address not possible") + u'!',
                QStringLiteral("Re-addressing refused: device not calibrated")};
    case Refusal::NoChangeLeft:
        return {tr("none", "Change of address not possible") + u'!',
                QStringLiteral("Re-addressing refused: no change left")};
    case Refusal::MemoryError:
        return {tr("refuse_memory_error", "The transmitter reports a memory error, so its own memory image cannot be trusted. Nothing was written; giving it a new address needs a saved memory image."),
                QStringLiteral("Re-addressing refused: the transmitter reports a memory error")};
    case Refusal::OtherProduct:
        return {tr("refuse_other_product", "The saved memory image belongs to a transmitter with another product code. Nothing was written."),
                QStringLiteral("Restore refused: the image belongs to another product code")};
    case Refusal::NotOnBus:
        return {tr("refuse_not_on_bus", "No transmitter on the bus carries the product code and calibration of this memory image. Nothing was written."),
                QStringLiteral("Restore refused: no transmitter on the bus carries the image's identity")};
    case Refusal::TwoMatch: {
        QStringList addresses;
        for (int address : matching)
            addresses << T_SlaveAddr::hex_text(address);
        const QString list = addresses.join(QStringLiteral(", "));
        return {tr("refuse_two_match", "More than one transmitter on the bus carries the product code and calibration of this memory image, so it is not known which one it belongs to. Nothing was written; leave only that one on the bus. They answer at:") +
                    u' ' + list,
                QStringLiteral("Restore refused: more than one transmitter carries the image's identity: ") + list};
    }
    default:
        return {tr("refuse_other_image", "The transmitter no longer holds the memory image that the scan read. Nothing was written; let the scan read it again."),
                QStringLiteral("Re-addressing refused: the transmitter holds another image")};
    }
}

WhereReport where_it_answers(int answersAt, const Translate &tr)
{
    if (answersAt == readdress::AnswersUnknown)
        return {tr("answers_unknown", "The adapter could not look for the transmitter"),
                QStringLiteral("The adapter could not look for the transmitter")};
    if (answersAt < 0)
        return {tr("answers_nowhere", "The transmitter does not answer on the bus"),
                QStringLiteral("The transmitter does not answer on the bus")};
    const QString address = T_SlaveAddr::hex_text(answersAt);
    return {tr("answers_at", "The transmitter now answers at") + u' ' + address,
            QStringLiteral("The transmitter now answers at ") + address};
}

Report written_report(const Translate &tr)
{
    return {tr("written_damaged", "Its memory was written and may be damaged, and one of its changes of address may be used up. The way back: File → Re-addressing journal…, select this attempt and press \"Restore before-image…\"."),
            QStringLiteral("The memory was written and may be damaged; the journal's before-image brings it back")};
}

Report done_report(bool restore, int from, int to, const Translate &tr)
{
    const QString at = T_SlaveAddr::hex_text(to);
    if (restore)
        return {tr("restore_done", "The saved memory image was written back. The transmitter answers at %1.").arg(at),
                QStringLiteral("The transmitter answers at ") + at};
    return {tr("readdr_done", "The transmitter now answers at %1 instead of %2.").arg(at, T_SlaveAddr::hex_text(from)),
            QStringLiteral("The transmitter now answers at ") + at};
}

} // namespace readdress_texts
