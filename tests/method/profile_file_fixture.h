#pragma once

#include "method/profile_file.h"
#include "tests/method/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

/// One method file in a temporary folder.
class ProfileFileTest : public ::testing::Test
{
  protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath("method.ini");
    ProfileFile m_file{m_path};

    QByteArray bytes() const { return test_files::read(m_path); }
    void setBytes(const QByteArray &bytes) const { test_files::write(m_path, bytes); }
};
