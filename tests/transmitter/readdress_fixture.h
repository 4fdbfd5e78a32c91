// A handler on the simulated adapter that scans the bus as the scan worker does, and what the
// simulated chip holds afterwards, by its own account.
#pragma once

#include "handler_fixture.h"
#include "transmitter/readdress.h"

#include <vector>

class ReaddressOnSim : public HandlerOnSim
{
protected:
    // Power-up chain, address, identity and image; `measure` adds the cycle's measurement.
    // `imageRead` false lets a memory read that reports a failure pass (a half-written chip).
    void scan(bool measure = false, bool imageRead = true)
    {
        ASSERT_EQ(readdress::power_up(*handler, readdress::ScanChain), readdress::Step::None);
        ASSERT_TRUE(handler->get_slave_address());
        ASSERT_TRUE(handler->get_device_scaling());
        const bool read = handler->get_device_memory();
        if (imageRead) {
            ASSERT_TRUE(read);
        }
        if (measure) {
            ASSERT_TRUE(handler->get_measurement());
        }
        forget();
    }
    // Words 0x00 to 0x16: everything a change or a restore writes.
    static std::vector<uint16_t> words(const T_DeviceMemory &image)
    {
        std::vector<uint16_t> out;
        for (int a = 0; a < 0x17; ++a)
            out.push_back(image.at(a).value());
        return out;
    }
    // The chip answers at `address` with exactly `expected`, a valid checksum and no memory error.
    bool holds(const std::vector<uint16_t> &expected, uint8_t address)
    {
        const iowsim_transmitter_info chip = transmitter();
        const unsigned short *page = chip.pages[chip.current_page];
        return chip.address == address && !chip.memory_error &&
               std::vector<uint16_t>(page, page + 0x17) == expected && page[0x17] == sim.iowsim_checksum(page);
    }
};
