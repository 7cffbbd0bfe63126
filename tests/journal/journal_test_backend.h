#pragma once

#include "journal/journal_connection.h"

#include <gtest/gtest.h>

#include <memory>

/// A journal database of one test, on the backend the behaviour suite runs against.
class JournalTestBackend
{
  public:
    virtual ~JournalTestBackend() = default;
    /// A new connection to this test's journal, as another program on the bench would open it.
    virtual std::unique_ptr<JournalConnection> connection() = 0;
    /// Runs a statement with the database's guards against changes switched off.
    virtual void tamper(const QString &sql) = 0;
};
