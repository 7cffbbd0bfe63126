#pragma once

#include "serial/manual_clock.h"
#include "serial/platform/fake_comm_device.h"
#include "serial/platform/fake_comm_driver.h"
#include "serial/serial_port.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

struct Report
{
    uint32_t place;
    uint32_t code;
    QString msg;

    bool operator==(const Report &) const = default;
};

inline void PrintTo(const Report &report, std::ostream *out)
{
    *out << "{" << report.place << ", " << report.code << ", \"" << report.msg.toStdString() << "\"}";
}

/// A component on the fake device and a manual clock, with its worker thread running. Time moves
/// only in run(), which also serves the worker's synchronized calls as the main loop would.
class SerialFixture : public ::testing::Test
{
  protected:
    static void SetUpTestSuite() { ensureTestApplication<QCoreApplication>(); }

    void SetUp() override { createPort(); }

    void createPort()
    {
        port = std::make_unique<TSerialPort>(&owner, SerialBackend{driver, clock});
        port->OnProcessError = [this](QObject *sender, uint32_t place, uint32_t code, const QString &msg) {
            EXPECT_EQ(sender, &owner);
            reports.push_back({place, code, msg});
        };
    }

    void TearDown() override { port.reset(); }

    /// Lets ms of simulated time pass, a millisecond at a time.
    void run(uint32_t ms)
    {
        clock->advance(0);
        serve();
        for (uint32_t i = 0; i < ms; ++i) {
            clock->advance(1);
            serve();
        }
    }

    void serve()
    {
        while (clock->parked() > 0) {
            QCoreApplication::processEvents();
            clock->advance(0);
        }
    }

    /// Opens the port and lets the worker notice it: an idle worker looks at the port every
    /// 200 ms and starts its active passes after one more such sleep.
    void open()
    {
        port->SetActive(true);
        run(450);
        reports.clear();
    }

    void record(TSerialPort::TNotifyEvent &event, const QString &name)
    {
        event = [this, name](TSerialPort *sender) {
            EXPECT_EQ(sender, port.get());
            events.append(name);
        };
    }

    bool reported(uint32_t place, uint32_t code) const
    {
        for (const Report &report : reports)
            if (report.place == place && report.code == code)
                return true;
        return false;
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1000);
    std::shared_ptr<FakeCommDriver> driver = std::make_shared<FakeCommDriver>(*clock);
    FakeCommDevice &device = driver->device();
    QObject owner;
    std::unique_ptr<TSerialPort> port;
    std::vector<Report> reports;
    QStringList events;
};
