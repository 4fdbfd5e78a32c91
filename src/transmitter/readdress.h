// Giving a transmitter a new slave address, and the power-up chain that every user of the bus
// runs before it talks to a transmitter. No widgets: the window and the command line turn each
// reported step into their own texts.
// Threading: runs on whichever thread owns the adapter at the time; nothing else may use the
// handler meanwhile.
#pragma once

#include <QList>
#include <cstdint>
#include <functional>
#include <vector>

class T_Orvel_Handler;
class T_SlaveAddr;
class T_DeviceMemory;

namespace readdress {

enum class Step {
    None, // nothing failed
    DetectDongle,
    DisableI2c,
    DisableSpi,
    SwitchOff,
    SwitchOn,
    EnableI2c,
    CommandMode,
    Check,   // the image may not be written: see Refusal
    Confirm, // the user declined
    Write,
    Verify,
    Checksum,
    SwitchOffAfter,
    SwitchOnAfter,
    NewAddress, // the transmitter does not answer at the new address with the written image
};

// Why an image is not written; nothing has been written when one of these is reported.
enum class Refusal {
    None,
    AddressInUse,  // the new address is the transmitter's own or another transmitter's
    Incomplete,    // the last read did not deliver every word of the image
    NotCalibrated, // a blank image
    NoChangeLeft,  // the last page is in use
    MemoryError,   // the transmitter's own image cannot be trusted
    OtherImage,    // the transmitter no longer holds the image the scan read
    OtherProduct,  // a saved image of another transmitter (restore)
    NotOnBus,      // no transmitter on the bus carries the saved image's identity (restore)
    TwoMatch,      // more than one does, so the one it belongs to is not known (restore)
};

// Where the transmitter answers when it answers at no address.
constexpr int AnswersNowhere = -1;   // the bus was searched and it was not found
constexpr int AnswersUnknown = -2;   // the adapter could not power the bus up or search it

struct Outcome {
    Step failed = Step::None;
    Refusal refusal = Refusal::None;
    // The page-opening command went out: one of the changes may be used up.
    bool written = false;
    // Where the transmitter answers once the procedure has ended, out of command mode, or
    // AnswersNowhere / AnswersUnknown.
    int answers_at = AnswersNowhere;
    bool succeeded() const { return failed == Step::None; }
};

// Told of every step that ran, with its result.
using Observer = std::function<void(Step step, bool ok)>;
// Asked once the transmitter is in command mode; false declines.
using Confirm = std::function<bool(uint8_t new_address)>;

// The chains, in their order; a 10 ms pause follows each step whether or not it ran.
extern const std::vector<Step> ScanChain;       // detect, SPI off, I2C off, supply off, on, I2C on
extern const std::vector<Step> RecoveryChain;   // the same without detect
extern const std::vector<Step> CommandModeChain; // I2C off, SPI off, off, on, I2C on, command mode

// Runs the chain; each step runs only while every step before it succeeded, except
// `tolerated`, whose failure is reported and passed over. Returns the first failed step.
Step power_up(T_Orvel_Handler &h, const std::vector<Step> &chain, const Observer &observer = {},
              Step tolerated = Step::None);

// What the last scan read allows, before any bus traffic.
Refusal check_image(T_Orvel_Handler &h, uint8_t new_address);

// The whole procedure on the transmitter at the device's slave address, with the image the
// last scan read. Success is reported only after the transmitter answered at the new address
// with exactly the written image and no memory error. After a step that failed once the bus was
// used, the transmitter is powered out of command mode and looked for; the outcome tells where
// it answers and the device takes that address.
Outcome readdress(T_Orvel_Handler &h, uint8_t new_address, const Confirm &confirm, const Observer &observer = {});

// Writes a saved image back to the transmitter at the device's slave address, through the same
// steps. Its own memory may be half written, so it need not hold any image; it must carry the
// saved image's product code (Cust_ID0, Cust_ID1), or a page cut off before those words with
// nothing written after them, and have a page left. Afterwards it answers at the address the
// saved image holds.
Outcome restore(T_Orvel_Handler &h, const T_DeviceMemory &saved, const Confirm &confirm,
                const Observer &observer = {});

// The transmitter on the bus a saved image belongs to, whichever one is selected: its address,
// or NotOnBus, TwoMatch (`matching` lists them) or Incomplete (an image on the bus could not be
// read, so a second match cannot be ruled out). A transmitter belongs to the image when its
// identity words (Cust_ID0, Cust_ID1, scaling0 .. scaling4) are the image's; only when none
// does, one whose page was cut off before one of them with nothing written after it.
// Afterwards the device holds the found transmitter's address and image.
struct Owner {
    int address = AnswersNowhere;
    Refusal refusal = Refusal::None;
    QList<int> matching;
};
Owner find_owner(T_Orvel_Handler &h, const T_DeviceMemory &saved);

// What a saved image allows, before any bus traffic.
Refusal check_saved_image(T_Orvel_Handler &h, const T_DeviceMemory &saved);

// The status byte's memory-error bit.
constexpr uint8_t StatusMemoryError = 0x04;

} // namespace readdress
