// A handler on the simulated adapter with its log lines recorded, and the adapter's traffic.
#pragma once

#include "transmitter/OrvelHandler.h"
#include "qt_printers.h"
#include "sim_control.h"

#include <gtest/gtest.h>
#include <vector>

// Reaches the handler's transaction primitives, which the program keeps private.
struct HandlerProbe {
    static int write_cmd(T_Orvel_Handler &h, uint8_t address, uint8_t command) { return h.iic_write_cmd(address, command); }
    static int read(T_Orvel_Handler &h, uint8_t address, uint8_t count, T_Orvel_Handler::ReadBuffer &buffer)
    {
        return h.iic_read(address, count, buffer);
    }
};

struct LogLine {
    TCategory category;
    TMode mode;
    QString text;
    bool operator==(const LogLine &o) const { return category == o.category && mode == o.mode && text == o.text; }
};

inline void PrintTo(const LogLine &line, std::ostream *os)
{
    *os << "{cat " << int(line.category) << ", mode " << int(line.mode) << ", \"" << line.text.toStdString() << "\"}";
}

using Bytes = std::vector<uint8_t>;

class HandlerOnSim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.loaded()) << sim.error();
        std::string error;
        ASSERT_TRUE(sim.start(scenario(), &error)) << error;
        handler = std::make_unique<T_Orvel_Handler>([this](TCategory c, TMode m, const QString &text) {
            lines.push_back({c, m, text});
        });
    }
    void TearDown() override { handler.reset(); }

    // Scenario text for this fixture; empty for the default transmitter at 0x28.
    virtual std::string scenario() { return {}; }
    std::string scenarioFile(const std::string &text) { return text.empty() ? text : sim.writeFile("scenario.ini", text); }

    // The start-up chain of a scan, then the address scan; traffic and log forgotten.
    void connect()
    {
        connect_traffic_kept();
        forget();
    }
    // The same, with the traffic and the log kept.
    void connect_traffic_kept()
    {
        ASSERT_TRUE(handler->detect_dongle());
        ASSERT_TRUE(handler->disable_SPI());
        ASSERT_TRUE(handler->disable_IIC());
        ASSERT_TRUE(handler->switch_OFF());
        ASSERT_TRUE(handler->switch_ON());
        ASSERT_TRUE(handler->enable_IIC());
        handler->get_slave_address();
    }
    void forget()
    {
        sim.takeTraffic();
        lines.clear();
    }

    struct Report {
        unsigned long pipe;
        unsigned long length;
        Bytes head; // the first bytes only
    };
    // The reports the program wrote, each with its first `head` bytes.
    std::vector<Report> written(size_t head = 8)
    {
        std::vector<Report> out;
        for (const iowsim_report &r : sim.takeTraffic())
            if (r.direction == IOWSIM_TO_ADAPTER)
                out.push_back({r.pipe, r.length, Bytes(r.data, r.data + std::min<size_t>(head, r.length))});
        return out;
    }
    // Just the first bytes of every written report.
    std::vector<Bytes> writtenHeads(size_t head)
    {
        std::vector<Bytes> out;
        for (const Report &r : written(head))
            out.push_back(r.head);
        return out;
    }
    std::vector<QString> texts() const
    {
        std::vector<QString> out;
        for (const auto &l : lines)
            out.push_back(l.text);
        return out;
    }
    iowsim_adapter_info adapter()
    {
        iowsim_adapter_info info{};
        sim.iowsim_get_adapter(&info);
        return info;
    }
    iowsim_transmitter_info transmitter(int index = 0)
    {
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(index, &info);
        return info;
    }

    zorbit_test::SimControl sim;
    std::unique_ptr<T_Orvel_Handler> handler;
    std::vector<LogLine> lines;
};
