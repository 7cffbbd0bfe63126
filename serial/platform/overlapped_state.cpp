#include "serial/platform/overlapped_state.h"

#include <initializer_list>

using namespace comm;

void OverlappedState::setMask(uint32_t mask)
{
    m_mask = mask;
    m_events = 0;
    if (m_pending && !m_done) {
        m_done = true;
        m_result = 0;
        signal(Op::Status);
    }
}

void OverlappedState::record(uint32_t events)
{
    m_events |= events;
    if (!m_pending || m_done || !(m_events & m_mask))
        return;
    m_done = true;
    m_result = m_events & m_mask;
    m_events = 0;
    signal(Op::Status);
}

uint32_t OverlappedState::startWait(uint32_t &mask)
{
    if (m_pending)
        return ErrorInvalidParameter;
    reset(Op::Status);
    if (m_events & m_mask) {
        mask = m_events & m_mask;
        m_events = 0;
        return NoError;
    }
    m_pending = true;
    m_done = false;
    m_maskOut = &mask;
    return ErrorIoPending;
}

bool OverlappedState::take(uint32_t ops, Op &signalled)
{
    if ((ops & opBit(Op::Read)) && flag(Op::Read)) {
        signalled = Op::Read;
        return true;
    }
    if (!(ops & opBit(Op::Status)) || !flag(Op::Status))
        return false;
    if (m_pending) {
        *m_maskOut = m_done ? m_result : 0;
        m_pending = false;
    }
    signalled = Op::Status;
    return true;
}

bool OverlappedState::isSignalled(uint32_t ops) const
{
    for (Op op : {Op::Write, Op::Read, Op::Status})
        if ((ops & opBit(op)) && m_signalled[static_cast<int>(op)])
            return true;
    return false;
}

void OverlappedState::signal(Op op)
{
    flag(op) = true;
}

void OverlappedState::reset(Op op)
{
    flag(op) = false;
}
