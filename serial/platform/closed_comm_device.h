#pragma once

#include "serial/platform/comm_device.h"

/// Stands for the invalid handle while the port is closed: every device call fails with
/// ErrorInvalidHandle. Only the overlapped events succeed, because they exist apart from any
/// port.
class ClosedCommDevice : public CommDevice
{
  public:
    uint32_t handle() const override { return comm::InvalidHandle; }
    uint32_t setupComm(uint32_t, uint32_t) override { return comm::ErrorInvalidHandle; }
    uint32_t getCommState(comm::Dcb &) override { return comm::ErrorInvalidHandle; }
    uint32_t setCommState(const comm::Dcb &) override { return comm::ErrorInvalidHandle; }
    uint32_t getCommTimeouts(comm::CommTimeouts &) override { return comm::ErrorInvalidHandle; }
    uint32_t setCommTimeouts(const comm::CommTimeouts &) override { return comm::ErrorInvalidHandle; }
    uint32_t setCommMask(uint32_t) override { return comm::ErrorInvalidHandle; }
    uint32_t waitCommEvent(uint32_t &) override { return comm::ErrorInvalidHandle; }
    uint32_t read(char *, uint32_t, uint32_t &) override { return comm::ErrorInvalidHandle; }
    uint32_t write(const char *, uint32_t, uint32_t &) override { return comm::ErrorInvalidHandle; }
    uint32_t overlappedResult(comm::Op, uint32_t &) override { return comm::ErrorInvalidHandle; }
    uint32_t clearCommError(uint32_t &, comm::ComStat &) override { return comm::ErrorInvalidHandle; }
    uint32_t getModemStatus(uint32_t &) override { return comm::ErrorInvalidHandle; }
    uint32_t escape(comm::Escape) override { return comm::ErrorInvalidHandle; }
    uint32_t setBreak() override { return comm::ErrorInvalidHandle; }
    uint32_t clearBreak() override { return comm::ErrorInvalidHandle; }
    uint32_t purge(uint32_t) override { return comm::ErrorInvalidHandle; }
    uint32_t waitEvents(uint32_t, uint32_t, comm::Op &) override { return comm::WaitFailed; }
    uint32_t signalEvent(comm::Op) override { return comm::NoError; }
    uint32_t resetEvent(comm::Op) override { return comm::NoError; }
    uint32_t close() override { return comm::ErrorInvalidHandle; }
};
