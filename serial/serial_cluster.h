#pragma once

#include <QByteArray>

#include <cstdint>

/// The bytes of one read of the worker, with the line error flags (CE_ flags) of the poll
/// before it. Bytes is null when the read returned nothing.
class TSerialCluster
{
  public:
    TSerialCluster(QByteArray bytes, uint32_t lineErrors)
        : Bytes(std::move(bytes)), ByteCount(static_cast<int32_t>(Bytes.size())), LineErrors(lineErrors)
    {
    }

    const QByteArray Bytes;
    const int32_t ByteCount;
    const uint32_t LineErrors;
};
